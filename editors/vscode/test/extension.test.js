// The extension outside VS Code: a stand-in for the `vscode` module and for
// the language client records what the extension asks for, and the manifest
// is read as VS Code reads it. Run with `node --test test/`.
'use strict';

const assert = require('node:assert');
const fs = require('node:fs');
const Module = require('node:module');
const os = require('node:os');
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
    '');
  assert.deepStrictEqual(manifest.contributes.grammars.map((g) => g.language),
    ['scenario-line', 'scenario-train']);
});

// An extension folder as the .vsix unpacks it, with the executables it
// carries (empty files: they are found, not run), the Linux one without its
// execute bit as a careless unpacker leaves it.
function extensionFolder() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-texts-'));
  for (const [system, name] of [['linux-x64', 'scenario-tool'], ['win32-x64', 'scenario-tool.exe']]) {
    fs.mkdirSync(path.join(folder, 'bin', system), { recursive: true });
    fs.writeFileSync(path.join(folder, 'bin', system, name), '', { mode: 0o644 });
  }
  return folder;
}

test('the extension starts the scenario-tool it carries for the system, else the PATH one', () => {
  const folder = extensionFolder();
  try {
    const linux = path.join(folder, 'bin', 'linux-x64', 'scenario-tool');
    assert.strictEqual(extension.bundledServer(folder, 'linux', 'x64'), linux);
    assert.ok(fs.statSync(linux).mode & 0o100, 'the Linux executable was not made executable');
    assert.strictEqual(extension.bundledServer(folder, 'win32', 'x64'),
      path.join(folder, 'bin', 'win32-x64', 'scenario-tool.exe'));
    for (const [platform, arch] of [['darwin', 'arm64'], ['linux', 'arm64'], ['win32', 'ia32']]) {
      assert.strictEqual(extension.bundledServer(folder, platform, arch), undefined, `${platform}-${arch}`);
    }
    fs.rmSync(path.join(folder, 'bin', 'win32-x64'), { recursive: true });
    assert.strictEqual(extension.bundledServer(folder, 'win32', 'x64'), undefined);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
});

test('activation on this system starts the carried server; scenarioTool.path overrides it', async () => {
  const folder = extensionFolder();
  try {
    const carried = extension.bundledServer(folder, process.platform, process.arch);
    settings = {};
    await extension.activate({ subscriptions: [], extensionPath: folder });
    assert.deepStrictEqual(seen.clients.at(-1).serverOptions.run,
      { command: carried || 'scenario-tool', args: ['lsp'] });
    settings = { 'scenarioTool.path': '/opt/scenario/bin/scenario-tool' };
    await seen.listeners.at(-1)({ affectsConfiguration: (s) => s === 'scenarioTool.path' });
    assert.strictEqual(seen.clients.at(-1).serverOptions.run.command, '/opt/scenario/bin/scenario-tool');
    await extension.deactivate();
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
});

test('activation starts scenario-tool lsp for both kinds of text', async () => {
  settings = {};
  // The source folder carries no executable: the one on the PATH serves.
  await extension.activate({ subscriptions: [], extensionPath: path.join(__dirname, '..') });
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
  await extension.activate({ subscriptions: [], extensionPath: path.join(__dirname, '..') });
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
