#!/usr/bin/env bash
# CI, Windows job (called by .ci/run after the Linux build): cross-builds the
# Windows executables and runs them under wine on a virtual X display, with a
# fresh wine prefix in a temporary folder:
#  - the program, in an empty folder, ends with the Linux program's exit
#    status and leaves the Linux program's files, byte for byte; a second run
#    in the same folder replaces them with the same files;
#  - every executable imports only system DLLs; the program is windowed,
#    scenario-tool a console program;
#  - errore's box appears over the wait window with " Errore n. 1250" and an
#    OK button, Return closes it, and the process ends with status 1;
#  - a file that cannot be written stops the run with status 4 on both, and
#    on Windows a box names the file;
#  - the file layer: a file at an old fixed temporary name (NAME.tmp) is left
#    alone and older files are replaced whole; two runs at once in one folder
#    both end cleanly; scenario-tool.exe compiles as the Linux program does
#    and refuses a route name Windows keeps for a device (CON) with 64;
#  - scenario-tool build makes, from the small scenario of tests/scenari/piccola/
#    and the two real runners, a Linux and a Windows program whose runs leave
#    the same files, byte for byte, with the compiled files scenario-tool
#    compile makes;
#  - screenshots of the wait window and of the boxes are kept in build/windows/ci/
#    for a person to look at (the fonts are not Windows', so no pixel compare).
# Every wine call runs under `timeout`: a box nobody answers waits forever.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly programma=Ulmo_Tarvignano_Rovesco_4816
readonly build_windows=build/windows
readonly artefatti=$build_windows/ci

# shellcheck source=.ci/installa.sh
source "$(dirname "${BASH_SOURCE[0]}")/installa.sh"

# wine's recommends are some 900 MB that the job does not use (installa_pacchetti takes none).
installa_mancanti() {
  installa_pacchetti cmake make g++ gettext g++-mingw-w64-x86-64-posix wine wine64 fonts-wine \
    fonts-liberation xvfb xauth xdotool x11-apps imagemagick
}

fallisci() {
  echo "windows job FAILED: $*" >&2
  exit 1
}

# The files a run left in folder $1, one name a line, without the program.
file_lasciati() {
  (cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | grep -vxF -e "$programma" -e "$programma.exe" | LC_ALL=C sort) || true
}

# Folder $1 (Windows run) must hold the same files as folder $2 (Linux run).
confronta_file() {
  local windows=$1 linux=$2 nome
  diff <(file_lasciati "$linux") <(file_lasciati "$windows") >&2 ||
    fallisci "the Windows program left other files than the Linux program (< Linux, > Windows)"
  while IFS= read -r nome; do
    cmp "$linux/$nome" "$windows/$nome" >&2 || fallisci "$nome differs between Linux and Windows"
  done < <(file_lasciati "$linux")
}

# A complete run leaves exactly the three documents and the three compiled files.
controlla_sei_file() {
  local attesi
  attesi=$(printf '%s\n' "${programma}.dat" "${programma}.sim" "${programma}_note.txt" \
    "${programma}_rallentamenti.txt" "${programma}_scheda_treno.txt" \
    "Ulmo_Tarvignano_Rovesco_linea.dat" | LC_ALL=C sort)
  [[ "$(file_lasciati "$1")" == "$attesi" ]] || fallisci "a clean run must leave exactly the six files"
}

controlla_import() {
  local exe=$1 dll
  while IFS= read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
      *) fallisci "$exe imports $dll, which is not a system DLL" ;;
    esac
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
}

controlla_sottosistema() {
  local exe=$1 atteso=$2 intestazione
  intestazione=$(x86_64-w64-mingw32-objdump -p "$exe")
  grep -q "^Subsystem.*($atteso)" <<<"$intestazione" || fallisci "$exe is not a $atteso program"
}

