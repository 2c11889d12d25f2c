// The highlighting grammars the build makes from the table of row kinds, as
// VS Code tokenizes with them (vscode-textmate on vscode-oniguruma): on every
// line of the embedded texts, the header, the row's keyword, every number and
// the station names and board texts get their scopes; then the edges of the
// keyword tests and of the comments. Needs the grammars' folder and
// scenario-tool (for the embedded texts):
//   SCENARIO_GRAMMATICHE=build/default/editors/syntaxes \
//   SCENARIO_TOOL=build/default/tools/scenario-tool node --test test/
'use strict';

const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const test = require('node:test');

const manifest = require('../package.json');

const folder = process.env.SCENARIO_GRAMMATICHE;
const tool = process.env.SCENARIO_TOOL;
const skip = folder && tool ? false : 'SCENARIO_GRAMMATICHE and SCENARIO_TOOL are not set';

const scope = {
  header: 'entity.name.section.scenario',
  keyword: 'keyword.other.row.scenario',
  number: 'constant.numeric.scenario',
  comment: 'comment.line.hyphen.scenario',
  name: 'string.unquoted.nome.scenario',
  board: 'string.unquoted.text.scenario',
};

// The grammars of the manifest, by language, ready to tokenize.
async function grammars() {
  const textmate = require('vscode-textmate');
  const oniguruma = require('vscode-oniguruma');
  const wasm = fs.readFileSync(path.join(path.dirname(require.resolve('vscode-oniguruma')), 'onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const files = {};
  for (const g of manifest.contributes.grammars) files[g.scopeName] = path.join(folder, path.basename(g.path));
  const registry = new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (name) => {
      const text = fs.readFileSync(files[name], 'utf8');
      assert.strictEqual(JSON.parse(text).scopeName, name, `${files[name]} is not ${name}`);
      return textmate.parseRawGrammar(text, files[name]);
    },
  });
  const byLanguage = {};
  for (const g of manifest.contributes.grammars) byLanguage[g.language] = await registry.loadGrammar(g.scopeName);
  return byLanguage;
}

// The tokens of one line, each with its text (the last one ends at the
// line's end, not after the line end the tokenizer adds).
function tokens(grammar, line) {
  return grammar.tokenizeLine(line, null).tokens.map((t) => ({
    text: line.slice(t.startIndex, t.endIndex), start: t.startIndex, end: Math.min(t.endIndex, line.length),
    scopes: t.scopes,
  }));
}

// Every token within [start, end) of the line carries `name` (and the range
// is covered: a piece with another scope beside it fails).
function assertScope(grammar, line, start, end, name, what) {
  const inside = tokens(grammar, line).filter((t) => t.start < end && t.end > start);
  assert.ok(inside.length > 0, `${what}: no token at ${start}..${end} of "${line}"`);
  for (const t of inside) {
    assert.ok(t.start >= start && t.end <= end && t.scopes.includes(name),
      `${what}: "${t.text}" of "${line}" has ${t.scopes.join(' ')}, not ${name} alone over "${line.slice(start, end)}"`);
  }
}

function assertNoScope(grammar, line, name, what) {
  for (const t of tokens(grammar, line)) {
    assert.ok(!t.scopes.includes(name), `${what}: "${t.text}" of "${line}" has ${name}`);
  }
}

// The embedded texts, as scenario-tool writes them (Windows-1252, read as
// VS Code reads them with the extension's encoding).
function embeddedTexts() {
  const out = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-grammar-'));
  try {
    execFileSync(tool, ['export-sources', out]);
    const texts = {};
    for (const name of fs.readdirSync(out)) {
      const language = name.endsWith('_linea.txt') ? 'scenario-line' : 'scenario-train';
      texts[language] = new TextDecoder('windows-1252').decode(fs.readFileSync(path.join(out, name)));
    }
    return texts;
  } finally {
    fs.rmSync(out, { recursive: true, force: true });
  }
}

