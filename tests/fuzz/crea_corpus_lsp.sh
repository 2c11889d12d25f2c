#!/usr/bin/env bash
# Writes the language server fuzz target's seeds into tests/fuzz/corpus_lsp/:
# whole editor sessions (every request and notification the server takes, in
# UTF-16 and UTF-8 columns) and a stream of malformed and out-of-order
# messages. An input is the bytes of the server's standard input.
#   usage: tests/fuzz/crea_corpus_lsp.sh
set -euo pipefail
cd "$(dirname "$0")"
corpus=corpus_lsp
mkdir -p "$corpus"
export LC_ALL=C

# messaggio JSON: the JSON with its header.
messaggio() {
  printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"
}

linea='file:///fuzz-lsp/R_linea.txt'
treno='file:///fuzz-lsp/R_T-.txt'
testo_linea='[generale]\r\nlunghezza percorso, 3000\r\nprogressiva chilometrica uno, 0, 1000, 1\r\n[curve]\r\ncurvad4, 200, 300\r\n[pendenze]\r\npendenza, 0, 0\r\npendenza, 1000, -22\r\nmontagna, 500, 900, 12\r\nindicatori_vmax, 350, 90, 90, 90, 1, 60, 60, 60, 2\r\ncartello_indicatore, 1550, (P.L.A.)\r\n[fine]\r\n'
testo_treno='[generale]\r\nnumero vetture, 3\r\norologio, 7 10 0\r\naderenza, 0, 100\r\nvelocita, 0, 60\r\nstazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, PRIMA \u00e8\r\nstazione, 2500, 24, 300, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,15, 0, CITT\u00c0 \ud83d\ude86\r\nrallentamento, 1900, 30, 200, 0, 1, 30\r\n-\u00e8-, segnale, 1450, 1, 4, 0, 0, 0, 2, 2,0,0\r\nsegnale, 1950, 2, 3, 1, 0, 0, 0, 0,0,0, 50\r\nabbattimento, 2400, 75\r\n[fine]\r\n'

apri() { # URI LANGUAGE TEXT
  messaggio "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didOpen\",\"params\":{\"textDocument\":{\"uri\":\"$1\",\"languageId\":\"$2\",\"version\":1,\"text\":\"$3\"}}}"
}
chiedi() { # ID METHOD URI LINE CHARACTER
  messaggio "{\"jsonrpc\":\"2.0\",\"id\":$1,\"method\":\"$2\",\"params\":{\"textDocument\":{\"uri\":\"$3\"},\"position\":{\"line\":$4,\"character\":$5}}}"
}

{
  messaggio '{"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{"general":{"positionEncodings":["utf-8","utf-16"]},"textDocument":{"completion":{"completionItem":{"snippetSupport":true}},"documentSymbol":{"hierarchicalDocumentSymbolSupport":true},"hover":{"contentFormat":["markdown"]}}}}}'
  messaggio '{"jsonrpc":"2.0","method":"initialized","params":{}}'
  apri "$linea" scenario-line "$testo_linea"
  apri "$treno" scenario-train "$testo_treno"
  chiedi 1 textDocument/hover "$treno" 7 8
  chiedi 2 textDocument/hover "$treno" 7 16
  chiedi 3 textDocument/hover "$linea" 9 30
  chiedi 4 textDocument/completion "$linea" 2 0
  chiedi 5 textDocument/completion "$linea" 7 3
  chiedi 6 textDocument/definition "$treno" 7 40
  messaggio "{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"textDocument/documentSymbol\",\"params\":{\"textDocument\":{\"uri\":\"$treno\"}}}"
  messaggio "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didChange\",\"params\":{\"textDocument\":{\"uri\":\"$treno\",\"version\":2},\"contentChanges\":[{\"range\":{\"start\":{\"line\":7,\"character\":0},\"end\":{\"line\":7,\"character\":6}},\"text\":\"\"},{\"range\":{\"start\":{\"line\":7,\"character\":40},\"end\":{\"line\":7,\"character\":40}},\"text\":\", 0\"}]}}"
  messaggio "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didSave\",\"params\":{\"textDocument\":{\"uri\":\"$treno\"}}}"
  messaggio "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didChange\",\"params\":{\"textDocument\":{\"uri\":\"$linea\",\"version\":2},\"contentChanges\":[{\"text\":\"[generale]\\r\\nlunghezza percorso, 900\\r\\n\"}]}}"
  messaggio "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didClose\",\"params\":{\"textDocument\":{\"uri\":\"$linea\"}}}"
  messaggio '{"jsonrpc":"2.0","id":8,"method":"shutdown"}'
  messaggio '{"jsonrpc":"2.0","method":"exit"}'
} >"$corpus/sessione_utf8"

{
  messaggio '{"jsonrpc":"2.0","id":"a","method":"initialize","params":{"capabilities":{}}}'
  apri "$treno" scenario-train "$testo_treno"
  chiedi 1 textDocument/hover "$treno" 5 60
  chiedi 2 textDocument/definition "$treno" 7 44
  messaggio "{\"jsonrpc\":\"2.0\",\"id\":3,\"method\":\"textDocument/documentSymbol\",\"params\":{\"textDocument\":{\"uri\":\"$treno\"}}}"
  messaggio '{"jsonrpc":"2.0","method":"exit","params":null}'
} >"$corpus/sessione_utf16"

{
  messaggio '{"jsonrpc":"2.0","id":1,"method":"shutdown"}'
  messaggio '{"jsonrpc":"2.0","id":2,"method":"initialize","params":{"capabilities":{"general":{"positionEncodings":"utf-8"}}}}'
  messaggio '{"jsonrpc":"2.0","id":3,"method":"initialize","params":{}}'
  messaggio '{bad}'
  messaggio '[1,2]'
  messaggio '{"jsonrpc":"2.0","id":1.5,"method":"x"}'
  messaggio '{"id":4,"method":"shutdown"}'
  messaggio '{"jsonrpc":"2.0","id":5}'
  messaggio '{"jsonrpc":"2.0","id":6,"method":"nope"}'
  messaggio '{"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":3}'
  messaggio '{"jsonrpc":"2.0","id":8,"method":"textDocument/hover","params":{"textDocument":{"uri":7},"position":{"line":-1,"character":0}}}'
  messaggio "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didChange\",\"params\":{\"textDocument\":{\"uri\":\"$treno\",\"version\":2},\"contentChanges\":[]}}"
  messaggio '{"jsonrpc":"2.0","id":9,"result":null}'
  printf 'Content-Type: x\r\n\r\ngarbage\r\nContent-Length: many\r\n\r\n'
  printf 'Content-Length: 2\r\n\r\n{}'
  messaggio '{"jsonrpc":"2.0","id":10,"method":"shutdown","params":null}'
  messaggio '{"jsonrpc":"2.0","id":11,"method":"textDocument/completion","params":{}}'
  printf 'Content-Length: 100\r\n\r\n{"jsonrpc":"2.0"'
} >"$corpus/messaggi_errati"