controlla_eseguibili() {
  local exe
  while IFS= read -r exe; do controlla_import "$exe"; done < <(find "$build_windows" -name '*.exe' -not -path '*/CMakeFiles/*')
  controlla_sottosistema "$build_windows/$programma.exe" "Windows GUI"
  if grep -qE 'add_executable\(\s*scenario-tool' tools/CMakeLists.txt; then
    local tool
    tool=$(find "$build_windows" -name scenario-tool.exe -not -path '*/CMakeFiles/*' -print -quit)
    [[ -n "$tool" ]] || fallisci "scenario-tool.exe was not built"
    controlla_sottosistema "$tool" "Windows CUI"
  fi
  echo "imports: only system DLLs"
}

prepara_wine() {
  mkdir -p "$WINEPREFIX"
  # One server for the whole job, stopped on exit: no helper process outlives it.
  wineserver -p
  # A new prefix makes wine talk (no 32-bit half, no working folder yet): kept
  # in a log, shown when the prefix cannot be made.
  timeout 300 wineboot -i 2>"$artefatti/wineboot.log" ||
    { cat "$artefatti/wineboot.log" >&2; fallisci "wineboot could not make the wine prefix"; }
  # Without a window manager wine waits 2 s for every window it manages.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  mkdir "$lavoro/strumenti"
  cp "$build_windows/tests/windows/leggi_finestra.exe" "$lavoro/strumenti/"
}

# Runs the executable $2 in folder $1 under wine; prints its exit status.
esegui_wine() {
  local stato=0
  (cd "$1" && timeout 120 wine "./$2" >&2) || stato=$?
  echo "$stato"
}

# The program in an empty folder, twice, against the Linux program.
controlla_file_scritti() {
  local linux=$lavoro/linux windows=$lavoro/windows stato_linux=0 stato passata
  mkdir "$linux" "$windows"
  cp "build/default/$programma" "$linux/"
  cp "$build_windows/$programma.exe" "$windows/"
  (cd "$linux" && "./$programma") || stato_linux=$?
  for passata in first second; do
    stato=$(esegui_wine "$windows" "$programma.exe")
    [[ "$stato" == "$stato_linux" ]] ||
      fallisci "$passata run: the Windows program ended with $stato, the Linux program with $stato_linux"
    confronta_file "$windows" "$linux"
  done
  if [[ "$stato_linux" == 0 ]]; then controlla_sei_file "$windows"; fi
  echo "files: $(file_lasciati "$linux" | wc -l) files equal byte for byte, exit status $stato_linux on both"
}

# Waits up to 60 s for file $1.
attendi_file() {
  local i
  for ((i = 0; i < 600; i++)); do
    [[ -e "$1" ]] && return 0
    sleep 0.1
  done
  fallisci "$1 never appeared"
}

finestre_visibili() {
  timeout 10 xdotool search --onlyvisible --name "^$1\$" | LC_ALL=C sort || true
}

# Waits up to 30 s for a visible window of title $1; prints the first.
attendi_finestra() {
  local i trovata
  for ((i = 0; i < 300; i++)); do
    trovata=$(finestre_visibili "$1" | sed -n 1p)
    [[ -n "$trovata" ]] && { echo "$trovata"; return 0; }
    sleep 0.1
  done
  fallisci "no window titled '$1' appeared"
}

# The X window of title $1 that lies at "x y width height" $2 (the program's
# own window bears the same title as its boxes).
finestra_in() {
  local i id luogo
  for ((i = 0; i < 100; i++)); do
    for id in $(finestre_visibili "$1"); do
      luogo=$(timeout 10 xdotool getwindowgeometry --shell "$id" |
        awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }')
      [[ "$luogo" == "$2" ]] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  fallisci "no window titled '$1' lies at $2"
}

# Reads the message box titled $1 from inside wine: sets `controlli` to its
# controls and `box` to its X window.
leggi_box() {
  local uscita
  uscita=$(cd "$lavoro/strumenti" && timeout 60 wine ./leggi_finestra.exe "$1" | tr -d '\r')
  controlli=$(sed 1d <<<"$uscita")
  box=$(finestra_in "$1" "$(sed -n '1s/^box\t//p' <<<"$uscita")")
}

