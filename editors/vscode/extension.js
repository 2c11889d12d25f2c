// Starts `scenario-tool lsp` for the line texts (*_linea.txt) and the train
// texts (*-.txt) and hands them to it: the diagnostics, hover, completion,
// outline and go to definition all come from the server.
'use strict';

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function serverOptions() {
  const command = vscode.workspace.getConfiguration('scenarioTool').get('path') || 'scenario-tool';
  const server = { command, args: ['lsp'] };
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
  client = new LanguageClient('scenarioTool', 'Scenario texts', serverOptions(), clientOptions());
  try {
    await client.start();
  } catch (error) {
    vscode.window.showErrorMessage(
      `Cannot start "${serverOptions().run.command} lsp": ${error.message}. ` +
        'Set scenarioTool.path to the scenario-tool executable.');
  }
}

async function activate(context) {
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

module.exports = { activate, deactivate };
