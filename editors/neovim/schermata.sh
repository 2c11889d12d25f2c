#!/usr/bin/env bash
# Makes docs/lsp_neovim.png, the README's picture of a diagnostic in an
# editor: Neovim in a terminal (tmux), with scenario.lua, on a train text
# whose signal lands on a taken cell, the diagnostic's window open at it.
# Needs nvim, tmux, node and rsvg-convert.
#   usage: editors/neovim/schermata.sh path/to/scenario-tool
set -euo pipefail
strumento=$(realpath "${1:?usage: $0 path/to/scenario-tool}")
qui=$(cd "$(dirname "$0")" && pwd)
radice=$(cd "$qui/../.." && pwd)
cartella=$(mktemp -d)
sessione=scenario-schermata-$$
trap 'tmux kill-session -t "$sessione" 2>/dev/null || true; rm -rf "$cartella"' EXIT

"$strumento" export-sources "$cartella"
mv "$cartella/Ulmo_Tarvignano_Rovesco_linea.txt" "$cartella/R_linea.txt"
sed 's/^segnale,    2850,/segnale,    2790,/' "$cartella/Ulmo_Tarvignano_Rovesco_4816-.txt" \
  >"$cartella/R_T-.txt"
rm "$cartella/Ulmo_Tarvignano_Rovesco_4816-.txt"
cat >"$cartella/init.lua" <<FINE
vim.o.number = true
vim.o.signcolumn = 'yes'
vim.cmd('highlight NormalFloat ctermbg=236 ctermfg=252')
vim.cmd('highlight FloatBorder ctermbg=236 ctermfg=244')
vim.diagnostic.config({ float = { border = 'rounded', source = 'always', header = '' } })
dofile('$qui/scenario.lua').setup({ cmd = { '$strumento', 'lsp' } })
FINE

colonne=120
righe=28
tmux new-session -d -s "$sessione" -x "$colonne" -y "$righe" -c "$cartella" \
  "TERM=xterm-256color nvim -u init.lua -i NONE +36 R_T-.txt"
sleep 3
# The cursor on the faulty position, and the diagnostic's window open.
tmux send-keys -t "$sessione" '42G13|zz' ':lua vim.diagnostic.open_float()' Enter
sleep 2
tmux capture-pane -e -p -t "$sessione" >"$cartella/schermo.ansi"
node "$qui/schermo_svg.js" "$colonne" <"$cartella/schermo.ansi" >"$cartella/schermo.svg"
rsvg-convert "$cartella/schermo.svg" -o "$radice/docs/lsp_neovim.png"
echo "$radice/docs/lsp_neovim.png"