# windowfocus, then a key to the focus: `key --window` leaves Return held,
# and the next box would close by itself.
chiudi_box() {
  timeout 10 xdotool windowfocus --sync "$1"
  timeout 10 xdotool key Return
}

# The label must show dark text on the window's light face.
controlla_non_vuota() {
  local scuri
  scuri=$(convert "$1" -gravity south -crop 100%x75%+0+0 +repage -colorspace Gray \
    -fx 'u<0.25' -format '%[fx:mean]' info:)
  awk -v s="$scuri" 'BEGIN { exit !(s > 0.005) }' || fallisci "$1 shows no text"
}

controlla_errore() {
  local cartella=$lavoro/errore titolo=prova_errore stato=0 processo form box controlli
  mkdir "$cartella"
  cp "$build_windows/tests/windows/prova_errore.exe" "$cartella/"
  (cd "$cartella" && exec timeout 120 wine ./prova_errore.exe) &
  processo=$!

  attendi_file "$cartella/pronta"
  form=$(attendi_finestra "$titolo")
  import -window "$form" "$artefatti/attendere.png"
  controlla_non_vuota "$artefatti/attendere.png"

  touch "$cartella/continua"
  leggi_box "$titolo"
  [[ "$controlli" == $'Button\t1\tOK\nStatic\t65535\t Errore n. 1250' ]] ||
    fallisci "the box shows other controls than its text and an OK button:"$'\n'"$controlli"
  import -window root "$artefatti/errore.png"
  chiudi_box "$box"
  wait "$processo" || stato=$?
  [[ "$stato" == 1 ]] || fallisci "prova_errore ended with $stato after the box closed, not 1"
  [[ -z "$(finestre_visibili "$titolo")" ]] || fallisci "a window outlived the process"
  echo "errore: box \" Errore n. 1250\" shown and closed, exit status 1"
}

# A folder in the place of the notes document: the run stops with status 4,
# and on Windows a box says which file and why.
controlla_guasto() {
  local linux=$lavoro/guasto_linux windows=$lavoro/guasto_windows stato_linux=0 stato=0
  local bloccato=${programma}_note.txt processo box controlli
  mkdir -p "$linux/$bloccato" "$windows/$bloccato"
  cp "build/default/$programma" "$linux/"
  cp "$build_windows/$programma.exe" "$windows/"
  (cd "$linux" && "./$programma" 2>/dev/null) || stato_linux=$?
  [[ "$stato_linux" == 4 ]] || fallisci "the Linux program ended with $stato_linux on a blocked file, not 4"
  (cd "$windows" && exec timeout 120 wine "./$programma.exe" 2>/dev/null) &
  processo=$!

  leggi_box "$programma"
  grep -qxP "Static\t65535\tcannot \w+ '.*\Q$bloccato\E': .+" <<<"$controlli" ||
    fallisci "the fault box does not name $bloccato:"$'\n'"$controlli"
  grep -qxP 'Button\t1\tOK' <<<"$controlli" || fallisci "the fault box has no OK button"
  import -window root "$artefatti/guasto.png"
  chiudi_box "$box"
  wait "$processo" || stato=$?
  [[ "$stato" == 4 ]] || fallisci "the Windows program ended with $stato on a blocked file, not 4"
  echo "fault: box names the blocked file, exit status 4 on both"
}

# Runs scenario-tool.exe (copied into folder $1) with the arguments $2...
# under wine; prints its exit status.
strumento_wine() {
  local cartella=$1 stato=0
  shift
  (cd "$cartella" && timeout 120 wine ./scenario-tool.exe "$@" >&2) || stato=$?
  echo "$stato"
}

