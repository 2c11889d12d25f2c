#include "tools/lsp/documenti.h"

#include <algorithm>
#include <system_error>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/nomi_scenario.h"
#include "base/scrittore_testo.h"
#include "compiler/modello.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/lsp/uri.h"

namespace scenario::lsp {
namespace {

// The line text a train text belongs to, by name: "ROUTE_linea.txt".
std::optional<std::string> linea_tra(const std::vector<std::string>& nomi, std::string_view treno) {
  const std::optional<std::string> percorso = percorso_del_treno(nomi, treno);
  if (!percorso) return std::nullopt;
  return *percorso + std::string(kFineNomeLinea);
}

std::string nome_file(const std::filesystem::path& file) { return testo_file(file.filename()); }

documento da_byte(std::string byte) {
  documento d;
  d.unicode = testo_unicode(utf8_da_1252(byte));
  d.compilato.byte = std::move(byte);
  return d;
}

// Whether the file holds exactly the editor's text, UTF-8 beyond ASCII.
bool salvato_utf8(const std::optional<std::filesystem::path>& file, const std::string& utf8) {
  if (!file) return false;
  const bool oltre_ascii = std::any_of(
      utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (!oltre_ascii) return false;
  try {
    return leggi_file_se_esiste(*file, kLimiteTestoSorgente) == utf8;
  } catch (const errore_file_system&) {
    return false;
  }
}

// The changes applied in order. A run of changes each of which ends at or
// before the start of the one before it finds its ranges in the text as the
// run began, unchanged before that start: the run is gathered and the text
// built once. Any other change ends the run, and is found in the text as it
// then is. A change's start just after a CR closes the run (a LF put there
// would join it into one line end, moving the line start at that point).
std::string applica(const testo_unicode& prima, std::span<const modifica_testo> modifiche,
                    codifica_posizioni codifica, const std::string& uri) {
  struct sostituzione {
    std::size_t da;
    std::size_t a;
    const std::string* testo;
  };
  std::optional<testo_unicode> corrente;
  const auto testo = [&]() -> const testo_unicode& { return corrente ? *corrente : prima; };
  std::vector<sostituzione> serie;  // from the end of the text towards its start
  std::size_t byte = prima.utf8().size();
  const auto chiudi = [&] {
    if (serie.empty()) return;
    const std::string& vecchio = testo().utf8();
    std::string nuovo;
    nuovo.reserve(byte);
    std::size_t pos = 0;
    for (auto s = serie.rbegin(); s != serie.rend(); ++s) {
      nuovo.append(vecchio, pos, s->da - pos);
      nuovo += *s->testo;
      pos = s->a;
    }
    nuovo.append(vecchio, pos);
    serie.clear();
    corrente.emplace(std::move(nuovo));
  };
  for (const modifica_testo& m : modifiche) {
    if (!m.intervallo) {
      serie.clear();
      entro_il_limite(uri, m.testo.size());
      byte = m.testo.size();
      corrente.emplace(m.testo);
      continue;
    }
    std::optional<std::size_t> da = testo().byte_esatto(m.intervallo->first, codifica);
    std::optional<std::size_t> a = testo().byte_esatto(m.intervallo->second, codifica);
    const bool in_serie = !serie.empty() && da && a && *da <= *a && *a <= serie.back().da &&
                          (serie.back().da == 0 || testo().utf8()[serie.back().da - 1] != '\r');
    if (!in_serie) {
      chiudi();
      da = testo().byte_utf8(m.intervallo->first, codifica);
      a = testo().byte_utf8(m.intervallo->second, codifica);
      if (*a < *da) std::swap(da, a);
    }
    byte = byte - (*a - *da) + m.testo.size();
    entro_il_limite(uri, byte);
    serie.push_back({*da, *a, &m.testo});
  }
  chiudi();
  return corrente ? corrente->utf8() : prima.utf8();
}

documento_condiviso crea_incorporato(testo_letto ruolo) {
  modello m;
  m.percorso = std::string(kPercorso);
  m.treno = std::string(kTreno);
  const bool linea = ruolo == testo_letto::linea;
  documento d = da_byte(testo_da_righe(linea ? righe_dati_linea() : righe_dati_treno()));
  d.nome = utf8_da_1252(linea ? nome_file_dati_linea(m) : nome_file_dati_treno(m));
  d.ruolo = ruolo;
  return std::make_shared<const documento>(std::move(d));
}

}  // namespace

// Refuses a text of the editor that check would refuse from disk.
void entro_il_limite(const std::string& uri, std::size_t byte) {
  if (byte <= kLimiteTestoSorgente.byte) return;
  throw testo_troppo_grande(
      "the text '" + uri + "' is " + std::to_string(byte) + " bytes, larger than " +
      std::to_string(kLimiteTestoSorgente.byte >> 20) + " MiB, the most " +
      std::string(kLimiteTestoSorgente.cosa) + " may be: it is not judged until it is smaller");
}

std::optional<testo_letto> ruolo_da_nome(std::string_view nome) {
  if (percorso_della_linea(nome)) return testo_letto::linea;
  if (nome.ends_with(kFineNomeTreno)) return testo_letto::treno;
  return std::nullopt;
}

documento_condiviso incorporato(testo_letto ruolo) {
  static const documento_condiviso linea = crea_incorporato(testo_letto::linea);
  static const documento_condiviso treno = crea_incorporato(testo_letto::treno);
  return ruolo == testo_letto::linea ? linea : treno;
}

void archivio_documenti::apri(const std::string& uri, std::string testo, int64_t versione,
                              std::string_view linguaggio) {
  entro_il_limite(uri, testo.size());
  documento d;
  d.uri = uri;
  d.file = percorso_da_uri(uri);
  d.nome = nome_da_uri(uri);
  d.ruolo = ruolo_da_nome(d.nome).value_or(linguaggio == "scenario-train" ? testo_letto::treno
                                                                          : testo_letto::linea);
  d.compilato = in_1252(testo);
  d.salvato_utf8 = salvato_utf8(d.file, testo);
  d.unicode = testo_unicode(std::move(testo));
  d.aperto = true;
  d.versione = versione;
  aperti_[uri] = std::make_shared<const documento>(std::move(d));
}

bool archivio_documenti::modifica(const std::string& uri, std::span<const modifica_testo> modifiche,
                                  int64_t versione, codifica_posizioni codifica) {
  const auto trovato = aperti_.find(uri);
  if (trovato == aperti_.end()) return false;
  documento d = *trovato->second;
  d.unicode = testo_unicode(applica(d.unicode, modifiche, codifica, uri));
  d.compilato = in_1252(d.unicode.utf8());
  d.versione = versione;
  trovato->second = std::make_shared<const documento>(std::move(d));
  return true;
}

bool archivio_documenti::chiudi(const std::string& uri) { return aperti_.erase(uri) > 0; }

void archivio_documenti::salvato(const std::string& uri) {
  const auto trovato = aperti_.find(uri);
  if (trovato == aperti_.end()) return;
  documento d = *trovato->second;
  d.salvato_utf8 = salvato_utf8(d.file, d.unicode.utf8());
  trovato->second = std::make_shared<const documento>(std::move(d));
}

documento_condiviso archivio_documenti::aperto(const std::string& uri) const {
  const auto trovato = aperti_.find(uri);
  return trovato == aperti_.end() ? nullptr : trovato->second;
}

std::vector<std::string> archivio_documenti::uri_aperti() const {
  std::vector<std::string> uri;
  for (const auto& [chiave, d] : aperti_) uri.push_back(chiave);
  return uri;
}

documento_condiviso archivio_documenti::da_disco(const std::filesystem::path& file) const {
  std::optional<std::string> byte;
  try {
    byte = leggi_file_se_esiste(file, kLimiteTestoSorgente);
  } catch (const errore_file_system&) {
    // A file that cannot be read pairs with nothing: the open text is judged
    // as if it were not there.
    return nullptr;
  }
  if (!byte) return nullptr;
  documento d = da_byte(std::move(*byte));
  d.uri = uri_da_percorso(file);
  d.file = file;
  d.nome = nome_file(file);
  d.ruolo = ruolo_da_nome(d.nome).value_or(testo_letto::linea);
  return std::make_shared<const documento>(std::move(d));
}

documento_condiviso archivio_documenti::testo_in(const std::filesystem::path& file) const {
  for (const auto& [uri, d] : aperti_) {
    if (d->file && *d->file == file) return d;
  }
  return da_disco(file);
}

std::vector<std::string> archivio_documenti::nomi_in(const std::filesystem::path& cartella) const {
  std::vector<std::string> nomi;
  for (const auto& [uri, d] : aperti_) {
    if (d->file && d->file->parent_path() == cartella) nomi.push_back(d->nome);
  }
  std::error_code errore;
  for (std::filesystem::directory_iterator voce(cartella, errore), fine; !errore && voce != fine;
       voce.increment(errore)) {
    nomi.push_back(nome_file(voce->path()));
  }
  std::sort(nomi.begin(), nomi.end());
  nomi.erase(std::unique(nomi.begin(), nomi.end()), nomi.end());
  return nomi;
}

documento_condiviso archivio_documenti::linea_di(const documento& treno) const {
  if (!treno.file) return nullptr;
  const std::filesystem::path cartella = treno.file->parent_path();
  const std::optional<std::string> linea = linea_tra(nomi_in(cartella), treno.nome);
  if (!linea) return nullptr;
  return testo_in(cartella / std::filesystem::path(std::u8string(linea->begin(), linea->end())));
}

std::vector<documento_condiviso> archivio_documenti::treni_di(const documento& linea) const {
  std::vector<documento_condiviso> treni;
  if (!linea.file || !percorso_della_linea(linea.nome)) return treni;
  const std::filesystem::path cartella = linea.file->parent_path();
  const std::vector<std::string> nomi = nomi_in(cartella);
  // The line texts of the folder, once: a train text is matched against
  // them, not against every name.
  std::vector<std::string> linee;
  for (const std::string& nome : nomi) {
    if (percorso_della_linea(nome)) linee.push_back(nome);
  }
  // The open texts of the folder by their file, once.
  std::map<std::filesystem::path, documento_condiviso> aperti_qui;
  for (const auto& [uri, d] : aperti_) {
    if (d->file && d->file->parent_path() == cartella) aperti_qui.try_emplace(*d->file, d);
  }
  for (const std::string& nome : nomi) {
    if (ruolo_da_nome(nome) != testo_letto::treno || linea_tra(linee, nome) != linea.nome) continue;
    const std::filesystem::path file =
        cartella / std::filesystem::path(std::u8string(nome.begin(), nome.end()));
    const auto aperto_qui = aperti_qui.find(file);
    documento_condiviso treno =
        aperto_qui != aperti_qui.end() ? aperto_qui->second : da_disco(file);
    if (treno) treni.push_back(std::move(treno));
  }
  return treni;
}

std::optional<famiglia> archivio_documenti::famiglia_di(const std::string& uri) const {
  documento_condiviso d = aperto(uri);
  if (!d) {
    const std::optional<std::filesystem::path> file = percorso_da_uri(uri);
    if (file) d = da_disco(*file);
  }
  if (!d) return std::nullopt;
  famiglia f;
  if (d->ruolo == testo_letto::linea) {
    f.linea = d;
  } else {
    f.linea = linea_di(*d);
    if (!f.linea) {
      f.linea = incorporato(testo_letto::linea);
      f.treni.push_back(d);
      return f;
    }
  }
  f.treni = treni_di(*f.linea);
  // A train text that pairs by its role, not its name (an untitled one).
  if (d->ruolo == testo_letto::treno &&
      std::none_of(f.treni.begin(), f.treni.end(),
                   [&](const documento_condiviso& t) { return t->uri == d->uri; })) {
    f.treni.push_back(d);
  }
  if (f.treni.empty()) f.treni.push_back(incorporato(testo_letto::treno));
  return f;
}

}  // namespace scenario::lsp
