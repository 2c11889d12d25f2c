// The extension outside VS Code: a stand-in for the `vscode` module and for
// the language client records what the extension asks for, and the manifest
// is read as VS Code reads it. Run with `node --test test/`.
'use strict';

const assert = require('node:assert');
const Module = require('node:module');
const path = require('node:path');
const test = require('node:test');

const manifest = require('../package.json');

// What the extension did, and the settings it is given.
const seen = { clients: [], errors: [], listeners: [] };
let settings = {};

const vscode = {
  workspace: {
    getConfiguration: (section) => ({ get: (key) => settings[`${section}.${key}`] }),
    createFileSystemWatcher: (pattern) => ({ pattern }),
    onDidChangeConfiguration: (listener) => {
      seen.listeners.push(listener);
      return { dispose() {} };
    },
  },
  window: { showErrorMessage: (message) => seen.errors.push(message) },
};

class LanguageClient {
  constructor(id, name, serverOptions, clientOptions) {
    Object.assign(this, { id, name, serverOptions, clientOptions, running: false });
    seen.clients.push(this);
  }
  async start() {
    if (this.serverOptions.run.command === 'missing') throw new Error('spawn missing ENOENT');
    this.running = true;
  }
  async stop() {
    this.running = false;
  }
}

const load = Module._load;
Module._load = function (request, ...rest) {
  if (request === 'vscode') return vscode;
  if (request === 'vscode-languageclient/node') return { LanguageClient };
  return load.call(this, request, ...rest);
};
const extension = require(path.join('..', manifest.main));

test('the manifest gives the two kinds of text by name, in Windows-1252', () => {
  const languages = Object.fromEntries(
    manifest.contributes.languages.map((l) => [l.id, l.filenamePatterns]));
  assert.deepStrictEqual(languages, {
    'scenario-line': ['*_linea.txt'],
    'scenario-train': ['*-.txt'],
  });
  for (const id of Object.keys(languages)) {
    assert.ok(manifest.activationEvents.includes(`onLanguage:${id}`));
    assert.strictEqual(manifest.contributes.configurationDefaults[`[${id}]`]['files.encoding'],
      'windows1252');
  }
  assert.strictEqual(manifest.contributes.configuration.properties['scenarioTool.path'].default,
    'scenario-tool');
});

test('activation starts scenario-tool lsp for both kinds of text', async () => {
  settings = {};
  await extension.activate({ subscriptions: [] });
  const client = seen.clients.at(-1);
  assert.strictEqual(client.id, 'scenarioTool');
  assert.deepStrictEqual(client.serverOptions.run, { command: 'scenario-tool', args: ['lsp'] });
  assert.deepStrictEqual(client.clientOptions.documentSelector,
    [{ language: 'scenario-line' }, { language: 'scenario-train' }]);
  assert.strictEqual(client.clientOptions.synchronize.fileEvents.pattern, '**/*{_linea,-}.txt');
  assert.ok(client.running);
  await extension.deactivate();
  assert.ok(!client.running);
});

test('a new scenarioTool.path restarts the server with it; a wrong one is told', async () => {
  settings = {};
  await extension.activate({ subscriptions: [] });
  const first = seen.clients.at(-1);
  settings = { 'scenarioTool.path': '/opt/scenario/bin/scenario-tool' };
  await seen.listeners.at(-1)({ affectsConfiguration: (s) => s === 'scenarioTool.path' });
  assert.ok(!first.running);
  assert.deepStrictEqual(seen.clients.at(-1).serverOptions.run.command,
    '/opt/scenario/bin/scenario-tool');

  settings = { 'scenarioTool.path': 'missing' };
  await seen.listeners.at(-1)({ affectsConfiguration: (s) => s === 'scenarioTool.path' });
  assert.deepStrictEqual(seen.errors, [
    'Cannot start "missing lsp": spawn missing ENOENT. Set scenarioTool.path to the scenario-tool executable.',
  ]);
  await extension.deactivate();
});
