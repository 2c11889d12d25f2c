#!/usr/bin/env bash
# The benchmarks, briefly, and each figure of the performance table beside its
# goal and the floor (README, "Fuzzing and benchmarks"). A measure, not a
# test: a slow or busy machine gives larger figures and the script still
# passes; it fails only when a benchmark cannot run. Needs the default build
# (the test workflow makes it). Usage: .ci/prestazioni.sh [SECONDS]
# (the least time each benchmark runs, a repetition; 0.1 by default).
set -euo pipefail
cd "$(dirname "$0")/.."

tempo=${1:-0.1}
bench=build/default/bench
cmake --build --preset default --target bench_compilazione bench_esecuzione >/dev/null

risultati=$(mktemp)
errori=$(mktemp)
trap 'rm -f "$risultati" "$errori"' EXIT
opzioni=(--benchmark_min_time="$tempo" --benchmark_repetitions=3
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
  --benchmark_format=csv)
misura() {
  if ! "$@" "${opzioni[@]}" >>"$risultati" 2>"$errori"; then
    echo "$1 failed:" >&2
    tail -n 20 "$errori" >&2
    exit 1
  fi
}
misura "$bench/bench_compilazione" --benchmark_filter='Compilazione|Verifica|Pavimento'
misura "$bench/bench_esecuzione"

# The medians, by name: processor time for what runs in this process, wall
# time and the process's own processor time for whole processes.
awk -F, '
  $1 == "name" { delete colonna; for (i = 1; i <= NF; ++i) colonna[$i] = i; next }
  $1 ~ /_median"$/ {
    nome = $1; gsub(/"|_median|\/real_time/, "", nome)
    reale[nome] = $3; cpu[nome] = $4
    if (("\"cpu_ms\"" in colonna) && $(colonna["\"cpu_ms\""]) != "") cpu_figlio[nome] = $(colonna["\"cpu_ms\""])
    if (("\"faults\"" in colonna) && $(colonna["\"faults\""]) != "") fault[nome] = $(colonna["\"faults\""])
  }
  END {
    for (n in reale) if (reale[n] == "") { print "missing: " n; errore = 1 }
    pavimento = cpu["BM_PavimentoAritmetica"] + cpu["BM_PavimentoCopia"]
    printf "%-50s %-44s %s\n", "figure (medians)", "measured", "goal"
    printf "%-50s %-44s %s\n", "embedded scenario, compiled in memory",
      sprintf("%.2f ms (a new model each time: %.2f ms)", cpu["BM_CompilazioneScenario"],
              cpu["BM_CompilazioneScenarioModelloNuovo"]), "under 1 ms"
    printf "%-50s %-44s %s\n", "largest route (1 000 000 m), in memory",
      sprintf("%.2f ms, %.2fx the floor", cpu["BM_CompilazionePercorsoMassimo"],
              cpu["BM_CompilazionePercorsoMassimo"] / pavimento), "within 2x of the floor"
    printf "%-50s %-44s\n", "  its floor: the plan computed + its bytes copied",
      sprintf("%.2f ms = %.2f + %.2f ms", pavimento, cpu["BM_PavimentoAritmetica"],
              cpu["BM_PavimentoCopia"])
    printf "%-50s %-44s\n", "  the plan bytes written to a file, one write",
      sprintf("%.2f ms", reale["BM_PavimentoScrittura"])
    printf "%-50s %-44s %s\n", "the program'"'"'s whole run, start to exit",
      sprintf("%.2f ms, %.2fx cat (%.2f ms)", reale["BM_EsecuzioneProgramma"],
              reale["BM_EsecuzioneProgramma"] / reale["BM_CatDeiSeiFile"], reale["BM_CatDeiSeiFile"]),
      "at most 2x the cat"
    printf "%-50s %-44s\n", "  the run'"'"'s file work alone, in one process",
      sprintf("%.2f ms", reale["BM_FileDellEsecuzione"])
    printf "%-50s %-44s\n", "  processor time of each process",
      sprintf("%.2f ms, %.2fx cat (%.2f ms)", cpu_figlio["BM_EsecuzioneProgramma"],
              cpu_figlio["BM_EsecuzioneProgramma"] / cpu_figlio["BM_CatDeiSeiFile"],
              cpu_figlio["BM_CatDeiSeiFile"])
    printf "%-50s %-44s\n", "  page faults of each process",
      sprintf("%d, cat %d", fault["BM_EsecuzioneProgramma"], fault["BM_CatDeiSeiFile"])
    printf "%-50s %-44s %s\n", "check on the largest route, in memory",
      sprintf("%.2f ms, %.2fx its compile (%.2f ms)", cpu["BM_VerificaPercorsoMassimo"],
              cpu["BM_VerificaPercorsoMassimo"] / cpu["BM_CompilazionePercorsoMassimoModelloNuovo"],
              cpu["BM_CompilazionePercorsoMassimoModelloNuovo"]),
      "under 100 ms, at most 1.5x the compile"
    printf "%-50s %-44s %s\n", "check, 30 independent errors on the largest route",
      sprintf("%.2f ms, %.2fx its compile (%.2f ms)", cpu["BM_VerificaTrentaErrori"],
              cpu["BM_VerificaTrentaErrori"] / cpu["BM_CompilazioneTrentaErrori"],
              cpu["BM_CompilazioneTrentaErrori"]),
      "at most 3x the compile"
    printf "%-50s %-44s %s\n", "check, 700 000 misspelt rows and 31 errors",
      sprintf("%.0f ms (its compile %.0f ms)", cpu["BM_VerificaRigheStorpiate"],
              cpu["BM_CompilazioneRigheStorpiate"]), "under 10 s"
    printf "%-50s %-44s %s\n", "check, 40 000 gradient rows in shuffled order",
      sprintf("%.0f ms", cpu["BM_VerificaPendenzeMescolate"]), "under 2 s"
    printf "%-50s %-44s\n", "  scenario-tool check and compile, processes",
      sprintf("%.2f ms, %.2fx compile (%.2f ms)", reale["BM_VerificaPercorsoMassimoProcesso"],
              reale["BM_VerificaPercorsoMassimoProcesso"] / reale["BM_CompilazionePercorsoMassimoProcesso"],
              reale["BM_CompilazionePercorsoMassimoProcesso"])
    exit errore
  }' "$risultati"

