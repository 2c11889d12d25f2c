#include "tools/compilazione.h"

#include <system_error>

#include "app/file_cartella.h"
#include "output/file_compilati.h"
#include "scenario/dati_linea.h"
#include "scenario/dati_treno.h"

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
  modello m = modello_per(richiesta);
  sorgente_protetta linea(richiesta.linea);
  sorgente_protetta treno(richiesta.treno);
  piattaforma_registrata p;
  try {
    crea_cartella(richiesta.cartella);
    const bool scritti =
        memorizza_percorso(m, richiesta.tracciato ? 1 : 0, linea, treno, richiesta.cartella, p);
    esito.file_scritti = scritti;
    esito.stato = esito_compilazione(m, scritti, p);
  } catch (const fermata_errore& e) {
    esito.errore = e.numero();
    esito.stato = uscita_errore;
    p.messaggi.push_back(testo_errore(e.numero()));
  } catch (const errore_file_system& e) {
    esito.stato = uscita_file_system;
    p.messaggi.emplace_back(e.what());
  }
  esito.codice_errore = m.codice_errore;
  esito.posizione_errore = m.posizione_errore;
  esito.messaggi = std::move(p.messaggi);
  return esito;
}

std::string json_esito(const esito_compilazione_strumento& esito) {
  std::string json = "{\"codice_errore\":" + std::to_string(esito.codice_errore);
  json += ",\"posizione_errore\":" + std::to_string(esito.posizione_errore);
  // The check numbers are digits only: nothing to escape.
  json += ",\"errore\":" + (esito.errore ? "\"" + *esito.errore + "\"" : std::string("null"));
  json += ",\"files_written\":";
  json += esito.file_scritti ? "true" : "false";
  json += "}";
  return json;
}

}  // namespace scenario::strumento
