#!/usr/bin/env bash
# CI, packages (called by .ci/run after the Windows job): makes the packages
# with the `package` workflow and unpacks each as a user would.
#  - The Linux .tar.gz, unpacked into a temporary prefix, holds exactly the
#    files of an install; its scenario-tool prints the version, writes the
#    embedded texts, compiles and checks them (and a changed pair with an
#    error and a warning); its manual page reads without a warning under
#    `man -l` and shows the version; its bash completion completes.
#  - The .deb holds the same files under /usr, at the same version.
#  - The Windows .zip holds both .exe files with the version in their
#    version resource, the read-me in Windows line ends, README and the
#    reference pages; its scenario-tool.exe, run under wine the same way from
#    a folder of the same name, leaves the same files byte for byte and prints
#    the same version, the same messages and the same check --json output,
#    with the same exit statuses.
#  - Both packages hold both runners of build: each tool (the Windows one
#    under wine) builds the embedded scenario's programs from its exported
#    texts, and the Linux program and the Windows one (under wine), each run
#    alone in a folder, leave six files with the compiled files compile makes.
#  - Every package holds the same VS Code extension (.vsix) and the Neovim and
#    Vim set-up files; the .vsix, unpacked, holds the grammars and
#    scenario-tool for Linux and Windows at the packages' version, and the
#    extension's server test starts each carried server as the extension
#    does (the Windows one under wine) and gets the diagnostic of a slip.
set -euo pipefail
cd "$(dirname "$0")/.."

# wine, its packages and the folder comparison of the Windows job.
# shellcheck source=.ci/windows.sh
source .ci/windows.sh

readonly cartella_pacchetti=build/pacchetti
readonly linea=src/Ulmo_Tarvignano_Rovesco_linea.txt
readonly treno=src/Ulmo_Tarvignano_Rovesco_4816-.txt

fallisci() {
  echo "packages job FAILED: $*" >&2
  exit 1
}

installa_mancanti_pacchetti() {
  installa_mancanti  # the Windows job's: MinGW-w64, wine, the virtual display
  installa_pacchetti man-db unzip dpkg-dev
  # The extension is packed by npm (node's own npm where node is installed).
  command -v npm >/dev/null || installa_pacchetti nodejs npm
}

