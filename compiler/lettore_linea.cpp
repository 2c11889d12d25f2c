// The line half of memorizza_dati: reads the line text once, field by field,
// sizes the cell strip, stores the general values in rows 81..86, lays the
// gradients, "montagna" stretches and boards into the cells, builds the plan
// from the curve rows, and deletes the text.
#include "compiler/lettore_linea.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "base/codifica.h"
#include "compiler/flusso_campi.h"
#include "compiler/lettori.h"
#include "compiler/righe.h"
#include "compiler/tracciato.h"

namespace scenario {
namespace {

constexpr int32_t kMargineFine = 100;  // a row position + 100 must stay within the strip
constexpr int32_t kVicinanzaMontagne = 150;
constexpr int32_t kTipoMontagneVicine = 3;
constexpr int32_t kMarcaMontagna = 10;  // a type above this asks for marks
constexpr int32_t kPassoMarche = 4;
constexpr int32_t kLimiteTracciato = 1'000'000;

constexpr std::array<double, 6> kCurvature = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

int32_t arrotonda_32(double x) { return static_cast<int32_t>(arrotonda_pari(x)); }

// The gradient byte; the sum gradient + 100 must stay within 32 bits.
uint8_t byte_pendenza_letta(int32_t pendenza) {
  entro_32_bit(int64_t{pendenza} + 100, "gradient + 100");
  return byte_pendenza(pendenza);
}

// One rank of a speed board: first-set speed * 20 + second-set speed / 5,
// rounded; it must fit 16 bits.
int16_t velocita_composta(int32_t primo, int32_t secondo) {
  const int32_t per_venti = entro_32_bit(int64_t{primo} * 20, "board speed * 20");
  const double valore = arrotonda_pari(static_cast<double>(secondo) / 5.0 + per_venti);
  if (valore < std::numeric_limits<int16_t>::min() ||
      valore > std::numeric_limits<int16_t>::max()) {
    throw errore_lettura("a packed board speed does not fit 16 bits", 0);
  }
  return static_cast<int16_t>(valore);
}

// The chainage rows as read, before they are put in order.
struct progressiva {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
};

progressiva da_riga(const voce& v) { return {v.inizio, v.fine, v.posizione}; }

void in_riga(voce& v, const progressiva& p) {
  v.inizio = p.inizio;
  v.fine = p.fine;
  v.posizione = p.posizione;
}

// Beginnings not all zero: descending order of beginning. Only a strictly
// greatest row may lead; of the other two, ties go to "uno" before "due"
// before "tre".
std::array<progressiva, 3> ordina_per_inizio(const progressiva& tre, const progressiva& due,
                                             const progressiva& uno) {
  auto supera = [](const progressiva& a, const progressiva& b, const progressiva& c) {
    return a.inizio > b.inizio && a.inizio > c.inizio;
  };
  // Later rows win ties for slot 82, so they come first here.
  auto coppia = [](const progressiva& prima, const progressiva& dopo) {
    return dopo.inizio > prima.inizio ? std::array{dopo, prima} : std::array{prima, dopo};
  };
  if (supera(tre, due, uno)) {
    auto [b, c] = coppia(uno, due);
    return {tre, b, c};
  }
  if (supera(due, tre, uno)) {
    auto [b, c] = coppia(uno, tre);
    return {due, b, c};
  }
  if (supera(uno, tre, due)) {
    auto [b, c] = coppia(due, tre);
    return {uno, b, c};
  }
  return {};
}

// Beginnings summing to 0: all rows cleared, unless a positive offset names
// the row to lead; the last such test wins.
std::array<progressiva, 3> ordina_per_distanza(const progressiva& tre, const progressiva& due,
                                               const progressiva& uno) {
  std::array<progressiva, 3> esito{};
  if (tre.fine > 0) esito = {tre, due, uno};
  if (due.fine > 0) esito = {due, tre, uno};
  if (uno.fine > 0) esito = {uno, due, tre};
  return esito;
}

class lettore_linea {
 public:
  lettore_linea(modello& m, testo_sorgente& linea, valori_lettura& valori, std::string_view testo)
      : m_(m), linea_(linea), v_(valori), f_(testo), r_(valori.osservatore) {
    f_.osserva(valori.osservatore);
    r_.testo(testo_letto::linea);
  }

