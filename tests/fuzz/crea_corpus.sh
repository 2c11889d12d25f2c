#!/usr/bin/env bash
# Writes the fuzz target's seed corpus into tests/fuzz/corpus/: the embedded
# line and train texts (as scenario-tool export-sources writes them) with and
# without the plan, and small hand-made texts that reach every row kind.
# Input layout: one options byte, the line text, a NUL, the train text.
#   usage: tests/fuzz/crea_corpus.sh path/to/scenario-tool
set -euo pipefail
strumento=${1:?usage: $0 path/to/scenario-tool}
cd "$(dirname "$0")"
corpus=corpus
mkdir -p "$corpus"
esportati=$(mktemp -d)
trap 'rm -rf "$esportati"' EXIT
"$strumento" export-sources "$esportati"
linea="$esportati/Ulmo_Tarvignano_Rovesco_linea.txt"
treno="$esportati/Ulmo_Tarvignano_Rovesco_4816-.txt"

# seme NAME OPTIONS LINE_FILE TRAIN_FILE
seme() {
  { printf "\\x$2"; cat "$3"; printf '\0'; cat "$4"; } >"$corpus/$1"
}

seme incorporato_con_tracciato 00 "$linea" "$treno"
seme incorporato_senza_tracciato 01 "$linea" "$treno"
seme incorporato_senza_linea 02 "$linea" "$treno"
seme incorporato_senza_treno 04 "$linea" "$treno"

piccola="$esportati/piccola_linea.txt"
printf '%s\r\n' \
  '[generale]' \
  'lunghezza percorso, 3000' \
  'progressiva chilometrica uno, 0, 1000, 1' \
  'sfondo uno, 1' \
  'ripetizione segnali 9 codici, 500, 1500' \
  '[curve]' \
  'curvad4, 200, 300' \
  'curvas6, 1200, 100' \
  '-----' \
  'pendenza, 0, 0' \
  'pendenza, 1000, -22' \
  'pendenza, 2000, 35' \
  'montagna, 500, 900, 12' \
  'montagna, 1000, 1300, 2' \
  'indicatori_vmax, 350, 90, 90, 90, 1, 60, 60, 60, 2' \
  'cartello_indicatore, 1550, (P.L.A.    )(KM. 1.550)' \
  '[fine]' >"$piccola"
piccolo_treno="$esportati/piccolo_treno.txt"
printf '%s\r\n' \
  '[generale]' \
  'numero vetture, 3' \
  'percentuale massa frenata, 90' \
  'sabbia, 100' \
  'orologio, 7 10 0' \
  'aderenza, 0, 100' \
  'velocita, 0, 60' \
  'velocita, 1000, 100' \
  'stazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, PRIMA' \
  'stazione, 2500, 24, 300, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,15, 0, SECONDA' \
  'rallentamento, 1900, 30, 200, 0, 1, 30' \
  'segnale, 1450, 1, 4, 0, 0, 0, 2, 2,0,0, 0' \
  'segnale, 2200, 2, 3, 1, 0, 0, 0, 0,0,0, 50' \
  'abbattimento, 2400, 75' \
  '[fine]' >"$piccolo_treno"
seme piccola_con_tracciato 00 "$piccola" "$piccolo_treno"
seme piccola_senza_tracciato 01 "$piccola" "$piccolo_treno"
seme piccola_linea_treno_incorporato 00 "$piccola" "$treno"
