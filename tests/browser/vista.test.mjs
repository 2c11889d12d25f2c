// The viewer of `scenario-tool view` in a real browser: Debian's chromium,
// headless, driven through its DevTools protocol by puppeteer-core. For the
// embedded scenario and for the largest route (both compiled in memory from
// their texts) it opens the page, checks that nothing was logged as an
// error, measures the time from opening to the first drawing, zooms to a
// stretch, points at a signal and reads its tooltip, and keeps screenshots.
//
//   node vista.test.mjs SCENARIO_TOOL GENERA_PERCORSO_MASSIMO OUTDIR
//
// Ends with "N passed, N failed" and status 1 when anything failed.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [strumento, generatore, cartellaUscita] = process.argv.slice(2);
const uscita = cartellaUscita && path.resolve(cartellaUscita);
const CHROMIUM = '/usr/bin/chromium';
if (!strumento || !uscita) {
  console.error('usage: node vista.test.mjs SCENARIO_TOOL GENERA_PERCORSO_MASSIMO OUTDIR');
  process.exit(2);
}
if (!existsSync(CHROMIUM)) {
  console.error(`${CHROMIUM} is missing: install Debian's chromium (.ci/dipendenze.sh does)`);
  process.exit(1);
}
mkdirSync(uscita, { recursive: true });

let passati = 0;
let falliti = 0;
function verifica(condizione, descrizione) {
  if (condizione) {
    passati++;
    console.log(`ok: ${descrizione}`);
  } else {
    falliti++;
    console.log(`FAILED: ${descrizione}`);
  }
}

const lavoro = mkdtempSync(path.join(tmpdir(), 'vista-'));

// The two texts of a route in `cartella`, and the page of scenario-tool view.
function pagina(nome, scrivi) {
  const cartella = path.join(lavoro, nome);
  mkdirSync(cartella);
  scrivi(cartella);
  const linea = path.join(cartella, 'Ulmo_Tarvignano_Rovesco_linea.txt');
  const treno = path.join(cartella, 'Ulmo_Tarvignano_Rovesco_4816-.txt');
  const html = path.join(uscita, `${nome}.html`);
  execFileSync(strumento, ['view', linea, treno, '-o', html], { stdio: 'inherit' });
  return html;
}

const pagine = [
  { nome: 'incorporato', html: pagina('incorporato', (c) => execFileSync(strumento, ['export-sources', c])) },
];
if (generatore && existsSync(generatore)) {
  pagine.push({ nome: 'massimo', html: pagina('massimo', (c) => execFileSync(generatore, [c])) });
} else {
  verifica(false, `the largest route's generator is there (${generatore})`);
}

const browser = await puppeteer.launch({
  executablePath: CHROMIUM,
  headless: true,
  userDataDir: path.join(lavoro, 'profilo'),
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  defaultViewport: { width: 1400, height: 900 },
});

