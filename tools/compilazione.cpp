#include "tools/compilazione.h"

#include <system_error>

#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "output/file_compilati.h"
#include "scenario/sorgenti.h"

namespace scenario::strumento {
namespace {

// A source text the tool must not change: read where it lies, and "deleted"
// only in the compiler's view of it.
class sorgente_protetta final : public testo_sorgente {
 public:
  explicit sorgente_protetta(std::filesystem::path file) : file_(std::move(file)) {}
  bool esiste() const override { return !eliminata_ && esiste_file(file_); }
  std::string leggi() override {
    if (eliminata_) throw errore_file_system(file_, "read", "it was already read and set aside");
    return leggi_file(file_);
  }
  void elimina() override { eliminata_ = true; }

 private:
  std::filesystem::path file_;
  bool eliminata_ = false;
};

modello modello_per(const richiesta_compilazione& richiesta) {
  modello m;
  m.percorso = richiesta.percorso;
  m.treno = richiesta.numero_treno;
  return m;
}

void crea_cartella(const std::filesystem::path& cartella) {
  std::error_code errore;
  std::filesystem::create_directories(cartella, errore);
  if (errore) throw errore_file_system(cartella, "create the folder", errore.message());
}

}  // namespace

void esporta_sorgenti(const std::filesystem::path& cartella) {
  crea_cartella(cartella);
  modello m;
  m.percorso = kPercorso;
  m.treno = kTreno;
  dati_linea(m, cartella);
  dati_treno(m, cartella);
}

std::vector<std::filesystem::path> file_compilati_di(const richiesta_compilazione& richiesta) {
  const modello m = modello_per(richiesta);
  std::vector<std::filesystem::path> file;
  if (richiesta.tracciato)
    file.push_back(percorso_file(richiesta.cartella, nome_file_tracciato(m)));
  file.push_back(percorso_file(richiesta.cartella, nome_file_tabella(m)));
  file.push_back(percorso_file(richiesta.cartella, nome_file_celle(m)));
  return file;
}

std::optional<std::filesystem::path> uscita_su_sorgente(const richiesta_compilazione& richiesta) {
  auto stesso_file = [](const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code errore_a;
    std::error_code errore_b;
    if (std::filesystem::equivalent(a, b, errore_a)) return true;
    const std::filesystem::path canonico_a = std::filesystem::weakly_canonical(a, errore_a);
    const std::filesystem::path canonico_b = std::filesystem::weakly_canonical(b, errore_b);
    return !errore_a && !errore_b && canonico_a == canonico_b;
  };
  for (const std::filesystem::path& uscita : file_compilati_di(richiesta)) {
    if (stesso_file(uscita, richiesta.linea) || stesso_file(uscita, richiesta.treno)) return uscita;
  }
  return std::nullopt;
}

esito_compilazione_strumento compila_sorgenti(const richiesta_compilazione& richiesta) {
  esito_compilazione_strumento esito;
  modello m;
  sorgente_protetta linea(richiesta.linea);
  sorgente_protetta treno(richiesta.treno);
  opzioni_compilazione opzioni;
  opzioni.percorso = richiesta.percorso;
  opzioni.treno = richiesta.numero_treno;
  opzioni.crea_tracciato = richiesta.tracciato ? 1 : 0;
  try {
    crea_cartella(richiesta.cartella);
    esito.compilazione = compila_percorso(m, linea, treno, opzioni);
    if (esito.compilazione.da_scrivere()) {
      scrivi_file_compilati(m, richiesta.cartella);
      esito.file_scritti = true;
    }
    esito.stato = stato_di(esito.compilazione);
    if (auto riga = riga_esito(esito.compilazione)) esito.messaggi.push_back(*riga);
  } catch (const errore_file_system& e) {
    esito.stato = uscita_file_system;
    esito.messaggi.emplace_back(e.what());
  }
  return esito;
}

std::string json_esito(const esito_compilazione_strumento& esito) {
  const esito_compilazione& c = esito.compilazione;
  std::string json = "{\"codice_errore\":" + std::to_string(c.codice_errore);
  json += ",\"posizione_errore\":" + std::to_string(c.posizione_errore);
  // The check numbers are digits only: nothing to escape.
  json += ",\"errore\":" +
          (c.controllo_fallito ? "\"" + *c.controllo_fallito + "\"" : std::string("null"));
  json += ",\"files_written\":";
  json += esito.file_scritti ? "true" : "false";
  json += "}";
  return json;
}

}  // namespace scenario::strumento