# Hostile or unusual inputs (bench_limiti), each case in a process of its
# own so that its peak memory is its own, and one keystroke of the language
# server on the largest route (bench_lsp).
cmake --build --preset default --target bench_limiti bench_lsp >/dev/null
limiti=$(mktemp)
trap 'rm -f "$risultati" "$errori" "$limiti"' EXIT
for caso in LspTesto100MB LspMessaggio50MParentesi LspModifica10000Intervalli LspApertura1000Treni \
  DumpCelle256MiB ViewCelle256MiB PlotCelle256MiB; do
  if ! "$bench/bench_limiti" --benchmark_filter="^BM_${caso}(/.*)?\$" --benchmark_format=csv \
    >>"$limiti" 2>"$errori"; then
    echo "bench_limiti $caso failed:" >&2
    tail -n 20 "$errori" >&2
    exit 1
  fi
done
if ! "$bench/bench_lsp" --benchmark_filter='Modifica' "${opzioni[@]}" >>"$limiti" 2>"$errori"; then
  echo "bench_lsp failed:" >&2
  tail -n 20 "$errori" >&2
  exit 1
fi
awk -F, '
  $1 == "name" { delete colonna; for (i = 1; i <= NF; ++i) colonna[$i] = i; next }
  {
    nome = $1; gsub(/"|\/iterations:[0-9]+|_median/, "", nome)
    if ($1 ~ /_(mean|stddev|cv)"$/) next
    tempo[nome] = $4
    for (c in colonna) if ($(colonna[c]) != "") { k = c; gsub(/"/, "", k); valore[nome, k] = $(colonna[c]) }
  }
  function riga(figura, nome, goal, extra) {
    printf "%-50s %-44s %s\n", figura,
      sprintf("%.2f ms, %.0f MB%s", tempo[nome], valore[nome, "rss_mb"], extra), goal
  }
  END {
    riga("lsp: didOpen of 100 MB (refused)", "BM_LspTesto100MB", "under 1.5 GB, answering", "")
    riga("lsp: a message of 50 M [ (refused)", "BM_LspMessaggio50MParentesi", "under 1.5 GB, answering", "")
    riga("lsp: one didChange of 10 000 ranges, 2 MB text", "BM_LspModifica10000Intervalli", "under 3 s", "")
    riga("lsp: 1 000 train texts of one line opened", "BM_LspApertura1000Treni", "about 1 000 messages",
      sprintf(", %d messages", valore["BM_LspApertura1000Treni", "messaggi"]))
    riga("dump of a 256 MiB cell file", "BM_DumpCelle256MiB", "refused or read: 2 GB, 30 s",
      sprintf(", status %d", valore["BM_DumpCelle256MiB", "stato"]))
    riga("view of a 256 MiB cell file", "BM_ViewCelle256MiB", "refused or read: 2 GB, 30 s",
      sprintf(", status %d", valore["BM_ViewCelle256MiB", "stato"]))
    riga("plot of a 256 MiB cell file", "BM_PlotCelle256MiB", "refused or read: 2 GB, 30 s",
      sprintf(", status %d", valore["BM_PlotCelle256MiB", "stato"]))
    printf "%-50s %-44s %s\n", "lsp: one keystroke on the largest route (train)",
      sprintf("%.2f ms", tempo["BM_LspModificaTrenoPercorsoMassimo"]), "within 10 ms"
    printf "%-50s %-44s %s\n", "lsp: one keystroke on the largest route (line)",
      sprintf("%.2f ms", tempo["BM_LspModificaLineaPercorsoMassimo"]), "within 10 ms"
  }' "$limiti"