  esito_linea leggi();

 private:
  // `da_parte`: the row failed and is set aside, the reading goes on (a
  // reading that sets failing rows aside, memorizza_dati).
  enum class esito_riga { avanti, fine_righe, fermati, da_parte };

  bool trova_generale();
  bool sezione_generale();
  bool righe_generali(const std::string& riga);
  bool passa_e_racconta(tipo_riga tipo, std::string_view riga, std::string_view minuscolo) const;
  bool leggi_lunghezza();
  void leggi_progressiva(int riga);
  bool leggi_ripetizione(const std::string& riga);
  void prepara_righe();
  esito_riga ciclo_righe();
  esito_riga riga_dopo_generale(const std::string& riga, const std::string& chiave);
  esito_riga riga_pendenza();
  esito_riga riga_curva(const std::string& chiave);
  esito_riga riga_montagna();
  esito_riga riga_indicatori();
  esito_riga riga_cartello();
  void completa();

  bool oltre_fine(int32_t posizione);
  // What a row whose position check failed leaves the loop to do.
  esito_riga oltre_esito() const {
    return v_.risincronizza ? esito_riga::da_parte : esito_riga::fine_righe;
  }
  esito_riga fuori_striscia(causa_codice causa);
  bool in_striscia(int32_t n) const { return n >= 0 && n <= m_.ultima_cella; }
  void riempi_pendenza(int32_t fino_a);
  bool avanza_tracciato(int32_t ultimo, int32_t fine, double kappa);
  void chiudi_ed_elimina() { linea_.elimina(); }
  esito_linea ferma(const causa_codice& causa);
  esito_riga ferma_righe(const causa_codice& causa);
  esito_riga metti_da_parte(const causa_codice& causa);
  template <typename Leggi>
  esito_riga risincronizzando(const std::string& riga, Leggi&& leggi);

  int32_t numero() { return f_.leggi_int32(); }
  int16_t meta_bassa() { return static_cast<int16_t>(static_cast<uint32_t>(numero()) & 0xFFFFU); }

