// The extension and a real scenario-tool lsp: the extension, activated as
// VS Code activates it, names the server to start; that server is started so,
// through the extension's own JSON-RPC package, opens a train text with a
// slip (a signal on the cell a slowdown start holds) beside its line text and
// must publish the diagnostic at the signal, then end with status 0 after
// shutdown and exit.
//   SCENARIO_ESTENSIONE  the extension's folder (an unpacked .vsix's
//                        extension/): the server it carries is started
//   SCENARIO_SISTEMA     the carried server of this system instead of this
//                        machine's, as win32-x64
//   SCENARIO_LANCIATORE  a program to start it through, as wine
//   SCENARIO_TOOL        without SCENARIO_ESTENSIONE: the source folder, with
//                        scenarioTool.path set to this executable
'use strict';

const assert = require('node:assert');
const { execFileSync, spawn } = require('node:child_process');
const fs = require('node:fs');
const Module = require('node:module');
const os = require('node:os');
const path = require('node:path');
const test = require('node:test');
const { pathToFileURL } = require('node:url');

const unpacked = process.env.SCENARIO_ESTENSIONE;
const folder = unpacked ? path.resolve(unpacked) : path.join(__dirname, '..');
const system = process.env.SCENARIO_SISTEMA;
const launcher = process.env.SCENARIO_LANCIATORE;
const tool = process.env.SCENARIO_TOOL;
const skip = unpacked || tool ? false : 'neither SCENARIO_ESTENSIONE nor SCENARIO_TOOL is set';
// A server under wine starts slowly the first time.
const timeout = 180000;

// The command the extension at `folder` starts, as VS Code would activate it.
async function commandOfExtension() {
  const settings = unpacked ? {} : { 'scenarioTool.path': path.resolve(tool) };
  let started;
  const vscode = {
    workspace: {
      getConfiguration: (section) => ({ get: (key) => settings[`${section}.${key}`] }),
      createFileSystemWatcher: (pattern) => ({ pattern }),
      onDidChangeConfiguration: () => ({ dispose() {} }),
    },
    window: { showErrorMessage: (message) => assert.fail(message) },
  };
  class LanguageClient {
    constructor(id, name, serverOptions) {
      started = serverOptions.run;
    }
    async start() {}
    async stop() {}
  }
  const load = Module._load;
  Module._load = function (request, ...rest) {
    if (request === 'vscode') return vscode;
    if (request === 'vscode-languageclient/node') return { LanguageClient };
    return load.call(this, request, ...rest);
  };
  const extension = require(path.join(folder, require(path.join(folder, 'package.json')).main));
  await extension.activate({ subscriptions: [], extensionPath: folder });
  await extension.deactivate();
  assert.deepStrictEqual(started.args, ['lsp']);
  if (!unpacked) {
    assert.strictEqual(started.command, path.resolve(tool));
    return started.command;
  }
  if (!system) {
    assert.strictEqual(started.command, extension.bundledServer(folder, process.platform, process.arch),
      'the extension did not start the server it carries');
    return started.command;
  }
  const [platform, arch] = system.split('-');
  const carried = extension.bundledServer(folder, platform, arch);
  assert.ok(carried, `the extension carries no server for ${system}`);
  return carried;
}

// A folder with the embedded line text as R_linea.txt and the train text as
// R_T-.txt, its signal at 2850 m moved to 2790 m (line 42).
function pair(command) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-lsp-'));
  const [program, ...first] = launcher ? [launcher, command] : [command];
  execFileSync(program, [...first, 'export-sources', '.'], { cwd: dir, timeout, stdio: 'ignore' });
  fs.renameSync(path.join(dir, 'Ulmo_Tarvignano_Rovesco_linea.txt'), path.join(dir, 'R_linea.txt'));
  const train = fs.readFileSync(path.join(dir, 'Ulmo_Tarvignano_Rovesco_4816-.txt'), 'latin1');
  fs.rmSync(path.join(dir, 'Ulmo_Tarvignano_Rovesco_4816-.txt'));
  const slip = train.replace(/^segnale, {4}2850,/m, 'segnale,    2790,');
  assert.notStrictEqual(slip, train);
  fs.writeFileSync(path.join(dir, 'R_T-.txt'), slip, 'latin1');
  return { dir, train: new TextDecoder('windows-1252').decode(Buffer.from(slip, 'latin1')) };
}

test('the server the extension starts publishes the diagnostic of a slip', { skip, timeout }, async () => {
  const command = await commandOfExtension();
  const { dir, train } = pair(command);
  const rpc = require(path.join(folder, 'node_modules', 'vscode-jsonrpc', 'node'));
  const [program, ...first] = launcher ? [launcher, command] : [command];
  const server = spawn(program, [...first, 'lsp'], { cwd: dir, stdio: ['pipe', 'pipe', 'inherit'] });
  const ended = new Promise((resolve) => server.on('exit', (code) => resolve(code)));
  const connection = rpc.createMessageConnection(
    new rpc.StreamMessageReader(server.stdout), new rpc.StreamMessageWriter(server.stdin));
  const uri = pathToFileURL(path.join(dir, 'R_T-.txt')).href;
  const diagnostic = new Promise((resolve) => {
    connection.onNotification('textDocument/publishDiagnostics', (p) => {
      const found = p.uri === uri && p.diagnostics.find((d) => d.code === '16' || d.code === 16);
      if (found) resolve(found);
    });
  });
  connection.listen();
  try {
    await connection.sendRequest('initialize', {
      processId: process.pid, rootUri: pathToFileURL(dir).href, capabilities: {},
      workspaceFolders: [{ uri: pathToFileURL(dir).href, name: 'R' }],
    });
    connection.sendNotification('initialized', {});
    connection.sendNotification('textDocument/didOpen', {
      textDocument: { uri, languageId: 'scenario-train', version: 1, text: train },
    });
    const d = await Promise.race([diagnostic, ended.then((code) => {
      throw new Error(`the server ended with status ${code} before the diagnostic`);
    })]);
    assert.deepStrictEqual(d.range.start, { line: 41, character: 12 });
    assert.strictEqual(d.severity, 1);
    assert.strictEqual(d.source, 'scenario-tool');
    assert.match(d.message, /^the signal row at 2790 m lands on cell 57 /);
    console.log(`${path.relative(folder, command) || command}: R_T-.txt:42:13: [${d.code}] ${d.message}`);
    await connection.sendRequest('shutdown');
    connection.sendNotification('exit');
    assert.strictEqual(await ended, 0);
  } finally {
    connection.dispose();
    server.kill();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
