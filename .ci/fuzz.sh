#!/usr/bin/env bash
# Fuzzing: builds the libFuzzer targets (clang, AddressSanitizer, UBSan) and
# runs each for a bounded time on its seed corpus and dictionary: the whole
# compile, then the language server's message reader and dispatcher.
# A finding (sanitizer report, broken property, crash, hang) fails the run and
# leaves its input in build/fuzz/reperti/ (of the server: reperti_lsp/); keep
# it as a regression test by copying it into tests/fuzz/regressioni/ (or
# regressioni_lsp/) next to the fix.
#   usage: .ci/fuzz.sh [SECONDS] [SERVER_SECONDS]      (defaults 60 and 30)
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-60}
secondi_lsp=${2:-30}

source .ci/installa.sh
installa_pacchetti clang libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz

# New inputs go to the working corpus in the build folder; the seeds in the
# repository are only read.
lavoro=build/fuzz/corpus
reperti=build/fuzz/reperti/
mkdir -p "$lavoro" "$reperti"
build/fuzz/tests/fuzz/fuzz_compilazione \
  -max_total_time="$secondi" \
  -dict=tests/fuzz/parole_chiave.dict \
  -max_len=16384 \
  -timeout=20 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$reperti" \
  "$lavoro" tests/fuzz/corpus tests/fuzz/regressioni

# The language server, briefly: one input is the bytes of its standard input.
lavoro_lsp=build/fuzz/corpus_lsp
reperti_lsp=build/fuzz/reperti_lsp/
mkdir -p "$lavoro_lsp" "$reperti_lsp"
semi_lsp=(tests/fuzz/corpus_lsp)
if [ -d tests/fuzz/regressioni_lsp ]; then semi_lsp+=(tests/fuzz/regressioni_lsp); fi
build/fuzz/tests/fuzz/fuzz_lsp \
  -max_total_time="$secondi_lsp" \
  -dict=tests/fuzz/lsp.dict \
  -max_len=16384 \
  -timeout=20 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$reperti_lsp" \
  "$lavoro_lsp" "${semi_lsp[@]}"