try {
  for (const p of pagine) {
    const page = await browser.newPage();
    const errori = [];
    const richieste = [];
    page.on('console', (m) => { if (m.type() === 'error') errori.push(m.text()); });
    page.on('pageerror', (e) => errori.push(String(e)));
    page.on('request', (r) => { if (!r.url().startsWith('file:') && !r.url().startsWith('data:')) richieste.push(r.url()); });
    const megabyte = statSync(p.html).size / 1e6;
    await page.goto('file://' + p.html, { waitUntil: 'load' });
    await page.waitForFunction(() => window.vista !== undefined, { timeout: 20000 });
    const primo = await page.evaluate(() => window.vista.primoDisegno);
    console.log(`${p.nome}: ${megabyte.toFixed(2)} MB, first drawing ${primo.toFixed(0)} ms after opening`);
    await page.screenshot({ path: path.join(uscita, `${p.nome}.png`) });
    verifica(errori.length === 0, `${p.nome}: no console error${errori.length ? ': ' + errori.join(' | ') : ''}`);
    verifica(richieste.length === 0, `${p.nome}: no request outside the file${richieste.length ? ': ' + richieste.join(' ') : ''}`);

    // The legend names the marks; the plan names its stations.
    const legenda = await page.$$eval('#legenda .voce-legenda', (v) => v.map((e) => e.textContent));
    verifica(['zona di stazione', 'segnale', 'cartello', 'rallentamento', 'punto codice', 'montagna'].every((v) => legenda.includes(v)), `${p.nome}: the legend names the marks (${legenda.join(', ')})`);
    const nomi = await page.evaluate(() => window.vista.stazioni);
    const inPianta = await page.evaluate(() => window.vista.scritte().pianta);
    verifica(nomi.some((n) => inPianta.includes(n)), `${p.nome}: the plan names a station (${inPianta.filter((t) => nomi.includes(t)).slice(0, 3).join(', ')})`);

    // Zoom to a stretch around the third signal and point at it.
    const segnale = await page.evaluate(() => window.vista.segnali[Math.min(2, window.vista.segnali.length - 1)]);
    await page.evaluate((m) => window.vista.mostra(m - 1500, m + 1500), segnale.metro);
    const vista = await page.evaluate(() => window.vista.vista());
    verifica(Math.abs(vista.m1 - vista.m0 - 3000) < 1, `${p.nome}: zoomed to 3 km around the signal at ${segnale.metro} m (${vista.m0.toFixed(0)}..${vista.m1.toFixed(0)})`);
    // The axes follow the zoom: kilometres within the stretch, and the value
    // panels keep their values beside them.
    const scritte = await page.evaluate(() => window.vista.scritte().profilo);
    const km = scritte.filter((t) => /^\d+\.\d+$/.test(t)).map(Number).filter((v) => v * 1000 >= vista.m0 && v * 1000 <= vista.m1);
    verifica(km.length >= 5, `${p.nome}: the axis shows the kilometres of the stretch after zooming (${km.slice(0, 3).join(', ')}...)`);
    const scale = await page.evaluate(() => window.vista.scale);
    verifica(scale.every((s) => scritte.includes(String(Math.round(s[1])))), `${p.nome}: the speed, gradient and adhesion panels show their values (${scale.map((s) => s[1]).join(', ')})`);
    const riquadro = await (await page.$('#profilo')).boundingBox();
    const punto = await page.evaluate((m) => ({ x: window.vista.xDi(m), y: window.vista.y('segnali') }), segnale.metro);
    await page.mouse.move(riquadro.x + punto.x, riquadro.y + punto.y + 4);
    await page.waitForFunction(() => !document.getElementById('suggerimento').hidden, { timeout: 5000 });
    const suggerimento = await page.$eval('#suggerimento', (e) => e.textContent);
    verifica(suggerimento.includes(`segnale \u2014 cella ${segnale.cella} `), `${p.nome}: the tooltip names the signal's cell ${segnale.cella}`);
    verifica(/"s":\[\d,\d,\d\]/.test(suggerimento.replace(/\s/g, '')) || suggerimento.includes('"segnale"'), `${p.nome}: the tooltip shows what dump says of the signal`);
    verifica(/Ulmo_Tarvignano_Rovesco_4816-\.txt:\d+\s+segnale/.test(suggerimento), `${p.nome}: the tooltip gives the train text's line of the signal`);
    await page.screenshot({ path: path.join(uscita, `${p.nome}-zoom.png`) });
    verifica(errori.length === 0, `${p.nome}: still no console error after zooming and pointing${errori.length ? ': ' + errori.join(' | ') : ''}`);
    await page.close();
  }
} finally {
  await browser.close();
  rmSync(lavoro, { recursive: true, force: true });
}
console.log(`screenshots in ${uscita}`);
console.log(`${passati} passed, ${falliti} failed`);
process.exit(falliti === 0 ? 0 : 1);
