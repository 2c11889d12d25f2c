// The route viewer: draws the layout model that scenario-tool put into the
// page (the JSON of #dati) on two canvases, the plan above and the profile
// below, on one metre axis that zooms (wheel, pinch, buttons, keys) and pans
// (drag). What goes where, which labels show at which scale and on which
// row, and how the plan and the steps are thinned all come with the model:
// this script only picks the level for the current scale and draws it.
(function () {
  'use strict';

  const D = JSON.parse(document.getElementById('dati').textContent);
  const C = D.colori;
  const G = D.disegno;
  const X0 = 96; // the column of band names
  const MARGINE_DX = 16;
  const FINE = Math.max(D.fine_striscia, 1);
  const MPC = D.metri_cella;
  const MPP_MIN = MPC / 48; // a cell 48 pixels wide at the closest
  const NOMI_BANDE = {
    zone: 'Stazioni', segnali: 'Segnali', cartelli: 'Cartelli', rallentamenti: 'Rallentamenti',
    punti: 'Punti codice', montagne: 'Montagna', velocita: 'Velocit\u00e0', pendenza: 'Pendenza',
    aderenza: 'Aderenza',
  };
  const SOTTOTITOLI = { velocita: 'limite, km/h', pendenza: 'per mille', aderenza: 'per cento' };

  // ---------------------------------------------------------------- data

  function decodificaTratto(a) {
    const n = a.length / 3;
    const x = new Float64Array(n);
    const y = new Float64Array(n);
    const m = new Float64Array(n);
    let px = 0, py = 0, pm = 0;
    for (let i = 0; i < n; i++) {
      px += a[3 * i]; py += a[3 * i + 1]; pm += a[3 * i + 2];
      x[i] = px / 10; y[i] = py / 10; m[i] = pm;
    }
    return { x, y, m };
  }
  const PIANTA = D.pianta.map((l) => ({ tolleranza: l.tolleranza, tratti: l.tratti.map(decodificaTratto) }));

  function coppie(a) {
    const r = [];
    for (let i = 0; i < a.length; i += 2) r.push({ cella: a[i], metro: a[i + 1] });
    return r;
  }
  function quaterne(a) {
    const r = [];
    for (let i = 0; i < a.length; i += 4) r.push({ da: a[i], a: a[i + 1], min: a[i + 2], max: a[i + 3] });
    return r;
  }
  const SEGNALI = coppie(D.segnali);
  const AVVISI = coppie(D.avvisi);
  const PUNTI = coppie(D.punti_codice);
  const CARTELLI = coppie(D.cartelli);
  const INDICATORI = coppie(D.indicatori);
  const ABBATTIMENTI = coppie(D.abbattimenti);
  const MONTAGNE = quaterne(D.montagne);
  const STAZIONI = D.stazioni.map((s) => ({ riga: s[0], nome: s[1], posizione: s[2], inizio: s[3], fine: s[4], fermata: s[5] }));
  const RALLENTAMENTI = D.rallentamenti.map((r) => ({ inizio: r[0], fine: r[1], velocita: r[2], cella: r[3], avviso: r[5] }));
  const CURVE = ['velocita', 'pendenza', 'aderenza'].map((nome, k) => ({
    nome, scala: G.scale[k], livelli: D[nome].map((l) => ({ metri: l.metri, gradini: quaterne(l.gradini) })),
  }));
  const ETICHETTE = D.etichette.elenco.map((e) => ({ fascia: e[0], testo: e[1], metro: e[2], larghezza: e[3], oggetto: e[4], righe: e[5] }));
  const SCALE_ETICHETTE = D.etichette.scale;

  // The last index of `a` whose key is <= v (a sorted by key), or -1.
  function ultimoNonOltre(n, chiave, v) {
    let lo = 0, hi = n - 1, r = -1;
    while (lo <= hi) {
      const mid = (lo + hi) >> 1;
      if (chiave(mid) <= v) { r = mid; lo = mid + 1; } else { hi = mid - 1; }
    }
    return r;
  }

  // ---------------------------------------------------------------- what dump says of a cell

  function valoreColonna(corse, i) {
    const k = ultimoNonOltre(corse.length, (j) => corse[j][0], i);
    if (k < 0) return undefined;
    const c = corse[k];
    if (c.length === 1) return undefined;
    return c.length === 3 ? c[1] + c[2] * (i - c[0]) : c[1];
  }
  function metti(obj, percorso, v) {
    const parti = percorso.split('.');
    let o = obj;
    for (let k = 0; k < parti.length - 1; k++) {
      const p = parti[k];
      if (o[p] === undefined) o[p] = /^\d+$/.test(parti[k + 1]) ? [] : {};
      o = o[p];
    }
    o[parti[parti.length - 1]] = v;
  }
  function dumpCella(i) {
    const o = {};
    for (const [percorso, corse] of D.colonne) {
      const v = valoreColonna(corse, i);
      if (v !== undefined) metti(o, percorso, v);
    }
    return o;
  }

  // ---------------------------------------------------------------- view state

  const tela = document.getElementById('profilo');
  const telaPianta = document.getElementById('pianta');
  const riquadroPianta = document.getElementById('riquadro-pianta');
  const suggerimento = document.getElementById('suggerimento');
  const posizione = document.getElementById('posizione');
  const avvisi = document.getElementById('avvisi');
  const ALTEZZA_PROFILO = Math.ceil(G.asse + 30);
  let W = 800, WP = 800, HP = 300, dpr = 1;
  let m0 = 0, mpp = 1;
  let metroCursore = null; // the metre pointed at, on either view
  let mouse = null; // {x, y} on the profile
  let disegnoChiesto = false;
  let animazione = null;

  function larghezzaAsse() { return Math.max(W - X0 - MARGINE_DX, 50); }
  function mppMassimo() { return FINE / larghezzaAsse(); }
  function m1() { return m0 + larghezzaAsse() * mpp; }
  function xDi(m) { return X0 + (m - m0) / mpp; }
  function metroDi(x) { return m0 + (x - X0) * mpp; }

  function limita() {
    mpp = Math.min(Math.max(mpp, MPP_MIN), mppMassimo());
    const visibile = larghezzaAsse() * mpp;
    m0 = Math.min(Math.max(m0, 0), Math.max(FINE - visibile, 0));
  }

  function misura() {
    dpr = window.devicePixelRatio || 1;
    W = tela.parentElement.clientWidth;
    tela.style.height = ALTEZZA_PROFILO + 'px';
    tela.width = Math.round(W * dpr);
    tela.height = Math.round(ALTEZZA_PROFILO * dpr);
    WP = riquadroPianta.clientWidth;
    HP = riquadroPianta.clientHeight;
    telaPianta.width = Math.round(WP * dpr);
    telaPianta.height = Math.round(HP * dpr);
  }

  function ridisegna() {
    if (disegnoChiesto) return;
    disegnoChiesto = true;
    requestAnimationFrame(() => { disegnoChiesto = false; disegna(); });
  }

  // ---------------------------------------------------------------- profile

  function banda(nome) { return G.bande[nome]; }

  // Every text of the last drawing, by canvas, for scripts that read the page.
  const scritte = { profilo: [], pianta: [] };

  function testo(ctx, t, x, y, dimensione, colore, grassetto, allineamento, alone) {
    scritte[ctx.canvas.id].push(t);
    ctx.font = (grassetto ? 'bold ' : '') + dimensione + 'px "DejaVu Sans", Arial, sans-serif';
    ctx.textAlign = allineamento || 'left';
    if (alone) {
      ctx.strokeStyle = '#fff'; ctx.lineWidth = 3; ctx.lineJoin = 'round';
      ctx.strokeText(t, x, y);
    }
    ctx.fillStyle = colore || C.testo;
    ctx.fillText(t, x, y);
  }

  function passoTondo(totale, parti) {
    for (let p = 1e-3; ; p *= 10) {
      for (const f of [1, 2, 5]) if (totale / (f * p) <= parti) return f * p;
    }
  }

  // Point objects at most one per `unita_segni` pixels, as the page draws them.
  function visibili(oggetti, a, b) {
    const colonna = G.unita_segni * mpp;
    const tenuti = [];
    let ultimo = -Infinity;
    const primo = Math.max(ultimoNonOltre(oggetti.length, (j) => oggetti[j].metro, a), 0);
    for (let k = primo; k < oggetti.length; k++) {
      const o = oggetti[k];
      if (o.metro < a) continue;
      if (o.metro > b) break;
      if (o.metro - ultimo < colonna) continue;
      tenuti.push(o);
      ultimo = o.metro;
    }
    return tenuti;
  }

  function livelloEtichette() {
    let scelto = 0;
    for (let k = 0; k < SCALE_ETICHETTE.length; k++) if (SCALE_ETICHETTE[k] >= mpp) scelto = k;
    return scelto;
  }

  function livelloCurva(c) {
    for (const l of c.livelli) if (l.metri <= mpp) return l;
    return c.livelli[c.livelli.length - 1];
  }

  function disegnaAsse(ctx, a, b) {
    const y = G.asse;
    ctx.strokeStyle = '#333';
    ctx.lineWidth = 1;
    ctx.beginPath(); ctx.moveTo(X0, y + 0.5); ctx.lineTo(X0 + larghezzaAsse(), y + 0.5); ctx.stroke();
    const km = (b - a) / 1000;
    const passo = passoTondo(km, Math.max(2, Math.floor(larghezzaAsse() / 90)));
    const tacca = passo / 5;
    ctx.lineWidth = 1;
    for (let k = Math.ceil(a / 1000 / tacca - 1e-9); k * tacca * 1000 <= b; k++) {
      const v = k * tacca;
      const x = Math.round(xDi(v * 1000)) + 0.5;
      const grande = Math.abs(v / passo - Math.round(v / passo)) < 1e-6;
      ctx.strokeStyle = '#333';
      ctx.beginPath(); ctx.moveTo(x, y); ctx.lineTo(x, y + (grande ? 6 : 3)); ctx.stroke();
      if (!grande) continue;
      ctx.strokeStyle = '#e6e6e6';
      ctx.beginPath(); ctx.moveTo(x, banda('zone')[0]); ctx.lineTo(x, banda('aderenza')[1]); ctx.stroke();
      const decimali = passo < 1 ? Math.min(3, Math.ceil(-Math.log10(passo))) : 0;
      testo(ctx, v.toFixed(decimali), x, y + 16, 10, '#555', false, 'center');
    }
    testo(ctx, 'km', X0 - 16, y + 16, 10, '#555', false, 'right');
  }

  function disegnaCelle(ctx, a, b) {
    const larghezzaCella = MPC / mpp;
    if (larghezzaCella < 6) return;
    ctx.strokeStyle = 'rgba(0,0,0,0.07)';
    ctx.lineWidth = 1;
    const alto = banda('zone')[0], basso = G.asse;
    ctx.beginPath();
    for (let c = Math.floor(a / MPC); c * MPC <= b; c++) {
      const x = Math.round(xDi(c * MPC)) + 0.5;
      ctx.moveTo(x, alto); ctx.lineTo(x, basso);
    }
    ctx.stroke();
    if (larghezzaCella < 34) return;
    for (let c = Math.floor(a / MPC); c * MPC <= b; c++) {
      testo(ctx, String(c), xDi((c + 0.5) * MPC), G.asse - 3, 9, '#999', false, 'center');
    }
  }

  function disegnaFine(ctx, a, b) {
    if (D.lunghezza <= 0 || D.lunghezza > b) return;
    const x = xDi(Math.max(D.lunghezza, a));
    ctx.fillStyle = 'rgba(0,0,0,0.06)';
    ctx.fillRect(x, banda('zone')[0], X0 + larghezzaAsse() - x, G.asse - banda('zone')[0]);
    if (D.lunghezza < a) return;
    ctx.strokeStyle = C.fine;
    ctx.lineWidth = 2;
    ctx.beginPath(); ctx.moveTo(x, banda('zone')[0] - 4); ctx.lineTo(x, G.asse); ctx.stroke();
    testo(ctx, 'fine percorso ' + (D.lunghezza / 1000).toFixed(D.lunghezza % 1000 ? 2 : 0) + ' km', x - 4, banda('aderenza')[1] - 4, 10, C.fine, false, 'right');
  }

  function disegnaStazioni(ctx, a, b, conNome) {
    const z = banda('zone');
    for (const s of STAZIONI) {
      if (s.fine < a || s.inizio > b) continue;
      const x0 = xDi(s.inizio), x1 = xDi(s.fine), x = xDi(s.posizione);
      if (conNome.has(STAZIONI.indexOf(s))) {
        ctx.strokeStyle = '#9bb7d4'; ctx.lineWidth = 0.8; ctx.setLineDash([3, 3]);
        ctx.beginPath(); ctx.moveTo(x, z[0]); ctx.lineTo(x, banda('aderenza')[1]); ctx.stroke();
        ctx.setLineDash([]);
      }
      ctx.fillStyle = C.zona; ctx.strokeStyle = C.stazione; ctx.lineWidth = 0.8;
      ctx.fillRect(x0, z[0], Math.max(x1 - x0, 1), z[1] - z[0]);
      ctx.strokeRect(x0, z[0], Math.max(x1 - x0, 1), z[1] - z[0]);
      ctx.lineWidth = 1.6;
      ctx.beginPath(); ctx.moveTo(x, z[0] - 2); ctx.lineTo(x, z[1] + 2); ctx.stroke();
    }
  }

  function disegnaSegni(ctx, a, b) {
    let y = banda('segnali')[1];
    for (const s of visibili(SEGNALI, a, b)) {
      const x = xDi(s.metro);
      ctx.strokeStyle = '#333'; ctx.lineWidth = 1;
      ctx.beginPath(); ctx.moveTo(x, y); ctx.lineTo(x, y - 8); ctx.stroke();
      ctx.fillStyle = C.segnale; ctx.beginPath(); ctx.arc(x, y - 10, 3, 0, 2 * Math.PI); ctx.fill();
      ctx.lineWidth = 0.6; ctx.stroke();
    }
    y = banda('cartelli')[1];
    for (const s of visibili(CARTELLI, a, b)) {
      ctx.fillStyle = C.cartello; ctx.fillRect(xDi(s.metro) - 3, y - 10, 6, 6);
    }
    for (const s of visibili(INDICATORI, a, b)) {
      ctx.strokeStyle = C.indicatore; ctx.lineWidth = 1.4; ctx.fillStyle = '#fff';
      ctx.beginPath(); ctx.arc(xDi(s.metro), y - 6, 3.5, 0, 2 * Math.PI); ctx.fill(); ctx.stroke();
    }
    y = banda('rallentamenti')[1];
    for (const r of RALLENTAMENTI) {
      if (r.fine < a || r.inizio > b) continue;
      ctx.fillStyle = C.rallentamento; ctx.strokeStyle = C.bordo_rallentamento; ctx.lineWidth = 0.6;
      const x0 = xDi(r.inizio);
      const l = Math.max(xDi(r.fine) - x0, 1);
      ctx.fillRect(x0, y - 8, l, 7); ctx.strokeRect(x0, y - 8, l, 7);
    }
    for (const s of visibili(AVVISI, a, b)) {
      const x = xDi(s.metro);
      ctx.fillStyle = C.avviso; ctx.strokeStyle = '#333'; ctx.lineWidth = 0.6;
      ctx.beginPath(); ctx.moveTo(x, y - 10); ctx.lineTo(x - 4.5, y - 1); ctx.lineTo(x + 4.5, y - 1); ctx.closePath();
      ctx.fill(); ctx.stroke();
    }
    y = (banda('punti')[0] + banda('punti')[1]) / 2;
    for (const s of visibili(PUNTI, a, b)) {
      const x = xDi(s.metro);
      ctx.fillStyle = C.punto_codice;
      ctx.beginPath(); ctx.moveTo(x, y - 5); ctx.lineTo(x + 4, y); ctx.lineTo(x, y + 5); ctx.lineTo(x - 4, y); ctx.closePath(); ctx.fill();
    }
    for (const s of visibili(ABBATTIMENTI, a, b)) {
      const x = xDi(s.metro);
      ctx.strokeStyle = C.punto_codice; ctx.lineWidth = 1;
      ctx.beginPath(); ctx.moveTo(x, y - 5); ctx.lineTo(x + 4, y); ctx.lineTo(x, y + 5); ctx.lineTo(x - 4, y); ctx.closePath(); ctx.stroke();
    }
    const mb = banda('montagne');
    for (const t of MONTAGNE) {
      if (t.a < a || t.da > b) continue;
      ctx.fillStyle = C.montagna;
      ctx.fillRect(xDi(t.da), mb[0] + 1, Math.max(xDi(t.a) - xDi(t.da), 1), mb[1] - mb[0] - 2);
    }
  }

  // The steps of the speed, gradient and adhesion bands with their grid;
  // returns the grid's values and heights, written left of the axis.
  function disegnaCurve(ctx, a, b) {
    const valori = [];
    for (const c of CURVE) {
      const f = banda(c.nome);
      const [minimo, massimo, passo] = c.scala;
      const y = (v) => f[1] - (Math.min(Math.max(v, minimo), massimo) - minimo) * (f[1] - f[0]) / (massimo - minimo);
      ctx.lineWidth = 1;
      for (let v = Math.ceil(minimo / passo) * passo; v <= massimo + 1e-9; v += passo) {
        ctx.strokeStyle = v === 0 && minimo < 0 ? '#999' : '#ddd';
        ctx.beginPath(); ctx.moveTo(X0, Math.round(y(v)) + 0.5); ctx.lineTo(X0 + larghezzaAsse(), Math.round(y(v)) + 0.5); ctx.stroke();
        valori.push([String(Math.round(v)), y(v) + 3, c.nome]);
      }
      const g = livelloCurva(c).gradini;
      const primo = Math.max(ultimoNonOltre(g.length, (j) => g[j].da, a), 0);
      ctx.strokeStyle = C[c.nome]; ctx.fillStyle = C[c.nome]; ctx.lineWidth = 1.4;
      ctx.beginPath();
      let aperto = false;
      for (let k = primo; k < g.length && g[k].da <= b; k++) {
        const t = g[k];
        const x0 = Math.max(xDi(t.da), X0), x1 = Math.min(xDi(t.a), X0 + larghezzaAsse());
        if (t.min !== t.max) {
          ctx.globalAlpha = 0.35; ctx.fillRect(x0, y(t.max), Math.max(x1 - x0, 0.5), y(t.min) - y(t.max)); ctx.globalAlpha = 1;
        }
        if (!aperto) { ctx.moveTo(x0, y(t.min)); aperto = true; } else { ctx.lineTo(x0, y(t.min)); }
        ctx.lineTo(x1, y(t.min));
      }
      ctx.stroke();
    }
    return valori;
  }

  // The labels shown between metres a and b at the current level, where they
  // go, how many of each band are left out, and the stations that are named.
  function etichetteVisibili(a, b) {
    const livello = livelloEtichette();
    const nascoste = G.fasce.map(() => 0);
    const conNome = new Set();
    const mostrate = [];
    for (const e of ETICHETTE) {
      if (e.metro < a || e.metro > b) continue;
      const ch = e.righe[livello];
      if (ch === '-') { nascoste[e.fascia]++; continue; }
      const f = G.fasce[e.fascia];
      const y = f.riga0 - (ch.charCodeAt(0) - 48) * f.altezza_riga;
      mostrate.push({ e, f, x: xDi(e.metro), y });
      if (f.nome === 'stazioni') conNome.add(e.oggetto);
    }
    return { mostrate, nascoste, conNome };
  }

  function disegnaEtichette(ctx, mostrate) {
    // Every leader first: the texts' halos then cover those passing behind them.
    ctx.strokeStyle = C.guida; ctx.lineWidth = 0.6;
    ctx.beginPath();
    for (const { f, x, y } of mostrate) {
      if (f.nome !== 'montagne' && f.bersaglio > y + 2) { ctx.moveTo(x + 0.5, y + 2); ctx.lineTo(x + 0.5, f.bersaglio); }
    }
    ctx.stroke();
    for (const { e, f, x, y } of mostrate) {
      const colore = f.nome === 'montagne' ? '#fff' : C.testo;
      if (f.nome === 'stazioni') {
        const nome = STAZIONI[e.oggetto].nome;
        testo(ctx, nome, x + 1, y, f.dimensione_testo, colore, true, 'left', true);
        const largo = ctx.measureText(nome).width;
        testo(ctx, e.testo.slice(nome.length), x + 1 + largo, y, f.dimensione_testo, colore, false, 'left', true);
      } else {
        testo(ctx, e.testo, x + 1, y, f.dimensione_testo, colore, false, 'left', f.nome !== 'montagne');
      }
    }
  }

  function disegnaNomiBande(ctx) {
    for (const nome of Object.keys(NOMI_BANDE)) {
      const f = banda(nome);
      testo(ctx, NOMI_BANDE[nome], 8, Math.min(f[0] + 11, f[1]), 11, '#333', true);
      if (SOTTOTITOLI[nome]) testo(ctx, SOTTOTITOLI[nome], 8, f[0] + 23, 9, '#555');
    }
  }

  function disegnaProfilo() {
    const ctx = tela.getContext('2d');
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    ctx.clearRect(0, 0, W, ALTEZZA_PROFILO);
    scritte.profilo = [];
    const a = m0, b = m1();
    disegnaNomiBande(ctx);
    disegnaAsse(ctx, a, b);
    ctx.save();
    ctx.beginPath(); ctx.rect(X0 - 1, 0, larghezzaAsse() + MARGINE_DX, ALTEZZA_PROFILO); ctx.clip();
    disegnaCelle(ctx, a, b);
    disegnaFine(ctx, a, b);
    const valori = disegnaCurve(ctx, a, b);
    ctx.restore();
    // A value too close to the one above it in its band is left to its grid line.
    let sopra = -Infinity, fascia = null;
    for (const [t, y, nome] of valori.sort((p, q) => p[1] - q[1])) {
      if (nome !== fascia) { fascia = nome; sopra = -Infinity; }
      if (y - sopra < 11) continue;
      testo(ctx, t, X0 - 4, y, 9, '#555', false, 'right');
      sopra = y;
    }
    ctx.save();
    ctx.beginPath(); ctx.rect(X0 - 1, 0, W - X0 + 1, ALTEZZA_PROFILO); ctx.clip();
    const etichette = etichetteVisibili(a, b);
    disegnaStazioni(ctx, a, b, etichette.conNome);
    disegnaSegni(ctx, a, b);
    disegnaEtichette(ctx, etichette.mostrate);
    if (metroCursore !== null && metroCursore >= a && metroCursore <= b) {
      const x = Math.round(xDi(metroCursore)) + 0.5;
      ctx.strokeStyle = 'rgba(211,84,0,0.8)'; ctx.lineWidth = 1;
      ctx.beginPath(); ctx.moveTo(x, banda('nomi')[0]); ctx.lineTo(x, G.asse); ctx.stroke();
    }
    ctx.restore();
    const frasi = [];
    etichette.nascoste.forEach((n, k) => { if (n > 0) frasi.push(n + ' ' + G.fasce[k].nascoste.replace(/^(\w+) labels/, n === 1 ? '$1 label' : '$1 labels')); });
    avvisi.textContent = frasi.join('; ');
  }

  // ---------------------------------------------------------------- plan

  function livelloPianta(tolleranza) {
    let scelto = PIANTA[0];
    for (const l of PIANTA) if (l.tolleranza <= tolleranza) scelto = l;
    return scelto;
  }

  // The points of a level between metres a and b, with the one before and after.
  function ognuno(livello, a, b, fa) {
    for (const t of livello.tratti) {
      const n = t.m.length;
      if (n === 0 || t.m[n - 1] < a || t.m[0] > b) continue;
      const i0 = Math.max(ultimoNonOltre(n, (j) => t.m[j], a), 0);
      for (let i = i0; i < n; i++) {
        fa(t, i);
        if (t.m[i] > b) break;
      }
    }
  }

  function puntoAlMetro(livello, metro) {
    for (const t of livello.tratti) {
      const n = t.m.length;
      if (n === 0 || metro < t.m[0] || metro > t.m[n - 1]) continue;
      const i = Math.max(ultimoNonOltre(n, (j) => t.m[j], metro), 0);
      const k = Math.min(i + 1, n - 1);
      const f = k === i ? 0 : (metro - t.m[i]) / (t.m[k] - t.m[i]);
      return [t.x[i] + (t.x[k] - t.x[i]) * f, t.y[i] + (t.y[k] - t.y[i]) * f];
    }
    return null;
  }

  let proiezione = null;

  function disegnaPianta() {
    const ctx = telaPianta.getContext('2d');
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    ctx.clearRect(0, 0, WP, HP);
    scritte.pianta = [];
    testo(ctx, 'Pianta (nord in alto)', 8, 15, 11, '#333', true);
    if (PIANTA.length === 0) {
      testo(ctx, 'pianta non disponibile: manca il file del tracciato o non ha punti', WP / 2, HP / 2, 12, '#555', false, 'center');
      proiezione = null;
      return;
    }
    const a = m0, b = m1(), tratto = b - a;
    const grezzo = livelloPianta(tratto / 2000);
    let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
    ognuno(grezzo, a, b, (t, i) => {
      if (t.m[i] < a - tratto * 0.01 || t.m[i] > b + tratto * 0.01) return;
      minX = Math.min(minX, t.x[i]); maxX = Math.max(maxX, t.x[i]);
      minY = Math.min(minY, t.y[i]); maxY = Math.max(maxY, t.y[i]);
    });
    for (const m of [a, b]) {
      const p = puntoAlMetro(grezzo, Math.min(m, FINE));
      if (p) { minX = Math.min(minX, p[0]); maxX = Math.max(maxX, p[0]); minY = Math.min(minY, p[1]); maxY = Math.max(maxY, p[1]); }
    }
    if (!isFinite(minX)) { proiezione = null; return; }
    const lato = Math.max(maxX - minX, maxY - minY, 50);
    const margine = 26;
    const scala = Math.min((WP - 2 * margine) / Math.max(maxX - minX, lato / 20), (HP - 2 * margine) / Math.max(maxY - minY, lato / 20));
    const cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    const px = (x) => WP / 2 + (x - cx) * scala;
    const py = (y) => HP / 2 - (y - cy) * scala;
    const livello = livelloPianta(0.5 / scala);
    const punti = [];
    const linea = (da, fino, colore, spessore) => {
      ctx.strokeStyle = colore; ctx.lineWidth = spessore;
      ctx.beginPath();
      let precedente = null;
      ognuno(livello, da, fino, (t, i) => {
        const x = px(t.x[i]), y = py(t.y[i]);
        if (precedente !== t) { ctx.moveTo(x, y); precedente = t; } else { ctx.lineTo(x, y); }
        if (spessore > 2) punti.push([x, y, t.m[i]]);
      });
      ctx.stroke();
    };
    linea(a - tratto, b + tratto, '#b9b9b9', 1.2);
    for (const s of STAZIONI) {
      if (s.fine < a - tratto || s.inizio > b + tratto) continue;
      ctx.lineCap = 'butt';
      linea(s.inizio, s.fine, C.zona, 7);
    }
    linea(a, Math.min(b, D.lunghezza > 0 ? D.lunghezza : FINE), C.binario, 2.2);
    const segniStazioni = [];
    for (const s of STAZIONI) {
      const p = puntoAlMetro(livello, Math.max(s.posizione, 0));
      if (!p || s.posizione < a - tratto || s.posizione > b + tratto) continue;
      ctx.fillStyle = '#fff'; ctx.strokeStyle = C.stazione; ctx.lineWidth = 1.5;
      ctx.beginPath(); ctx.arc(px(p[0]), py(p[1]), 3.5, 0, 2 * Math.PI); ctx.fill(); ctx.stroke();
      segniStazioni.push({ s, x: px(p[0]), y: py(p[1]) });
    }
    nomiPianta(ctx, segniStazioni);
    const segnali = visibili(SEGNALI, a, b);
    if (segnali.length <= 120) {
      ctx.fillStyle = C.segnale;
      for (const s of segnali) {
        const p = puntoAlMetro(livello, s.metro);
        if (p) ctx.fillRect(px(p[0]) - 2, py(p[1]) - 2, 4, 4);
      }
    }
    if (D.lunghezza > 0) {
      const p = puntoAlMetro(livello, D.lunghezza);
      if (p) {
        ctx.fillStyle = C.fine; ctx.beginPath(); ctx.arc(px(p[0]), py(p[1]), 5, 0, 2 * Math.PI); ctx.fill();
        testo(ctx, 'fine', px(p[0]) + 8, py(p[1]) + 4, 11, C.fine);
      }
    }
    if (metroCursore !== null) {
      const p = puntoAlMetro(livello, metroCursore);
      if (p) {
        ctx.strokeStyle = C.fine; ctx.lineWidth = 2;
        ctx.beginPath(); ctx.arc(px(p[0]), py(p[1]), 7, 0, 2 * Math.PI); ctx.stroke();
      }
    }
    // North and a scale bar.
    ctx.fillStyle = '#333';
    ctx.beginPath(); ctx.moveTo(WP - 20, 10); ctx.lineTo(WP - 26, 28); ctx.lineTo(WP - 20, 23); ctx.lineTo(WP - 14, 28); ctx.closePath(); ctx.fill();
    testo(ctx, 'N', WP - 20, 42, 11, '#333', true, 'center');
    const metri = passoTondo(lato / 4, 1) / 2 >= 1 ? passoTondo(lato / 5, 1) : 1;
    const lunga = metri * scala;
    ctx.strokeStyle = '#333'; ctx.lineWidth = 1.5;
    ctx.beginPath(); ctx.moveTo(10, HP - 10); ctx.lineTo(10 + lunga, HP - 10); ctx.stroke();
    testo(ctx, metri >= 1000 ? metri / 1000 + ' km' : metri + ' m', 14 + lunga, HP - 6, 10, '#555');
    proiezione = { punti };
  }

  // The stations' names beside their marks, as the plot's plan places them:
  // each takes the first place around its mark (right, left, above, below)
  // that stays inside the box and clear of the marks, the box's writing and
  // the names placed before; a name with no such place is left out.
  function nomiPianta(ctx, segni) {
    ctx.font = '11px "DejaVu Sans", Arial, sans-serif';
    const occupati = segni.map((m) => [m.x - 5, m.y - 5, m.x + 5, m.y + 5]);
    occupati.push([0, 0, 170, 22], [WP - 34, 0, WP, 48], [0, HP - 22, 140, HP]);
    const libero = (q) => q[0] >= 2 && q[1] >= 2 && q[2] <= WP - 2 && q[3] <= HP - 2 &&
      occupati.every((o) => q[2] <= o[0] || o[2] <= q[0] || q[3] <= o[1] || o[3] <= q[1]);
    let nascosti = 0;
    for (const { s, x, y } of segni) {
      const l = ctx.measureText(s.nome).width;
      const posti = [
        [x + 7, y + 4, 'left', [x + 6, y - 7, x + 8 + l, y + 5]],
        [x - 7, y + 4, 'right', [x - 8 - l, y - 7, x - 6, y + 5]],
        [x, y - 8, 'center', [x - l / 2 - 1, y - 19, x + l / 2 + 1, y - 6]],
        [x, y + 16, 'center', [x - l / 2 - 1, y + 5, x + l / 2 + 1, y + 18]],
      ];
      const posto = posti.find((p) => libero(p[3]));
      if (!posto) { nascosti++; continue; }
      occupati.push(posto[3]);
      testo(ctx, s.nome, posto[0], posto[1], 11, C.stazione, false, posto[2], true);
    }
    return nascosti;
  }

  // The legend: every symbol and band the two views draw, with its word.
  function legenda() {
    const voci = [
      ['zona di stazione', `<rect x="1" y="2" width="10" height="8" fill="${C.zona}" stroke="${C.stazione}"/>`],
      ['segnale', `<circle cx="6" cy="6" r="3" fill="${C.segnale}" stroke="#333" stroke-width="0.6"/>`],
      ['cartello', `<rect x="3" y="3" width="6" height="6" fill="${C.cartello}"/>`],
      ['cartello di velocit\u00e0', `<circle cx="6" cy="6" r="3.5" fill="#fff" stroke="${C.indicatore}" stroke-width="1.4"/>`],
      ['avviso di rallentamento', `<path d="M6 1 L1.5 10 L10.5 10 Z" fill="${C.avviso}" stroke="#333" stroke-width="0.6"/>`],
      ['rallentamento', `<rect x="1" y="3" width="10" height="7" fill="${C.rallentamento}" stroke="${C.bordo_rallentamento}" stroke-width="0.6"/>`],
      ['punto codice', `<path d="M6 1 L10 6 L6 11 L2 6 Z" fill="${C.punto_codice}"/>`],
      ['montagna', `<rect x="1" y="2" width="10" height="8" fill="${C.montagna}"/>`],
      ['fine percorso', `<rect x="5" y="1" width="2" height="10" fill="${C.fine}"/>`],
    ];
    const l = document.getElementById('legenda');
    l.innerHTML = voci.map(([nome, segno]) =>
      `<span class="voce-legenda"><svg width="12" height="12" viewBox="0 0 12 12">${segno}</svg>${nome}</span>`).join('');
  }

  // ---------------------------------------------------------------- tooltip

  // The object whose label lies under the pointer, if any.
  function oggettoDellEtichetta(x, y) {
    for (const { e, f, x: xe, y: ye } of etichetteVisibili(m0, m1()).mostrate) {
      if (x < xe || x > xe + e.larghezza || y < ye - f.dimensione_testo || y > ye + 2) continue;
      switch (f.nome) {
        case 'stazioni': return { stazione: STAZIONI[e.oggetto] };
        case 'segnali': return { cella: SEGNALI[e.oggetto].cella };
        case 'cartelli': return { cella: CARTELLI.concat(INDICATORI)[e.oggetto].cella };
        case 'rallentamenti': return { cella: RALLENTAMENTI[e.oggetto].cella };
        case 'montagne': return { cella: Math.floor(MONTAGNE[e.oggetto].da / MPC) };
        default: return null;
      }
    }
    return null;
  }

  function oggettoIn(x, y) {
    const etichetta = oggettoDellEtichetta(x, y);
    if (etichetta) return etichetta;
    const m = metroDi(x);
    const vicino = (oggetti) => {
      let migliore = null, d = 7;
      for (const o of visibili(oggetti, m - 8 * mpp, m + 8 * mpp)) {
        const dd = Math.abs(xDi(o.metro) - x);
        if (dd < d) { d = dd; migliore = o; }
      }
      return migliore;
    };
    const dentro = (nome) => { const f = banda(nome); return y >= f[0] - 2 && y <= f[1] + 2; };
    if (dentro('nomi') || dentro('zone')) {
      for (const s of STAZIONI) {
        if ((m >= s.inizio && m <= s.fine) || Math.abs(xDi(s.posizione) - x) < 5) return { stazione: s };
      }
    }
    if (dentro('segnali')) { const o = vicino(SEGNALI); if (o) return { cella: o.cella }; }
    if (dentro('cartelli')) { const o = vicino(CARTELLI.concat(INDICATORI).sort((p, q) => p.metro - q.metro)); if (o) return { cella: o.cella }; }
    if (dentro('rallentamenti')) {
      const o = vicino(AVVISI); if (o) return { cella: o.cella };
      for (const r of RALLENTAMENTI) if (m >= r.inizio && m <= r.fine) return { cella: r.cella };
    }
    if (dentro('punti')) { const o = vicino(PUNTI.concat(ABBATTIMENTI).sort((p, q) => p.metro - q.metro)); if (o) return { cella: o.cella }; }
    const c = Math.floor(m / MPC);
    return c >= 0 && c < D.celle ? { cella: c } : null;
  }

  function righeJson(o, escludi) {
    const righe = [];
    for (const k of Object.keys(o)) {
      if (escludi && escludi.includes(k)) continue;
      righe.push(k + ': ' + JSON.stringify(o[k]));
    }
    return righe.join('\n');
  }

  function html(t) { return String(t).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;'); }

  function sorgente(dove) {
    if (!dove) return '';
    return dove.split(', ').map((d) => '<span class="sorgente">' + html(d) + '  ' + html(D.testi[d] || '') + '</span>').join('\n');
  }

  function testoSuggerimento(o) {
    if (o.stazione) {
      const r = D.righe[String(o.stazione.riga)] || {};
      let t = '<b>' + html(o.stazione.nome) + ' \u2014 riga ' + o.stazione.riga + '</b>\n' + html(righeJson(r, ['sorgente']));
      if (r.sorgente) t += '\n' + sorgente(r.sorgente);
      if (o.stazione.fermata >= 0) t += '\n\n' + testoCella(o.stazione.fermata);
      return t;
    }
    return testoCella(o.cella);
  }

  function testoCella(c) {
    const d = dumpCella(c);
    const fonte = d.sorgente || {};
    delete d.sorgente;
    const titolo = (d.evento ? d.oggetto + ' \u2014 ' : '') + 'cella ' + d.cella + ' (' + d.metri[0] + '\u2013' + d.metri[1] + ' m)';
    let t = '<b>' + html(titolo) + '</b>\n' + html(righeJson(d));
    for (const k of ['oggetto', 'pendenza', 'velocita', 'aderenza', 'montagna', 'curva']) {
      if (fonte[k]) t += '\n' + html(k) + ': ' + sorgente(fonte[k]);
    }
    return t;
  }

  function mostraSuggerimento(x, y) {
    const o = oggettoIn(x, y);
    if (!o) { suggerimento.hidden = true; return; }
    suggerimento.innerHTML = testoSuggerimento(o);
    suggerimento.hidden = false;
    const r = tela.getBoundingClientRect();
    const sx = r.left + x + 14, sy = r.top + y + 14;
    const w = suggerimento.offsetWidth, h = suggerimento.offsetHeight;
    suggerimento.style.left = Math.max(4, Math.min(sx, window.innerWidth - w - 4)) + 'px';
    suggerimento.style.top = Math.max(4, sy + h > window.innerHeight ? r.top + y - h - 10 : sy) + 'px';
  }

  // ---------------------------------------------------------------- interaction

  function disegna() {
    limita();
    disegnaPianta();
    disegnaProfilo();
    const km = metroCursore !== null ? ' \u2014 km ' + (metroCursore / 1000).toFixed(3) : '';
    posizione.textContent = 'km ' + (m0 / 1000).toFixed(2) + '\u2013' + (m1() / 1000).toFixed(2) + km;
    if (mouse) mostraSuggerimento(mouse.x, mouse.y);
  }

  function zoomaIn(m, fattore, x) {
    const nuovo = Math.min(Math.max(mpp * fattore, MPP_MIN), mppMassimo());
    m0 = m - (x - X0) * nuovo;
    mpp = nuovo;
    limita();
    ridisegna();
  }

  // Moves smoothly to show metres a..b.
  function vaiA(a, b, durata) {
    const da = { m0, mpp };
    const mppA = Math.min(Math.max((b - a) / larghezzaAsse(), MPP_MIN), mppMassimo());
    const centro = (a + b) / 2;
    const m0A = centro - larghezzaAsse() * mppA / 2;
    const inizio = performance.now();
    if (animazione) cancelAnimationFrame(animazione);
    const passo = (ora) => {
      const t = durata > 0 ? Math.min((ora - inizio) / durata, 1) : 1;
      const s = t * t * (3 - 2 * t);
      mpp = Math.exp(Math.log(da.mpp) + (Math.log(mppA) - Math.log(da.mpp)) * s);
      const centroOra = da.m0 + larghezzaAsse() * da.mpp / 2 + (centro - (da.m0 + larghezzaAsse() * da.mpp / 2)) * s;
      m0 = centroOra - larghezzaAsse() * mpp / 2;
      if (t >= 1) { m0 = m0A; mpp = mppA; animazione = null; } else { animazione = requestAnimationFrame(passo); }
      disegna();
    };
    animazione = requestAnimationFrame(passo);
  }

  function zoomaCentro(fattore) {
    const centro = m0 + larghezzaAsse() * mpp / 2;
    const meta = larghezzaAsse() * mpp * fattore / 2;
    vaiA(centro - meta, centro + meta, 180);
  }

  const puntatori = new Map();
  let trascinamento = null;
  let pizzico = null;

  tela.addEventListener('wheel', (e) => {
    e.preventDefault();
    const x = e.offsetX;
    const fattore = Math.exp((e.deltaMode === 1 ? e.deltaY * 16 : e.deltaY) * 0.0015);
    zoomaIn(metroDi(x), fattore, x);
  }, { passive: false });

  tela.addEventListener('pointerdown', (e) => {
    tela.setPointerCapture(e.pointerId);
    puntatori.set(e.pointerId, { x: e.offsetX, y: e.offsetY });
    if (puntatori.size === 1) {
      trascinamento = { x: e.offsetX, m0 };
      tela.classList.add('trascina');
    } else if (puntatori.size === 2) {
      const [p, q] = [...puntatori.values()];
      pizzico = { distanza: Math.max(Math.abs(p.x - q.x), 10), mpp, centro: metroDi((p.x + q.x) / 2), x: (p.x + q.x) / 2 };
      trascinamento = null;
    }
  });
  tela.addEventListener('pointermove', (e) => {
    if (puntatori.has(e.pointerId)) puntatori.set(e.pointerId, { x: e.offsetX, y: e.offsetY });
    if (pizzico && puntatori.size === 2) {
      const [p, q] = [...puntatori.values()];
      const distanza = Math.max(Math.abs(p.x - q.x), 10);
      mpp = pizzico.mpp * pizzico.distanza / distanza;
      limita();
      m0 = pizzico.centro - ((p.x + q.x) / 2 - X0) * mpp;
      ridisegna();
      return;
    }
    if (trascinamento) {
      m0 = trascinamento.m0 - (e.offsetX - trascinamento.x) * mpp;
      ridisegna();
    }
    mouse = { x: e.offsetX, y: e.offsetY };
    metroCursore = e.offsetX >= X0 ? Math.min(Math.max(metroDi(e.offsetX), 0), FINE) : null;
    ridisegna();
  });
  const fine = (e) => {
    puntatori.delete(e.pointerId);
    if (puntatori.size < 2) pizzico = null;
    if (puntatori.size === 0) { trascinamento = null; tela.classList.remove('trascina'); }
  };
  tela.addEventListener('pointerup', fine);
  tela.addEventListener('pointercancel', fine);
  tela.addEventListener('pointerleave', () => { mouse = null; suggerimento.hidden = true; metroCursore = null; ridisegna(); });

  telaPianta.addEventListener('pointermove', (e) => {
    if (!proiezione || proiezione.punti.length === 0) return;
    let migliore = null, d = 400;
    for (const p of proiezione.punti) {
      const dd = (p[0] - e.offsetX) ** 2 + (p[1] - e.offsetY) ** 2;
      if (dd < d) { d = dd; migliore = p; }
    }
    metroCursore = migliore ? migliore[2] : null;
    ridisegna();
  });
  telaPianta.addEventListener('pointerleave', () => { metroCursore = null; ridisegna(); });

  document.getElementById('ingrandisci').addEventListener('click', () => zoomaCentro(0.5));
  document.getElementById('riduci').addEventListener('click', () => zoomaCentro(2));
  document.getElementById('tutto').addEventListener('click', () => vaiA(0, FINE, 250));
  window.addEventListener('keydown', (e) => {
    if (e.key === '+' || e.key === '=') zoomaCentro(0.5);
    else if (e.key === '-') zoomaCentro(2);
    else if (e.key === '0') vaiA(0, FINE, 250);
    else if (e.key === 'ArrowLeft') { m0 -= larghezzaAsse() * mpp * 0.2; ridisegna(); }
    else if (e.key === 'ArrowRight') { m0 += larghezzaAsse() * mpp * 0.2; ridisegna(); }
  });
  window.addEventListener('resize', () => { const centro = m0 + larghezzaAsse() * mpp / 2; misura(); m0 = centro - larghezzaAsse() * mpp / 2; ridisegna(); });

  // ---------------------------------------------------------------- start

  document.getElementById('titolo').textContent = D.percorso + ' \u2014 treno ' + D.treno + (D.lunghezza > 0 ? ' \u2014 ' + D.lunghezza + ' m' : '');
  if (D.esito) { const e = document.getElementById('esito'); e.textContent = D.esito; e.hidden = false; }
  misura();
  mpp = mppMassimo();
  m0 = 0;
  legenda();
  disegna();
  const primoDisegno = performance.now();
  document.body.dataset.primoDisegno = primoDisegno.toFixed(1);

  // For scripts that drive the page (the browser test).
  window.vista = {
    primoDisegno,
    mostra(a, b) { if (animazione) cancelAnimationFrame(animazione); animazione = null; mpp = (b - a) / larghezzaAsse(); m0 = a; limita(); disegna(); },
    xDi, metroDi,
    y(nome) { const f = banda(nome); return (f[0] + f[1]) / 2; },
    segnali: SEGNALI,
    stazioni: STAZIONI.map((s) => s.nome),
    scale: G.scale,
    scritte() { return { profilo: scritte.profilo.slice(), pianta: scritte.pianta.slice() }; },
    vista() { return { m0, m1: m1(), mpp, livello: livelloEtichette() }; },
  };
}());
