// A terminal screen as tmux captures it (`tmux capture-pane -e -p`: text with
// SGR colour sequences) turned into an SVG picture: one monospace cell per
// character, with its foreground and background colours, bold and
// underline. Reads the capture on standard input, writes the SVG on
// standard output. Used by schermata.sh for the README's picture.
'use strict';

const fs = require('node:fs');

const colonne = Number(process.argv[2] || 100);
const cella = { l: 8.4, a: 18, font: 14 };
const sfondo = '#1c1c1c';
const primo_piano = '#d0d0d0';

// The xterm palette: 16 colours, the 6x6x6 cube, the 24 greys.
const base = ['#000000', '#cd0000', '#00cd00', '#cdcd00', '#0000ee', '#cd00cd', '#00cdcd', '#e5e5e5',
  '#7f7f7f', '#ff0000', '#00ff00', '#ffff00', '#5c5cff', '#ff00ff', '#00ffff', '#ffffff'];
function colore256(n) {
  if (n < 16) return base[n];
  const esa = (v) => v.toString(16).padStart(2, '0');
  if (n < 232) {
    const livelli = [0, 95, 135, 175, 215, 255];
    const k = n - 16;
    return `#${esa(livelli[Math.floor(k / 36)])}${esa(livelli[Math.floor(k / 6) % 6])}${esa(livelli[k % 6])}`;
  }
  const g = 8 + (n - 232) * 10;
  return `#${esa(g)}${esa(g)}${esa(g)}`;
}

// Applies one SGR sequence's parameters to the current style.
function applica(stile, parametri) {
  const p = parametri.length ? parametri.map(Number) : [0];
  for (let i = 0; i < p.length; i++) {
    const v = p[i];
    if (v === 0) Object.assign(stile, { fg: null, bg: null, grassetto: false, sottolineato: false, inverso: false });
    else if (v === 1) stile.grassetto = true;
    else if (v === 22) stile.grassetto = false;
    else if (v === 4) stile.sottolineato = true;
    else if (v === 24) stile.sottolineato = false;
    else if (v === 7) stile.inverso = true;
    else if (v === 27) stile.inverso = false;
    else if (v >= 30 && v <= 37) stile.fg = base[v - 30];
    else if (v >= 90 && v <= 97) stile.fg = base[v - 90 + 8];
    else if (v === 39) stile.fg = null;
    else if (v >= 40 && v <= 47) stile.bg = base[v - 40];
    else if (v >= 100 && v <= 107) stile.bg = base[v - 100 + 8];
    else if (v === 49) stile.bg = null;
    else if ((v === 38 || v === 48) && p[i + 1] === 5) {
      stile[v === 38 ? 'fg' : 'bg'] = colore256(p[i + 2]);
      i += 2;
    } else if ((v === 38 || v === 48) && p[i + 1] === 2) {
      const esa = (x) => x.toString(16).padStart(2, '0');
      stile[v === 38 ? 'fg' : 'bg'] = `#${esa(p[i + 2])}${esa(p[i + 3])}${esa(p[i + 4])}`;
      i += 4;
    }
  }
}

function xml(testo) {
  return testo.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
}

const righe = fs.readFileSync(0, 'utf8').replace(/\n$/, '').split('\n');
const stile = { fg: null, bg: null, grassetto: false, sottolineato: false, inverso: false };
const parti = [];
righe.forEach((riga, r) => {
  // Each character with the style in force, then runs of one style.
  const celle = [];
  for (let i = 0; i < riga.length;) {
    const sequenza = /^\x1b\[([0-9;]*)m/.exec(riga.slice(i));
    if (sequenza) {
      applica(stile, sequenza[1] ? sequenza[1].split(';') : []);
      i += sequenza[0].length;
      continue;
    }
    const carattere = String.fromCodePoint(riga.codePointAt(i));
    i += carattere.length;
    let fg = stile.fg || primo_piano;
    let bg = stile.bg;
    if (stile.inverso) [fg, bg] = [bg || sfondo, fg];
    celle.push({ carattere, fg, bg, grassetto: stile.grassetto, sottolineato: stile.sottolineato });
  }
  const y = r * cella.a;
  for (let c = 0; c < celle.length;) {
    let fine = c + 1;
    const uguale = (a, b) => a.fg === b.fg && a.bg === b.bg && a.grassetto === b.grassetto &&
      a.sottolineato === b.sottolineato;
    while (fine < celle.length && uguale(celle[fine], celle[c])) fine++;
    const tratto = celle.slice(c, fine);
    const x = c * cella.l;
    if (tratto[0].bg) {
      parti.push(`<rect x="${x}" y="${y}" width="${tratto.length * cella.l}" height="${cella.a}" fill="${tratto[0].bg}"/>`);
    }
    const testo = tratto.map((t) => t.carattere).join('');
    if (testo.trim()) {
      const peso = tratto[0].grassetto ? ' font-weight="bold"' : '';
      const linea = tratto[0].sottolineato ? ' text-decoration="underline"' : '';
      parti.push(`<text x="${x}" y="${y + cella.a - 5}" fill="${tratto[0].fg}"${peso}${linea} textLength="${tratto.length * cella.l}" lengthAdjust="spacingAndGlyphs">${xml(testo)}</text>`);
    }
    c = fine;
  }
});

const larghezza = colonne * cella.l;
const altezza = righe.length * cella.a;
process.stdout.write(`<svg xmlns="http://www.w3.org/2000/svg" width="${larghezza}" height="${altezza}" viewBox="0 0 ${larghezza} ${altezza}">
<rect width="100%" height="100%" fill="${sfondo}"/>
<g font-family="DejaVu Sans Mono, monospace" font-size="${cella.font}" xml:space="preserve">
${parti.join('\n')}
</g>
</svg>
`);