// What a line of the embedded texts must show: a header, or a keyword field,
// the numbers after it and, in a station row or a board row, its text.
function checkLine(grammar, line) {
  const first = line.search(/\S/);
  if (line.trim().startsWith('[')) {
    assertScope(grammar, line, first, line.trimEnd().length, scope.header, 'header');
    return;
  }
  const comma = line.indexOf(',');
  const keyword = line.slice(0, comma).trimEnd();
  assertScope(grammar, line, first, keyword.length, scope.keyword, 'keyword');
  let values = line.length;
  let text;
  if (keyword === 'stazione') text = scope.name;
  if (keyword === 'cartello_indicatore') text = scope.board;
  if (text) {
    values = line.lastIndexOf(',') + 1;
    const start = values + line.slice(values).search(/\S/);
    assertScope(grammar, line, start, line.trimEnd().length, text, 'text');
  }
  for (const m of line.slice(comma, values).matchAll(/[+-]?\d+/g)) {
    assertScope(grammar, line, comma + m.index, comma + m.index + m[0].length, scope.number, 'number');
  }
}

test('every line of the embedded texts gets its scopes', { skip }, async () => {
  const g = await grammars();
  const texts = embeddedTexts();
  assert.deepStrictEqual(Object.keys(texts).sort(), ['scenario-line', 'scenario-train']);
  for (const [language, text] of Object.entries(texts)) {
    const lines = text.split(/\r\n|\r|\n/).filter((l) => l.trim() !== '');
    assert.ok(lines.length > 50, `${language}: ${lines.length} lines`);
    for (const line of lines) checkLine(g[language], line);
  }
});

test('the keyword tests, the comments and the texts at their edges', { skip }, async () => {
  const g = await grammars();
  const line = g['scenario-line'];
  const train = g['scenario-train'];
  // A kind that takes any letter case, and one that takes lower case only.
  assertScope(line, 'PENDENZA,  100,  5', 0, 8, scope.keyword, 'any case');
  assertScope(line, 'Sfondo uno,  1', 13, 14, scope.number, 'the number of a lower-case-only kind');
  assertNoScope(line, 'Sfondo uno,  1', scope.keyword, 'lower case only');
  assertScope(line, 'uno chilometrica progressiva,  0,  0,  0', 0, 28, scope.keyword, 'the words in any order');
  // A keyword of the other text is no keyword here.
  assertNoScope(line, 'segnale,    1500,   1', scope.keyword, 'a train row in the line text');
  assertScope(train, 'segnale,    1500,   1', 0, 7, scope.keyword, 'a train row');
  // A keyword field holding "-" is dropped; a negative number is a value.
  assertScope(line, '------------------------', 0, 24, scope.comment, 'a line of dashes');
  assertScope(line, '-- curve --,  600', 0, 11, scope.comment, 'a dashed keyword field');
  assertScope(line, '-- curve --,  600', 14, 17, scope.number, 'the value after it');
  assertScope(line, 'pendenza,  31300,   -4', 20, 22, scope.number, 'a negative gradient');
  assertScope(line, '  -4,  5', 2, 4, scope.number, 'a negative number that begins a line');
  // Numbers separated by blanks alone, and with a fraction.
  assertScope(train, 'orologio,    6               45            42 ', 29, 31, scope.number, 'blanks');
  assertScope(train, 'velocita,   18600.5,    75', 12, 19, scope.number, 'a fraction');
  // A quoted board text may hold a comma; a name with digits stays a name.
  const board = 'cartello_indicatore,  550,   "KM 8, 800"';
  assertScope(line, board, board.indexOf('"'), board.length, scope.board, 'a quoted text');
  const station = 'stazione,    5650, 27,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, 2\u00b0 bivio';
  assertScope(train, station, station.indexOf('2\u00b0'), station.length, scope.name, 'a name with a digit');
  // The headers of each text, in any case.
  assertScope(line, '[CURVE]', 0, 7, scope.header, 'a header in upper case');
  assertNoScope(line, '[stazioni]', scope.header, 'a train header in the line text');
});