# The file layer under wine, against the Linux run of controlla_file_scritti:
# a file at the name a temporary file once had stays, older files under the
# real names are replaced whole, no temporary file is left; two runs at once
# wait for each other and both end cleanly; scenario-tool.exe compiles the
# exported texts into the Linux program's files and refuses --route CON.
controlla_file_sicuri() {
  local linux=$lavoro/linux cartella=$lavoro/sicuri insieme=$lavoro/insieme strumenti=$lavoro/tool
  local vecchio=${programma}.sim.tmp nome stato processi=() p
  mkdir "$cartella" "$insieme" "$strumenti"
  cp "$build_windows/$programma.exe" "$cartella/"
  echo "someone else's" >"$cartella/$vecchio"
  for nome in "${programma}.sim" "${programma}.dat" Ulmo_Tarvignano_Rovesco_linea.dat; do
    echo "compiled earlier" >"$cartella/$nome"
  done
  stato=$(esegui_wine "$cartella" "$programma.exe")
  [[ "$stato" == 0 ]] || fallisci "over older files the Windows program ended with $stato, not 0"
  [[ "$(cat "$cartella/$vecchio")" == "someone else's" ]] ||
    fallisci "the Windows program changed $vecchio, the name its temporary file once had"
  rm "$cartella/$vecchio"
  confronta_file "$cartella" "$linux"

  cp "$build_windows/$programma.exe" "$insieme/"
  for p in 1 2 3; do
    (cd "$insieme" && exec timeout 120 wine "./$programma.exe" 2>/dev/null) &
    processi+=($!)
  done
  for p in "${processi[@]}"; do
    stato=0
    wait "$p" || stato=$?
    [[ "$stato" == 0 ]] || fallisci "of three runs at once in one folder, one ended with $stato"
  done
  confronta_file "$insieme" "$linux"

  cp "$(find "$build_windows" -name scenario-tool.exe -not -path '*/CMakeFiles/*' -print -quit)" "$strumenti/"
  stato=$(strumento_wine "$strumenti" export-sources src)
  [[ "$stato" == 0 ]] || fallisci "scenario-tool.exe export-sources ended with $stato"
  stato=$(strumento_wine "$strumenti" compile src/Ulmo_Tarvignano_Rovesco_linea.txt \
    "src/${programma}-.txt" out)
  [[ "$stato" == 0 ]] || fallisci "scenario-tool.exe compile ended with $stato"
  for nome in "${programma}.sim" "${programma}.dat" Ulmo_Tarvignano_Rovesco_linea.dat; do
    cmp "$linux/$nome" "$strumenti/out/$nome" >&2 || fallisci "scenario-tool.exe compiled another $nome"
  done
  stato=$(strumento_wine "$strumenti" compile src/Ulmo_Tarvignano_Rovesco_linea.txt \
    "src/${programma}-.txt" out-con --route CON)
  [[ "$stato" == 64 ]] || fallisci "scenario-tool.exe compile --route CON ended with $stato, not 64"
  [[ ! -e "$strumenti/out-con" ]] || fallisci "scenario-tool.exe compile --route CON made its folder"
  echo "files: the old temporary name left alone, older files replaced, three runs at once clean, --route CON refused"
}

