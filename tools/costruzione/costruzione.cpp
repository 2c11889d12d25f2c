#include "tools/costruzione/costruzione.h"

#include <algorithm>
#include <functional>
#include <ostream>
#include <span>
#include <system_error>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/file_sistema.h"
#include "base/nome_file.h"
#include "base/nomi_scenario.h"
#include "base/scrittore_testo.h"
#include "base/stati_uscita.h"
#include "compiler/sorgente.h"
#include "documents/bozza_scheda.h"
#include "documents/documenti.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/sorgenti.h"
#include "tools/costruzione/archivio_zip.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/verifica/verifica.h"

namespace scenario::strumento {
namespace fs = std::filesystem;
namespace {

// A scenario's two texts found, read and checked, and compiled.
struct coppia_pronta {
  pacchetto_scenario s;  // names and texts; documents still empty
  modello m;
  fs::path linea, treno;
};

std::vector<std::string> nomi_in(const fs::path& cartella) {
  std::vector<std::string> nomi;
  std::error_code errore;
  fs::directory_iterator voce(cartella, errore);
  if (errore) throw errore_file_system(cartella, "list the folder", errore.message());
  for (; voce != fs::directory_iterator(); voce.increment(errore)) {
    if (errore) throw errore_file_system(cartella, "list the folder", errore.message());
    const std::u8string nome = voce->path().filename().u8string();
    nomi.emplace_back(nome.begin(), nome.end());
  }
  return nomi;
}

// The route and the train (UTF-8): the ones given, or the one pair of texts
// in `cartella` that matches them.
std::optional<coppia_nomi> scegli_coppia(const fs::path& cartella,
                                         const std::optional<std::string>& percorso,
                                         const std::optional<std::string>& treno,
                                         std::string_view comando, int stato_uso,
                                         std::ostream& errori, int& stato) {
  if (percorso && treno) return coppia_nomi{*percorso, *treno};
  std::vector<coppia_nomi> adatti;
  for (const coppia_nomi& c : coppie_tra(nomi_in(cartella))) {
    if ((!percorso || c.percorso == *percorso) && (!treno || c.treno == *treno)) {
      adatti.push_back(c);
    }
  }
  if (adatti.size() == 1) return adatti.front();
  errori << comando << ": " << testo_file(cartella)
         << (adatti.empty() ? " holds no scenario (no ROUTE_linea.txt beside a ROUTE_TRAIN-.txt)"
                            : " holds " + std::to_string(adatti.size()) +
                                  " scenarios; choose one with --route and --train:")
         << '\n';
  for (const coppia_nomi& c : adatti) {
    errori << "  --route " << c.percorso << " --train " << c.treno << '\n';
  }
  stato = adatti.empty() ? uscita_file_system : stato_uso;
  return std::nullopt;
}

// Every file name the built program and its run make must be one.
std::optional<std::string> nome_non_valido(const pacchetto_scenario& s, const modello& m) {
  for (const std::string& nome :
       {nome_file_dati_linea(m), nome_file_dati_treno(m), nome_file_dati_note(m),
        nome_file_dati_rallentamenti(m), nome_file_dati_scheda(m), nome_file_tracciato(m),
        nome_file_tabella(m), nome_file_celle(m), nome_programma(s, false), nome_programma(s, true),
        nome_archivio(s)}) {
    if (auto motivo = motivo_nome_non_valido(nome)) {
      return "the file name '" + utf8_da_1252(nome) + "', which " + *motivo;
    }
  }
  return std::nullopt;
}

// Finds the pair, reads it, checks it as check does (the diagnoses printed;
// an error stops here) and compiles it.
std::optional<coppia_pronta> prepara(const fs::path& cartella,
                                     const std::optional<std::string>& percorso,
                                     const std::optional<std::string>& treno,
                                     std::string_view comando, int stato_uso, std::ostream& errori,
                                     int& stato) {
  const std::optional<coppia_nomi> nomi =
      scegli_coppia(cartella, percorso, treno, comando, stato_uso, errori, stato);
  if (!nomi) return std::nullopt;
  std::optional<coppia_pronta> c(std::in_place);
  const std::optional<std::string> percorso_1252 = cp1252_da_utf8(nomi->percorso);
  const std::optional<std::string> treno_1252 = cp1252_da_utf8(nomi->treno);
  if (!percorso_1252 || !treno_1252) {
    errori << comando
           << ": the route name and the train number must be texts the Windows-1252 code page "
              "can write: rename the texts\n";
    stato = stato_uso;
    return std::nullopt;
  }
  c->s.percorso = *percorso_1252;
  c->s.treno = *treno_1252;
  c->m.percorso = c->s.percorso;
  c->m.treno = c->s.treno;
  if (auto motivo = nome_non_valido(c->s, c->m)) {
    errori << comando << ": the route " << nomi->percorso << " and the train " << nomi->treno
           << " make " << *motivo << ": rename the texts\n";
    stato = stato_uso;
    return std::nullopt;
  }
  c->linea = percorso_file(cartella, nome_file_dati_linea(c->m));
  c->treno = percorso_file(cartella, nome_file_dati_treno(c->m));
  const std::optional<std::string> linea = leggi_file_se_esiste(c->linea, kLimiteTestoSorgente);
  const std::optional<std::string> testo_treno =
      leggi_file_se_esiste(c->treno, kLimiteTestoSorgente);

  const std::vector<diagnosi> tutte =
      verifica_testi({testo_file(c->linea), linea}, {testo_file(c->treno), testo_treno});
  if (!tutte.empty()) scrivi_diagnosi(errori, tutte);
  if (std::any_of(tutte.begin(), tutte.end(),
                  [](const diagnosi& d) { return d.livello == gravita::errore; })) {
    stato = kUscitaErroriTrovati;
    return std::nullopt;
  }
  // check found no error: both texts are there and compile cleanly.
  c->s.testo_linea = linea.value_or("");
  c->s.testo_treno = testo_treno.value_or("");
  opzioni_compilazione opzioni;
  opzioni.percorso = c->s.percorso;
  opzioni.treno = c->s.treno;
  opzioni.conserva_tracciato = false;
  sorgente_in_memoria l(c->s.testo_linea);
  sorgente_in_memoria t(c->s.testo_treno);
  compila_percorso(c->m, l, t, opzioni);
  return c;
}

// A document of the folder, or what the program carries in its place.
bool documento(const fs::path& cartella, const std::string& nome, std::vector<std::string>& righe,
               std::string_view comando, std::ostream& errori,
               const std::function<std::vector<std::string>()>& altrimenti,
               std::string_view cosa_manca) {
  const fs::path file = percorso_file(cartella, nome);
  if (const std::optional<std::string> byte = leggi_file_se_esiste(file, kLimiteDocumento)) {
    std::optional<std::vector<std::string>> letto =
        documento_dell_autore(*byte, testo_file(file), errori);
    if (!letto) return false;
    righe = std::move(*letto);
    return true;
  }
  errori << comando << ": " << testo_file(cartella) << " holds no " << utf8_da_1252(nome) << ": "
         << cosa_manca << '\n';
  righe = altrimenti();
  return true;
}

// A runner's bytes, or nothing after a line that says where it was looked for.
std::optional<std::string> esecutore(const std::vector<fs::path>& cartelle, std::string_view nome,
                                     std::string_view piattaforma, const std::string& programma,
                                     std::ostream& errori) {
  for (const fs::path& cartella : cartelle) {
    const fs::path file = cartella / fs::path(nome);
    std::optional<std::string> byte = leggi_file_se_esiste(file, kLimiteProgramma);
    if (!byte) continue;
    if (byte->size() >= kFirmaPacchetto.size() &&
        std::string_view(*byte).substr(byte->size() - kFirmaPacchetto.size()) == kFirmaPacchetto) {
      throw errore_file_system(file, "use the runner",
                               "it is a program with a scenario already, not a runner");
    }
    return byte;
  }
  errori << "build: no " << piattaforma << " runner '" << nome << "' in";
  for (std::size_t i = 0; i < cartelle.size(); ++i) {
    errori << (i == 0 ? " " : " or ") << "'" << testo_file(cartelle[i]) << "'";
  }
  errori << ": " << utf8_da_1252(programma)
         << " not made (give the folder that holds it with --runners)\n";
  return std::nullopt;
}

void crea_cartella(const fs::path& cartella) {
  std::error_code errore;
  fs::create_directories(cartella, errore);
  if (errore) throw errore_file_system(cartella, "create the folder", errore.message());
}

template <typename F>
int con_errori(std::string_view comando, std::ostream& errori, F&& passo) {
  try {
    return passo();
  } catch (const errore_file_system& e) {
    errori << comando << ": " << e.what() << '\n';
    return uscita_file_system;
  }
}

}  // namespace

std::vector<fs::path> cartelle_esecutori(const std::optional<fs::path>& scelta) {
  if (scelta) return {*scelta};
  std::vector<fs::path> cartelle;
  const sistema::eseguibile_in_corso io = sistema::file_eseguibile();
  std::error_code errore;
  const fs::path strumento = fs::canonical(io.file, errore);
  if (!io.file.empty() && !errore) {
    const fs::path cartella = strumento.parent_path();
    cartelle.push_back(cartella);
    cartelle.push_back((cartella.parent_path() / "lib" / "scenario-tool").lexically_normal());
  }
  return cartelle;
}

std::string nome_programma(const pacchetto_scenario& s, bool windows) {
  return s.percorso + "_" + s.treno + (windows ? ".exe" : "");
}

std::string nome_archivio(const pacchetto_scenario& s) {
  return s.percorso + "_" + s.treno + ".zip";
}

std::string leggimi_archivio(const pacchetto_scenario& s) {
  const std::string programma = nome_programma(s, true);
  const std::string base = s.percorso + "_" + s.treno;
  const std::vector<std::string> righe = {
      programma,
      std::string(programma.size(), '='),
      "",
      "The scenario program for the line " + s.percorso + " and the train " + s.treno + ".",
      "",
      "Copy " + programma + " into the folder where the scenario's files must be",
      "(the simulator's folder of scenarios) and start it there with a double click.",
      "A small window titled with its name and the word \"Attendere\" shows while it",
      "works; it writes six files into the folder that holds it and closes by itself:",
      "",
      "  " + s.percorso + "_linea.dat   track plan",
      "  " + base + ".sim   table of stations and constants",
      "  " + base + ".dat   strip of 50-metre cells",
      "  " + nome_programma(s, false) + "_scheda_treno.txt   the train card",
      "  " + nome_programma(s, false) + "_rallentamenti.txt   the slowdown order form",
      "  " + nome_programma(s, false) + "_note.txt   the scenario notes",
      "",
      "Running it again replaces them with the same files. It runs on a bare 64-bit",
      "Windows: there is nothing to install, and it needs no other file.",
  };
  return testo_intero(righe);
}

std::optional<std::vector<std::string>> documento_dell_autore(std::string_view byte,
                                                              std::string_view nome,
                                                              std::ostream& errori) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  const bool bom = byte.substr(0, kBom.size()) == kBom;
  const bool oltre_ascii =
      std::any_of(byte.begin(), byte.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
  std::vector<std::string> righe = righe_di(bom ? byte.substr(kBom.size()) : byte);
  if (!bom && !(oltre_ascii && utf8_valido(byte))) return righe;
  // UTF-8: each line converted, and the first that cannot be is named.
  for (std::size_t n = 0; n < righe.size(); ++n) {
    std::optional<std::string> riga = cp1252_da_utf8(righe[n]);
    if (!riga) {
      errori << "build: " << nome << ":" << n + 1
             << ": this document is UTF-8 and its line holds a character Windows-1252 cannot "
                "write: replace it, or save the document as Windows-1252\n";
      return std::nullopt;
    }
    righe[n] = std::move(*riga);
  }
  return righe;
}

int comando_build(const richiesta_build& r, int stato_uso, std::ostream& uscita,
                  std::ostream& errori) {
  return con_errori("build", errori, [&]() -> int {
    int stato = uscita_pulita;
    std::optional<coppia_pronta> c =
        prepara(r.cartella, r.percorso, r.treno, "build", stato_uso, errori, stato);
    if (!c) return stato;
    pacchetto_scenario& s = c->s;
    const modello& m = c->m;
    if (!documento(
            r.cartella, nome_file_dati_scheda(m), s.scheda, "build", errori,
            [&] { return bozza_scheda_treno(m, s.testo_treno); },
            "the program carries the card drafted from the texts (scenario-tool card "
            "writes the draft, to finish by hand)") ||
        !documento(
            r.cartella, nome_file_dati_rallentamenti(m), s.rallentamenti, "build", errori,
            [] {
              const std::span<const std::string_view> modulo = righe_dati_rallentamenti();
              return std::vector<std::string>(modulo.begin(), modulo.end());
            },
            "the program carries the standard blank form") ||
        !documento(
            r.cartella, nome_file_dati_note(m), s.note, "build", errori,
            [&] { return righe_note_assenti(m); },
            "no notes are invented; the program writes a short notes file naming the "
            "line and the train")) {
      return kUscitaErroriTrovati;
    }

    const std::string pacchetto = byte_pacchetto(s);
    const fs::path uscite = r.uscita.value_or(r.cartella);
    crea_cartella(uscite);
    const std::vector<fs::path> cartelle = cartelle_esecutori(r.esecutori);
    bool mancante = false;
    std::optional<std::string> programma_windows;
    for (const bool windows : {false, true}) {
      const std::string nome = nome_programma(s, windows);
      std::optional<std::string> byte =
          esecutore(cartelle, windows ? kEsecutoreWindows : kEsecutoreLinux,
                    windows ? "Windows" : "Linux", nome, errori);
      if (!byte) {
        mancante = true;
        continue;
      }
      *byte += pacchetto;
      const fs::path file = percorso_file(uscite, nome);
      sostituisci_programma(file, *byte);
      uscita << testo_file(file) << '\n';
      if (windows) programma_windows = std::move(byte);
    }
    if (r.zip) {
      if (!programma_windows) {
        errori << "build: " << utf8_da_1252(nome_archivio(s))
               << " not made: it holds the Windows program\n";
      } else {
        const fs::path file = percorso_file(uscite, nome_archivio(s));
        sostituisci_file(
            file,
            archivio_zip({{utf8_da_1252(nome_programma(s, true)), std::move(*programma_windows)},
                          {"LEGGIMI.txt", leggimi_archivio(s)}}));
        uscita << testo_file(file) << '\n';
      }
    }
    return mancante ? uscita_file_system : uscita_pulita;
  });
}

int comando_card(const fs::path& cartella, const std::optional<std::string>& percorso,
                 const std::optional<std::string>& treno, const fs::path& file, int stato_uso,
                 std::ostream& uscita, std::ostream& errori) {
  return con_errori("card", errori, [&]() -> int {
    int stato = uscita_pulita;
    std::optional<coppia_pronta> c =
        prepara(cartella, percorso, treno, "card", stato_uso, errori, stato);
    if (!c) return stato;
    if (scriverebbe_su(file, {c->linea, c->treno}, "card", errori)) return stato_uso;
    sostituisci_file(file, testo_intero(bozza_scheda_treno(c->m, c->s.testo_treno)));
    uscita << testo_file(file) << '\n';
    return uscita_pulita;
  });
}

}  // namespace scenario::strumento
