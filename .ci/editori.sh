#!/usr/bin/env bash
# The language server in real editors: Neovim's built-in client (Debian's
# neovim, headless) opens a pair with a slip, sees the diagnostic at its line
# and column and in a readable window, hovers and sees the fix clear it; then
# the VS Code extension's own tests: the extension with stand-ins for VS
# Code, its highlighting grammars on the embedded texts, and the server it
# starts (scenarioTool.path set to the build's) giving the slip's diagnostic
# (npm ci fetches the packages of the lock file). The package workflow makes
# the .vsix with the servers inside, and .ci/pacchetti.sh tries it.
# Needs build/default/tools/scenario-tool and build/default/editors/syntaxes/,
# which the test workflow builds.
set -euo pipefail
cd "$(dirname "$0")/.."

pacchetti=(neovim)
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if ((${#mancanti[@]})); then
  echo "installing: ${mancanti[*]}"
  sudo_se_serve=()
  [ "$(id -u)" -eq 0 ] || sudo_se_serve=(sudo)
  "${sudo_se_serve[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_se_serve[@]}" apt-get install -y -qq \
    --no-install-recommends "${mancanti[@]}"
fi

strumento=$PWD/build/default/tools/scenario-tool
cartella=$(mktemp -d)
trap 'rm -rf "$cartella"' EXIT
"$strumento" export-sources "$cartella"
mv "$cartella/Ulmo_Tarvignano_Rovesco_linea.txt" "$cartella/R_linea.txt"
# Line 42: the signal at 2850 m moved onto the slowdown start's cell (code 16).
sed 's/^segnale,    2850,/segnale,    2790,/' "$cartella/Ulmo_Tarvignano_Rovesco_4816-.txt" \
  >"$cartella/R_T-.txt"
rm "$cartella/Ulmo_Tarvignano_Rovesco_4816-.txt"
echo "Neovim $(nvim --version | head -n 1) against scenario-tool lsp:"
SCENARIO_TOOL=$strumento CARTELLA=$cartella timeout 180 \
  nvim --headless --clean -i NONE -c 'luafile editors/neovim/prova_diagnostica.lua'

grammatiche=$PWD/build/default/editors/syntaxes
(
  cd editors/vscode
  npm ci --no-audit --no-fund
  SCENARIO_TOOL=$strumento SCENARIO_GRAMMATICHE=$grammatiche npm test
)
