// Starts `scenario-tool lsp` for the line texts (*_linea.txt) and the train
// texts (*-.txt) and hands them to it: the diagnostics, hover, completion,
// outline and go to definition all come from the server. The extension
// carries scenario-tool for the systems it is made for (bin/PLATFORM-ARCH/);
// the setting scenarioTool.path overrides it, and where it carries none the
// one on the PATH serves.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

// The executables the extension carries, by Node's platform and architecture.
const bundled = {
  'linux-x64': 'scenario-tool',
  'win32-x64': 'scenario-tool.exe',
};

let client;
let extensionPath;

// The scenario-tool the extension at `folder` carries for `platform` and
// `arch`, or undefined when it carries none.
function bundledServer(folder, platform, arch) {
  const name = bundled[`${platform}-${arch}`];
  if (!name) return undefined;
  const file = path.join(folder, 'bin', `${platform}-${arch}`, name);
  if (!fs.existsSync(file)) return undefined;
  if (platform !== 'win32') {
    // An unpacker that drops the execute bit would leave it unable to start.
    try {
      fs.accessSync(file, fs.constants.X_OK);
    } catch {
      try {
        fs.chmodSync(file, 0o755);
      } catch {
        // A read-only install: starting it will say what is wrong.
      }
    }
  }
  return file;
}

function serverCommand() {
  const setting = vscode.workspace.getConfiguration('scenarioTool').get('path');
  if (setting) return setting;
  return bundledServer(extensionPath, process.platform, process.arch) || 'scenario-tool';
}

function serverOptions() {
  const server = { command: serverCommand(), args: ['lsp'] };
  return { run: server, debug: server };
}

function clientOptions() {
  return {
    documentSelector: [{ language: 'scenario-line' }, { language: 'scenario-train' }],
    // A text saved or changed on disk may be the partner of an open one.
    synchronize: {
      fileEvents: vscode.workspace.createFileSystemWatcher('**/*{_linea,-}.txt'),
    },
  };
}

async function start() {
  const options = serverOptions();
  client = new LanguageClient('scenarioTool', 'Scenario texts', options, clientOptions());
  try {
    await client.start();
  } catch (error) {
    vscode.window.showErrorMessage(
      `Cannot start "${options.run.command} lsp": ${error.message}. ` +
        'Set scenarioTool.path to the scenario-tool executable.');
  }
}

async function activate(context) {
  extensionPath = context.extensionPath;
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (event) => {
      if (!event.affectsConfiguration('scenarioTool.path')) return;
      if (client) await client.stop();
      await start();
    }));
  await start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate, bundledServer, serverOptions };