# scenario-tool build on a small scenario of the test fixtures, with the
# Linux runner of build/default and the Windows one of build/windows: the
# Linux program and the Windows program (under wine), each alone in a folder,
# end with status 0 and leave the same files, byte for byte, and the compiled
# ones are those scenario-tool compile makes from the same texts.
controlla_programma_costruito() {
  local fixture=tests/scenari/piccola nome=Piccola_Linea_7 esecutori=$lavoro/esecutori
  local programmi=$lavoro/programmi linux=$lavoro/costruito_linux windows=$lavoro/costruito_windows
  local compilati=$lavoro/compilati stato=0 f
  mkdir "$esecutori" "$linux" "$windows"
  cp build/default/tools/scenario-runner "$build_windows/tools/scenario-runner.exe" "$esecutori/"
  build/default/tools/scenario-tool build "$fixture" -o "$programmi" --runners "$esecutori" >/dev/null ||
    fallisci "scenario-tool build failed on $fixture"
  controlla_import "$programmi/$nome.exe"
  controlla_sottosistema "$programmi/$nome.exe" "Windows GUI"
  cp "$programmi/$nome" "$linux/"
  cp "$programmi/$nome.exe" "$windows/"
  (cd "$linux" && "./$nome") || stato=$?
  [[ "$stato" == 0 ]] || fallisci "the built Linux program ended with $stato"
  stato=$(esegui_wine "$windows" "$nome.exe")
  [[ "$stato" == 0 ]] || fallisci "the built Windows program ended with $stato"
  rm "$linux/$nome" "$windows/$nome.exe"
  diff <(ls "$linux") <(ls "$windows") >&2 ||
    fallisci "the built programs left other files (< Linux, > Windows)"
  [[ "$(ls "$linux" | wc -l)" == 6 ]] || fallisci "the built Linux program did not leave six files"
  for f in "$linux"/*; do
    cmp "$f" "$windows/$(basename "$f")" >&2 || fallisci "$(basename "$f") differs between the built programs"
  done
  build/default/tools/scenario-tool compile "$fixture/Piccola_Linea_linea.txt" "$fixture/Piccola_Linea_7-.txt" \
    "$compilati" --route Piccola_Linea --train 7 || fallisci "scenario-tool compile failed on $fixture"
  for f in "$compilati"/*; do
    cmp "$f" "$linux/$(basename "$f")" >&2 || fallisci "the built program compiled another $(basename "$f")"
  done
  echo "build: $nome and $nome.exe leave the same six files, the compiled ones as compile makes them"
}

# A folder whose path is 300 characters: the Windows program takes its lock
# and writes the Linux program's files there, as in any folder.
controlla_cartella_lunga() {
  local linux=$lavoro/linux cartella=$lavoro/lunga stato
  while ((${#cartella} < 300)); do cartella+=/$(printf 'c%.0s' {1..40}); done
  cartella=${cartella:0:300}
  cartella=${cartella%/}
  while ((${#cartella} < 300)); do cartella+=c; done
  mkdir -p "$cartella"
  cp "$build_windows/$programma.exe" "$cartella/"
  stato=$(esegui_wine "$cartella" "$programma.exe")
  [[ "$stato" == 0 ]] || fallisci "in a folder of ${#cartella} characters the Windows program ended with $stato, not 0"
  confronta_file "$cartella" "$linux"
  echo "a folder of ${#cartella} characters: the lock taken, the files as on Linux"
}

# ---- Sourced by .ci/pacchetti.sh, which uses the functions above: the job
# itself runs only when this file is run.
[[ "${BASH_SOURCE[0]}" == "$0" ]] || return 0

if [[ "${1:-}" != --sotto-xvfb ]]; then
  export CI_WINDOWS_INIZIO=${CI_WINDOWS_INIZIO:-$(date +%s)}
  installa_mancanti
  cmake --workflow --preset windows
  cmake --build --preset default --target "$programma" scenario-tool scenario-runner
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --sotto-xvfb
fi

inizio_wine=$(date +%s)
rm -rf "$artefatti"
mkdir -p "$artefatti"
lavoro=$(mktemp -d)
export WINEPREFIX=$lavoro/prefisso WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fine() {
  timeout 30 wineserver -k 2>/dev/null || true
  rm -rf "$lavoro"
}
trap fine EXIT

controlla_eseguibili
prepara_wine
controlla_file_scritti
controlla_file_sicuri
controlla_programma_costruito
controlla_cartella_lunga
controlla_errore
controlla_guasto
echo "screenshots in $artefatti/"
adesso=$(date +%s)
echo "windows job passed: $((adesso - CI_WINDOWS_INIZIO)) s in all, $((adesso - inizio_wine)) s of them under wine"