  modello& m_;
  testo_sorgente& linea_;
  valori_lettura& v_;
  flusso_campi f_;
  racconto r_;
};

esito_linea lettore_linea::ferma(const causa_codice& causa) {
  chiudi_ed_elimina();
  m_.codice_errore = causa.codice;
  if (causa.posizione) m_.posizione_errore = *causa.posizione;
  r_.codice(causa);
  return esito_linea::fermati;
}

// The line half's failure exit: the text goes, the code stays, and the
// train text is not read.
lettore_linea::esito_riga lettore_linea::ferma_righe(const causa_codice& causa) {
  if (v_.risincronizza) return metti_da_parte(causa);
  ferma(causa);
  return esito_riga::fermati;
}

// A reading that sets failing rows aside: the code is told, none stays on
// record, and the reading goes on at the next keyword field.
lettore_linea::esito_riga lettore_linea::metti_da_parte(const causa_codice& causa) {
  m_.codice_errore = 0;
  r_.codice(causa);
  // A check that failed before the row's last value: the rest of its line goes too.
  f_.riprendi_dopo_riga(f_.posizione());
  return esito_riga::da_parte;
}

// One row read by `leggi`; a reading that sets failing rows aside tells a
// read failure in it and goes on at the next line. The route length's row
// is no row to set aside: without it there are no cells.
template <typename Leggi>
lettore_linea::esito_riga lettore_linea::risincronizzando(const std::string& riga, Leggi&& leggi) {
  if (!v_.risincronizza) return leggi();
  try {
    return leggi();
  } catch (const errore_lettura& e) {
    if (passa(tipo_riga::lunghezza, riga, minuscolo_1252(riga))) throw;
    r_.fallita(e.posizione(), e.what());
    f_.riprendi_dopo_riga(e.posizione() > 0 ? e.posizione() : f_.inizio_campo());
    // A gradient the next row could not fill with stays out of the cells.
    if (int64_t{v_.pendenza_prec} + 100 > std::numeric_limits<int32_t>::max()) {
      v_.pendenza_prec = 0;
    }
    return esito_riga::da_parte;
  }
}

esito_linea lettore_linea::leggi() {
  if (!trova_generale()) return ferma(causa_codice(102));
  if (!sezione_generale()) return esito_linea::fermati;
  progressive_ordina(m_);
  prepara_righe();
  if (ciclo_righe() == esito_riga::fermati) return esito_linea::fermati;
  completa();
  return esito_linea::prosegui;
}

// Skips every field up to the first that holds "[generale]" in any case.
// False when the text ends first, the matching field itself included.
bool lettore_linea::trova_generale() {
  while (true) {
    const std::string riga = f_.leggi_testo();
    if (f_.eof()) return false;
    if (contiene_senza_maiuscole(riga, "[generale]")) return true;
  }
}

bool fine_sezione_generale(std::string_view riga) {
  if (!contiene(riga, "[") || !contiene(riga, "]")) return false;
  const std::size_t primo = riga.find_first_not_of(" \t");
  return primo == std::string_view::npos || riga[primo] != '-';
}

// The general rows, up to the first bracketed field. False when a check
// stopped the line half.
bool lettore_linea::sezione_generale() {
  while (!f_.eof()) {
    r_.inizio_chiave();
    std::string riga = f_.leggi_testo();
    if (f_.eof()) break;
    for (int n = 0; n < kCommentiGenerale; ++n) {
      if (contiene(riga, "-")) riga = f_.leggi_testo();
    }
    r_.chiave();
    const esito_riga esito = risincronizzando(
        riga, [&] { return righe_generali(riga) ? esito_riga::avanti : esito_riga::fermati; });
    if (esito == esito_riga::fermati) return false;
    if (fine_sezione_generale(riga)) {
      r_.fine_generale();
      break;
    }
  }
  return true;
}

// A keyword test from the table of row kinds; a field that passes is told.
bool lettore_linea::passa_e_racconta(tipo_riga tipo, std::string_view riga,
                                     std::string_view minuscolo) const {
  if (!passa(tipo, riga, minuscolo)) return false;
  r_.riga(tipo);
  return true;
}

// Every general test on one keyword field, in order; each that passes reads
// its values at once.
bool lettore_linea::righe_generali(const std::string& riga) {
  const std::string minuscolo = minuscolo_1252(riga);
  auto passa_qui = [&](tipo_riga tipo) { return passa_e_racconta(tipo, riga, minuscolo); };
  if (passa_qui(tipo_riga::lunghezza) && !leggi_lunghezza()) return false;
  if (passa_qui(tipo_riga::progressiva_tre)) leggi_progressiva(kRigaProgressivaTre);
  if (passa_qui(tipo_riga::progressiva_due)) leggi_progressiva(kRigaProgressivaDue);
  if (passa_qui(tipo_riga::progressiva_uno)) leggi_progressiva(kRigaProgressivaUno);
  if (passa_qui(tipo_riga::sfondo_uno)) m_.riga(kRigaDatiPercorso).inizio = numero();
  if (passa_qui(tipo_riga::sfondo_due)) m_.riga(kRigaDatiPercorso).posizione = numero();
  if (passa_qui(tipo_riga::sfondo_tre)) m_.riga(kRigaDatiPercorso).fine = numero();
  if (passa_qui(tipo_riga::ripetizione)) return leggi_ripetizione(riga);
  return true;
}

bool lettore_linea::leggi_lunghezza() {
  const int32_t lunghezza = numero();
  m_.riga(kRigaDatiGenerali).fine = lunghezza;
  if (lunghezza > kLunghezzaMassima) {
    ferma(causa_codice(1).del_valore(0));
    return false;
  }
  if (ultima_cella_per(lunghezza) < 1) {
    throw errore_lettura(
        "the route length " + std::to_string(lunghezza) + " leaves no cell beyond cell 0",
        f_.inizio_campo());
  }
  dimensiona(m_, lunghezza);
  return true;
}

void lettore_linea::leggi_progressiva(int riga) {
  voce& v = m_.riga(riga);
  v.inizio = numero();
  v.fine = numero();
  v.posizione = numero();
}

bool lettore_linea::leggi_ripetizione(const std::string& riga) {
  voce& v = m_.riga(kRigaDatiTreno);
  v.inizio = numero();
  v.fine = numero();
  if (v.inizio % kMetriCella != 0)
    return ferma_righe(causa_codice(3).del_valore(0)) != esito_riga::fermati;
  if (v.fine % kMetriCella != 0)
    return ferma_righe(causa_codice(4).del_valore(1)) != esito_riga::fermati;
  if (contiene(riga, "4")) {
    v.posizione = 4;
  } else if (contiene(riga, "9")) {
    v.posizione = 9;
  } else {
    return ferma_righe(causa_codice(5)) != esito_riga::fermati;
  }
  if (v.fine == 0) v.posizione = 0;
  return true;
}

void lettore_linea::prepara_righe() {
  // Every row after the general section needs the cell strip, and so does
  // the gradient fill that ends the line half: without a length row the read
  // cannot go on.
  if (!m_.ha_celle()) {
    throw errore_lettura("no \"lunghezza percorso\" row before the end of the general section",
                         f_.posizione());
  }
  m_.n_montagne = 0;
  v_.voce_cartello = kRigaPrimoCartello;
  v_.indice_pendenza = 0;
  v_.indice_tracciato = 2;
  if (m_.crea_tracciato != 0) imposta_origine(m_);
}

lettore_linea::esito_riga lettore_linea::ciclo_righe() {
  while (!f_.eof()) {
    r_.inizio_chiave();
    std::string riga = f_.leggi_testo();
    if (f_.eof()) break;
    for (int n = 0; n < kCommentiRighe; ++n) {
      if (!contiene(riga, "-")) break;
      riga = f_.leggi_testo();
      if (f_.eof()) return esito_riga::avanti;
    }
    r_.chiave();
    const esito_riga esito =
        risincronizzando(riga, [&] { return riga_dopo_generale(riga, minuscolo_1252(riga)); });
    if (esito != esito_riga::avanti && esito != esito_riga::da_parte) return esito;
  }
  return esito_riga::avanti;
}

// Every test on one keyword field, in order; each that passes reads its row.
// Curve rows are read only when the run builds the plan.
lettore_linea::esito_riga lettore_linea::riga_dopo_generale(const std::string& riga,
                                                            const std::string& chiave) {
  esito_riga esito = esito_riga::avanti;
  auto prova = [&](tipo_riga tipo, auto&& leggi_riga) {
    if (esito != esito_riga::avanti || !passa_e_racconta(tipo, riga, chiave)) return;
    esito = leggi_riga();
  };
  prova(tipo_riga::pendenza, [this] { return riga_pendenza(); });
  if (m_.crea_tracciato != 0) {
    prova(tipo_riga::curva, [this, &chiave] { return riga_curva(chiave); });
  }
  prova(tipo_riga::montagna, [this] { return riga_montagna(); });
  prova(tipo_riga::indicatori, [this] { return riga_indicatori(); });
  prova(tipo_riga::cartello, [this] { return riga_cartello(); });
  return esito;
}

// The position check every row makes right after its values are read:
// (position + 100) / 50, unrounded, must not pass the last cell.
bool lettore_linea::oltre_fine(int32_t posizione) {
  const int32_t con_margine = entro_32_bit(int64_t{posizione} + kMargineFine, "position + 100");
  if (int64_t{con_margine} <= int64_t{kMetriCella} * m_.ultima_cella) return false;
  fuori_striscia(causa_codice(15).con_posizione(posizione).del_valore(0).con_limite(
      int64_t{kMetriCella} * m_.ultima_cella - kMargineFine));
  return true;
}

// Code 15: the row writes nothing, the row loop ends and the line half
// finishes normally.
lettore_linea::esito_riga lettore_linea::fuori_striscia(causa_codice causa) {
  causa.codice = 15;
  if (v_.risincronizza) return metti_da_parte(causa);
  m_.codice_errore = 15;
  if (causa.posizione) m_.posizione_errore = *causa.posizione;
  r_.codice(causa);
  return esito_riga::fine_righe;
}

// Writes the previous gradient into the next cell and on up to cell
// `fino_a` - 1; at least one cell, but never past the last.
void lettore_linea::riempi_pendenza(int32_t fino_a) {
  do {
    if (v_.indice_pendenza > m_.ultima_cella) return;
    m_.cella_a(v_.indice_pendenza).pendenza = byte_pendenza_letta(v_.pendenza_prec);
    ++v_.indice_pendenza;
  } while (v_.indice_pendenza < fino_a);
}

lettore_linea::esito_riga lettore_linea::riga_pendenza() {
  const int32_t posizione = numero();
  const int32_t pendenza = numero();
  if (oltre_fine(posizione)) return oltre_esito();
  if (cella_tratto(posizione) > 0) riempi_pendenza(cella_tratto(posizione));
  v_.pendenza_prec = pendenza;
  return esito_riga::avanti;
}

// The straight points up to `ultimo` (the plan's limit at most) and the
// curved ones up to `fine` (the same), from the next point on. False when
// the plan passed its limit.
bool lettore_linea::avanza_tracciato(int32_t ultimo, int32_t fine, double kappa) {
  int32_t& indice = v_.indice_tracciato;
  if (indice <= ultimo && indice <= kLimiteTracciato) {
    const int32_t a = std::min(ultimo, kLimiteTracciato);
    tratto_dritto(m_, indice, a);
    indice = a + 1;
  }
  if (indice <= fine && indice <= kLimiteTracciato) {
    const int32_t a = std::min(fine, kLimiteTracciato);
    tratto_curvo(m_, indice, a, kappa);
    indice = a + 1;
  }
  return indice <= kLimiteTracciato;
}

lettore_linea::esito_riga lettore_linea::riga_curva(const std::string& chiave) {
  const int32_t inizio = numero();
  const int32_t lunghezza = numero();
  if (oltre_fine(inizio)) return oltre_esito();
  const int32_t fine = entro_32_bit(int64_t{inizio} + lunghezza, "curve start + length");
  // The plan's last two points stay empty; a curve may not reach them.
  if (fine > m_.lunghezza_estesa - 2) {
    return fuori_striscia(
        causa_codice(15).con_posizione(inizio).del_valore(1).con_limite(m_.lunghezza_estesa - 2));
  }
  std::optional<double> kappa = curvatura_classe(chiave);
  if (!kappa) return ferma_righe(causa_codice(103));
  if (contiene(chiave, "s")) kappa = -*kappa;
  if (!avanza_tracciato(inizio, fine, *kappa)) {
    return ferma_righe(causa_codice(103).del_valore(1).con_limite(kLimiteTracciato));
  }
  return esito_riga::avanti;
}

lettore_linea::esito_riga lettore_linea::riga_montagna() {
  int32_t inizio = numero();
  int32_t fine = numero();
  int32_t tipo = numero();
  if (oltre_fine(inizio)) return oltre_esito();
  const int32_t prima = cella_tratto(inizio);
  const int32_t ultima = cella_fine_tratto(fine);
  if (prima <= ultima && !(in_striscia(prima) && in_striscia(ultima))) {
    return fuori_striscia(causa_codice(15).con_posizione(inizio).del_valore(1));
  }
  if (m_.n_montagne >= kMontagneMassime) return ferma_righe(causa_codice(10));
  memo_montagna(m_, inizio, fine, tipo, r_);
  return esito_riga::avanti;
}

lettore_linea::esito_riga lettore_linea::riga_indicatori() {
  const int32_t posizione = numero();
  const int32_t vas = numero();
  const int32_t vbs = numero();
  const int32_t vcs = numero();
  const int16_t strisces = meta_bassa();
  const int32_t vad = numero();
  const int32_t vbd = numero();
  const int32_t vcd = numero();
  const int16_t strisced = meta_bassa();
  if (oltre_fine(posizione)) return oltre_esito();
  const int32_t n = cella_oggetto(posizione);
  if (!in_striscia(n)) {
    return fuori_striscia(causa_codice(15).con_posizione(posizione).del_valore(0).sulla_cella(n));
  }
  const uint8_t prima = m_.cella_a(n).evento;
  memo_indicatori_v_max(m_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
  if (m_.codice_errore > 0) {
    return ferma_righe(causa_codice(m_.codice_errore)
                           .con_posizione(posizione)
                           .del_valore(0)
                           .sulla_cella(n)
                           .occupata_da(prima));
  }
  r_.posato(n, kEventoVelocita);
  return esito_riga::avanti;
}

lettore_linea::esito_riga lettore_linea::riga_cartello() {
  const int32_t posizione = numero();
  std::string testo = f_.leggi_testo_tabella();
  if (oltre_fine(posizione)) return oltre_esito();
  const int32_t n = cella_oggetto(posizione);
  if (!in_striscia(n)) {
    return fuori_striscia(causa_codice(15).con_posizione(posizione).del_valore(0).sulla_cella(n));
  }
  cella& c = m_.cella_a(n);
  if (!cella_libera(c)) {
    return ferma_righe(
        causa_codice(6).con_posizione(posizione).del_valore(0).sulla_cella(n).occupata_da(
            c.evento));
  }
  if (v_.voce_cartello < 1) return ferma_righe(causa_codice(10));
  c.evento = kEventoCartello;
  r_.posato(n, kEventoCartello);
  c.dato1 = static_cast<int16_t>(v_.voce_cartello);
  m_.riga(v_.voce_cartello).nome = std::move(testo);
  --v_.voce_cartello;
  return esito_riga::avanti;
}

// After the rows: the text goes, the last gradient runs on to three cells
// before the end, and the plan runs straight to its third-last point.
void lettore_linea::completa() {
  chiudi_ed_elimina();
  riempi_pendenza(m_.ultima_cella - 2);
  if (m_.crea_tracciato == 0) return;
  const int32_t penultimo = m_.lunghezza_estesa - 2;
  if (v_.indice_tracciato <= penultimo) {
    tratto_dritto(m_, v_.indice_tracciato, penultimo);
    v_.indice_tracciato = penultimo + 1;
  }
}

}  // namespace

int32_t cella_oggetto(int32_t posizione) {
  return arrotonda_32(static_cast<double>(posizione) / kMetriCella + 1.0);
}

int32_t cella_tratto(int32_t posizione) {
  return arrotonda_32(static_cast<double>(posizione) / kMetriCella);
}

int32_t cella_fine_tratto(int32_t fine) {
  return arrotonda_32(static_cast<double>(fine) / kMetriCella - 1.0);
}

std::optional<double> curvatura_classe(std::string_view parola_chiave) {
  for (std::size_t classe = 0; classe < kCurvature.size(); ++classe) {
    if (parola_chiave.find(static_cast<char>('1' + classe)) != std::string_view::npos) {
      return kCurvature[classe];
    }
  }
  return std::nullopt;
}

void progressive_ordina(modello& m) {
  const progressiva tre = da_riga(m.riga(kRigaProgressivaTre));
  const progressiva due = da_riga(m.riga(kRigaProgressivaDue));
  const progressiva uno = da_riga(m.riga(kRigaProgressivaUno));
  const int32_t somma_inizi = entro_32_bit(
      int64_t{entro_32_bit(int64_t{tre.inizio} + due.inizio, "sum of chainage beginnings")} +
          uno.inizio,
      "sum of chainage beginnings");
  const std::array<progressiva, 3> ordine =
      somma_inizi != 0 ? ordina_per_inizio(tre, due, uno) : ordina_per_distanza(tre, due, uno);
  for (int n = 0; n < 3; ++n) {
    progressiva p = ordine[static_cast<std::size_t>(n)];
    if (p.posizione == 1) p.fine = entro_32_bit(int64_t{p.fine} + 100, "chainage offset + 100");
    in_riga(m.riga(kRigaProgressivaTre + n), p);
  }
}

void memo_montagna(modello& m, int32_t& inizio, int32_t& fine, int32_t& tipo,
                   const racconto& racconta) {
  bool marca = false;
  if (tipo > kMarcaMontagna) {
    tipo -= kMarcaMontagna;
    marca = true;
  }
  ++m.n_montagne;
  const auto riga = static_cast<std::size_t>(m.n_montagne);
  m.montagne_inizio.at(riga) = inizio;
  m.montagne_fine.at(riga) = fine;
  if (m.n_montagne > 1 && entro_32_bit(int64_t{inizio} - m.montagne_fine.at(riga - 1),
                                       "montagna start - previous end") <= kVicinanzaMontagne) {
    tipo = kTipoMontagneVicine;
  }
  const auto byte_tipo = static_cast<uint8_t>(static_cast<uint32_t>(tipo) & 0xFFU);
  const int32_t ultima = cella_fine_tratto(fine);
  int32_t conta = 0;
  for (int32_t n = cella_tratto(inizio); n <= ultima; ++n) {
    cella& c = m.cella_a(n);
    c.montagna = byte_tipo;
    ++conta;
    if (marca && conta % kPassoMarche == 0 && c.evento == 0) {
      c.evento = kEventoMarcaMontagna;
      racconta.posato(n, kEventoMarcaMontagna);
    }
  }
}

void memo_indicatori_v_max(modello& m, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int16_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int16_t strisced) {
  cella& c = m.cella_a(cella_oggetto(posizione));
  if (!cella_libera(c)) {
    m.codice_errore = 21;
    return;
  }
  // Member by member, in this order: a packed value that fails leaves the
  // members before it written.
  c.evento = kEventoVelocita;
  c.dato1 = velocita_composta(vas, vad);
  c.dato2 = velocita_composta(vbs, vbd);
  c.dato3 = velocita_composta(vcs, vcd);
  // The stripes wrap in 16 bits.
  c.dato4 =
      static_cast<int16_t>(static_cast<uint16_t>((int32_t{strisces} * 10 + strisced) & 0xFFFF));
}

esito_linea leggi_linea(modello& m, testo_sorgente& linea, valori_lettura& valori) {
  if (!linea.esiste()) {
    m.codice_errore = 101;
    racconto(valori.osservatore).codice(causa_codice(101));
    return esito_linea::fermati;
  }
  const std::string testo = leggi_sorgente(linea);
  // However the line half ends, the plan points it did not reach stay
  // empty, and the plan is complete.
  try {
    const esito_linea esito = lettore_linea(m, linea, valori, testo).leggi();
    m.tracciato.completa();
    return esito;
  } catch (...) {
    m.tracciato.completa();
    throw;
  }
}

}  // namespace scenario
