#!/usr/bin/env bash
# Fuzzing: builds the libFuzzer target (clang, AddressSanitizer, UBSan) and
# runs it for a bounded time on the seed corpus and the keyword dictionary.
# A finding (sanitizer report, broken property, crash, hang) fails the run and
# leaves its input in build/fuzz/reperti/; keep it as a regression test by
# copying it into tests/fuzz/regressioni/ next to the fix.
#   usage: .ci/fuzz.sh [SECONDS]      (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-60}

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