# The single file of the packages folder that matches $1.
pacchetto() {
  local trovati
  mapfile -t trovati < <(compgen -G "$cartella_pacchetti/$1")
  [[ ${#trovati[@]} == 1 ]] || fallisci "no single package $1 in $cartella_pacchetti"
  echo "${trovati[0]}"
}

# The files under folder $1, one relative path a line, sorted.
file_sotto() {
  (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort)
}

# The reference pages and pictures under docs/, as an install copies them.
pagine_di_riferimento() {
  (cd docs && find . -type f \( -name '*.md' -o -name '*.html' -o -name '*.png' \) -printf 'docs/%P\n')
}

# The editors' files of a package, under its folder for them.
file_editori() {
  printf '%s\n' "scenario-texts-$numero.vsix" neovim/scenario.lua vim/scenario.vim
}

# Folder $1 must hold exactly the files listed on standard input.
controlla_contenuto() {
  local attesi
  attesi=$(LC_ALL=C sort)
  diff <(echo "$attesi") <(file_sotto "$1") >&2 ||
    fallisci "$2 does not hold the files it should (< expected, > found)"
}

# One round of scenario-tool in folder $1, run as "$2 ARGUMENTS..." (the
# Linux executable, or wine and the Windows one): every output and exit
# status lands in a file of the folder, to be compared.
usa_strumento() {
  local cartella=$1
  shift
  local strumento=("$@")
  (
    cd "$cartella"
    esegui() {  # esegui NAME ARGUMENTS...: NAME.out, NAME.err, NAME.stato
      local nome=$1 stato=0
      shift
      timeout 120 "${strumento[@]}" "$@" >"$nome.out" 2>"$nome.err" || stato=$?
      echo "$stato" >"$nome.stato"
    }
    esegui versione --version
    esegui esporta export-sources src
    esegui compila compile "$linea" "$treno" out
    esegui verifica check --json "$linea" "$treno"
    # A pair with an error (a signal on the slowdown's start) and a warning
    # (a speed limit that is not a multiple of 5), compiled anyway.
    mkdir -p errata/src
    cp "$linea" errata/src/
    sed -e 's/^segnale,    2850,/segnale,    2790,/' -e 's/^velocita,   18600,    75/velocita,   18600,    72/' \
      "$treno" >"errata/$treno"
    cd errata
    esegui compila compile "$linea" "$treno" out
    esegui verifica check "$linea" "$treno"
    esegui verifica_json check --json "$linea" "$treno"
    esegui dump dump --text --metres 2800..2949 out/Ulmo_Tarvignano_Rovesco_4816.dat
    cd ..
    # The embedded scenario's programs, built from the exported texts, each
    # run alone in a folder; the programs themselves differ (the runners in
    # the zip are not stripped as the installed ones are) and go.
    esegui costruisci build src -o programmi
    mkdir corsa corsa_exe
    if [[ -f "programmi/$programma" && -f "programmi/$programma.exe" ]]; then
      local stato=0
      cp "programmi/$programma" corsa/
      # Made on Windows it has no execute permission: Windows keeps none.
      chmod +x "corsa/$programma"
      (cd corsa && "./$programma") || stato=$?
      echo "$stato" >corsa.stato
      stato=0
      cp "programmi/$programma.exe" corsa_exe/
      (cd corsa_exe && timeout 120 wine "./$programma.exe") || stato=$?
      echo "$stato" >corsa_exe.stato
      rm "corsa/$programma" "corsa_exe/$programma.exe"
    fi
    # Its paths are written with the system's separator.
    sed -e 's|\\|/|g' -e 's|\r$||' costruisci.out >costruisci.elenco
    rm -rf programmi costruisci.out
  )
}

# The statuses and outputs of a round must be those of the embedded texts.
controlla_giro() {
  local c=$1
  [[ "$(cat "$c/versione.stato" "$c/esporta.stato" "$c/compila.stato" "$c/verifica.stato")" == $'0\n0\n0\n0' ]] ||
    fallisci "scenario-tool did not end with status 0 on the embedded texts ($c)"
  [[ "$(cat "$c/verifica.out")" == "[]" ]] || fallisci "check --json found problems in the embedded texts ($c)"
  [[ "$(cat "$c/errata/compila.stato" "$c/errata/verifica.stato" "$c/errata/dump.stato")" == $'2\n1\n0' ]] ||
    fallisci "the changed texts did not compile with status 2 and check with 1 ($c)"
  grep -qF "[16]" "$c/errata/verifica.err" || fallisci "check did not find the signal on a taken cell ($c)"
  grep -qF "[speed-multiple]" "$c/errata/verifica.err" || fallisci "check did not warn of the speed ($c)"
  [[ -f "$c/out/Ulmo_Tarvignano_Rovesco_4816.dat" ]] || fallisci "compile wrote no cell file ($c)"
  [[ "$(cat "$c/costruisci.stato" "$c/corsa.stato" "$c/corsa_exe.stato")" == $'0\n0\n0' ]] ||
    fallisci "build, or a run of the programs it made, did not end with status 0 ($c)"
  [[ "$(cat "$c/costruisci.elenco")" == "programmi/$programma"$'\n'"programmi/$programma.exe" ]] ||
    fallisci "build did not list the two programs ($c)"
  local f
  for f in "$c"/out/*; do
    cmp "$f" "$c/corsa/$(basename "$f")" >&2 || fallisci "a built program compiled another $(basename "$f") ($c)"
    cmp "$f" "$c/corsa_exe/$(basename "$f")" >&2 || fallisci "a built .exe compiled another $(basename "$f") ($c)"
  done
  [[ "$(ls "$c/corsa" | wc -l)" == 6 ]] || fallisci "a built program did not leave six files ($c)"
}

controlla_linux() {
  local archivio deb prefisso=$lavoro/prefisso
  archivio=$(pacchetto '*-Linux.tar.gz')
  deb=$(pacchetto '*.deb')
  mkdir "$prefisso"
  tar -xzf "$archivio" -C "$prefisso" --strip-components=1
  {
    printf '%s\n' bin/Ulmo_Tarvignano_Rovesco_4816 bin/scenario-tool share/man/man1/scenario-tool.1 \
      lib/scenario-tool/scenario-runner lib/scenario-tool/scenario-runner.exe \
      share/bash-completion/completions/scenario-tool share/zsh/site-functions/_scenario-tool \
      "share/doc/$programma/README.md"
    pagine_di_riferimento | sed "s|^|share/doc/$programma/|"
    file_editori | sed "s|^|share/scenario-tool/|"
  } | controlla_contenuto "$prefisso" "$(basename "$archivio")"

  diff <(file_sotto "$prefisso") <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' |
    sed 's|^\./usr/||' | LC_ALL=C sort) >&2 || fallisci "the .deb holds other files than the .tar.gz"
  [[ "$(dpkg-deb -f "$deb" Version)" == "$numero" ]] || fallisci "the .deb is not version $numero"

  mkdir "$lavoro/linux"
  usa_strumento "$lavoro/linux" "$prefisso/bin/scenario-tool"
  controlla_giro "$lavoro/linux"
  versione=$(cat "$lavoro/linux/versione.out")
  [[ "$versione" == "scenario-tool $numero"* ]] || fallisci "--version printed '$versione', not version $numero"
  versione=${versione#scenario-tool }

  local pagina=$prefisso/share/man/man1/scenario-tool.1 avvisi
  avvisi=$(MANWIDTH=80 man --warnings -l "$pagina" 2>&1 >"$lavoro/pagina.txt") ||
    fallisci "man -l failed on the installed page"
  [[ -z "$avvisi" ]] || fallisci "the manual page has troff warnings:"$'\n'"$avvisi"
  grep -qF "scenario-tool $versione" "$lavoro/pagina.txt" || fallisci "man -l does not show the version"

  local completamento
  completamento=$(bash --norc --noprofile -c "source '$prefisso/share/bash-completion/completions/scenario-tool'
    complete -p scenario-tool
    COMP_WORDS=(scenario-tool dump --me); COMP_CWORD=2; _scenario_tool; echo \"\${COMPREPLY[*]}\"")
  [[ "$completamento" == $'complete -o filenames -F _scenario_tool scenario-tool\n--metres' ]] ||
    fallisci "the installed bash completion does not complete: $completamento"

  echo "linux: $(basename "$archivio") and $(basename "$deb"): $(file_sotto "$prefisso" | wc -l) files;" \
    "scenario-tool $versione; man page and completion installed"
}

# The version resource of $1 must name the version.
controlla_risorsa_versione() {
  local testo
  testo=$(x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$1" /dev/stdout | tr -d '\0')
  if ! grep -qF "ProductVersion$versione" <<<"$testo" || ! grep -qF "FileVersion$versione" <<<"$testo"; then
    fallisci "$(basename "$1") does not carry version $versione in its version resource"
  fi
}

controlla_windows() {
  local zip cartella=$lavoro/zip windows=$lavoro/windows
  zip=$(pacchetto '*-win64.zip')
  mkdir "$cartella"
  unzip -q "$zip" -d "$cartella"
  cartella=$(echo "$cartella"/*/)
  {
    printf '%s\n' "$programma.exe" scenario-tool.exe scenario-runner.exe scenario-runner LEGGIMI.txt README.md
    pagine_di_riferimento
    file_editori | sed "s|^|editors/|"
  } | controlla_contenuto "$cartella" "$(basename "$zip")"
  controlla_risorsa_versione "$cartella/$programma.exe"
  controlla_risorsa_versione "$cartella/scenario-tool.exe"
  [[ "$(head -n 1 "$cartella/LEGGIMI.txt")" == *"$versione"*$'\r' ]] ||
    fallisci "LEGGIMI.txt does not begin with the version in a Windows line"

  mkdir "$windows"
  usa_strumento "$windows" wine "${cartella}scenario-tool.exe"
  controlla_giro "$windows"
  diff -r "$lavoro/linux" "$windows" >&2 ||
    fallisci "the zipped scenario-tool.exe under wine left other files or outputs than the Linux one"
  echo "windows: $(basename "$zip"): $(file_sotto "$cartella" | wc -l) files; under wine," \
    "$(file_sotto "$windows" | wc -l) files and outputs equal to Linux's byte for byte"
  for f in $(file_editori); do
    cmp -s "$cartella/editors/$f" "$lavoro/prefisso/share/scenario-tool/$f" ||
      fallisci "the zip's editors/$f is not the Linux archive's"
  done
}

# The extension, as `code --install-extension` unpacks it: the grammars, the
# two servers, the client's packages, and no test.
controlla_estensione() {
  local vsix=$lavoro/prefisso/share/scenario-tool/scenario-texts-$numero.vsix cartella=$lavoro/vsix
  mkdir "$cartella"
  unzip -q "$vsix" -d "$cartella"
  cartella=$cartella/extension
  local f
  for f in package.json extension.js readme.md syntaxes/scenario-linea.tmLanguage.json \
    syntaxes/scenario-treno.tmLanguage.json bin/linux-x64/scenario-tool bin/win32-x64/scenario-tool.exe \
    node_modules/vscode-languageclient/package.json; do
    [[ -s "$cartella/$f" ]] || fallisci "the .vsix holds no extension/$f"
  done
  [[ ! -e "$cartella/test" ]] || fallisci "the .vsix holds the extension's tests"
  [[ -x "$cartella/bin/linux-x64/scenario-tool" ]] || fallisci "the .vsix's Linux server is not executable"
  [[ "$(node -p "require('$cartella/package.json').version")" == "$numero" ]] ||
    fallisci "the .vsix is not version $numero"
  [[ "$("$cartella/bin/linux-x64/scenario-tool" --version)" == "scenario-tool $versione" ]] ||
    fallisci "the .vsix's Linux server is not version $versione"
  [[ "$(wine "$cartella/bin/win32-x64/scenario-tool.exe" --version)" == "scenario-tool $versione" ]] ||
    fallisci "the .vsix's Windows server is not version $versione"
  SCENARIO_ESTENSIONE=$cartella node --test editors/vscode/test/servitore.test.js >&2 ||
    fallisci "the extension's Linux server gave no diagnostic"
  SCENARIO_ESTENSIONE=$cartella SCENARIO_SISTEMA=win32-x64 SCENARIO_LANCIATORE=wine \
    node --test editors/vscode/test/servitore.test.js >&2 ||
    fallisci "the extension's Windows server under wine gave no diagnostic"
  echo "extension: $(basename "$vsix") in every package, $(file_sotto "$cartella" | wc -l) files;" \
    "both servers at version $versione, each gave the slip's diagnostic"
}

if [[ "${1:-}" != --sotto-xvfb ]]; then
  installa_mancanti_pacchetti
  rm -rf "$cartella_pacchetti"
  cmake --workflow --preset package
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --sotto-xvfb
fi

numero=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
mkdir -p "$artefatti"
lavoro=$(mktemp -d)
export WINEPREFIX=$lavoro/prefisso_wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fine() {
  timeout 30 wineserver -k 2>/dev/null || true
  rm -rf "$lavoro"
}
trap fine EXIT

# wine for both rounds: each runs the Windows program build makes.
prepara_wine
controlla_linux
controlla_windows
controlla_estensione
echo "packages job passed"
