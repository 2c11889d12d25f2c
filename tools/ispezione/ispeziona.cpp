#include "tools/ispezione/ispeziona.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>

#include "base/binario.h"
#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/nomi_enum.h"
#include "base/stati_uscita.h"
#include "compiler/record.h"
#include "output/file_compilati.h"

namespace scenario {
namespace {

bool finisce_con(std::string_view testo, std::string_view fine) {
  return testo.size() >= fine.size() && testo.substr(testo.size() - fine.size()) == fine;
}

// Reads little-endian values front to back and refuses to step past the end:
// every read names what it wanted, so the message says where the file stops
// fitting its layout.
class cursore_byte {
 public:
  explicit cursore_byte(std::span<const uint8_t> byte) : byte_(byte) {}

  std::size_t posizione() const { return pos_; }
  std::size_t rimasti() const { return byte_.size() - pos_; }
  bool alla_fine() const { return pos_ == byte_.size(); }

  // A number of its own width, little-endian.
  template <valore_fisso T>
  T valore(std::string_view cosa) {
    richiedi(sizeof(T), cosa);
    const T v = prendi_le<T>(byte_.data() + pos_);
    pos_ += sizeof(T);
    return v;
  }
  void salta(std::size_t n, std::string_view cosa) {
    richiedi(n, cosa);
    pos_ += n;
  }
  std::string testo(std::size_t n, std::string_view cosa) {
    richiedi(n, cosa);
    std::string t(reinterpret_cast<const char*>(byte_.data() + pos_), n);
    pos_ += n;
    return t;
  }

 private:
  void richiedi(std::size_t n, std::string_view cosa) const {
    if (rimasti() >= n) return;
    throw errore_formato("the file ends at byte " + std::to_string(byte_.size()) + " inside " +
                         std::string(cosa) + " (at byte " + std::to_string(pos_) + ", " +
                         std::to_string(n) + " bytes needed, " + std::to_string(rimasti()) +
                         " left): the file is cut short or is not of this kind");
  }

  std::span<const uint8_t> byte_;
  std::size_t pos_ = 0;
};

// A member's value: a number of its width; a text as its 16-bit length and
// its bytes.
template <typename T>
void leggi_membro(cursore_byte& c, T& v, const std::string& dove) {
  if constexpr (kTesto<T>) {
    const auto n = c.valore<uint16_t>(dove);
    v = c.testo(n, "the " + std::to_string(n) + "-byte name of " + dove);
  } else {
    v = c.valore<T>(dove);
  }
}

// A record member by member, in the order of its description.
template <typename Record, typename Membri>
Record leggi_record(cursore_byte& c, const Membri& membri, const std::string& dove) {
  Record r;
  per_ogni_membro(membri, [&](const auto& m) { leggi_membro(c, r.*m.campo, dove); });
  return r;
}

// Steps over plan element `n`, checking its tag and that it is whole.
void salta_elemento(cursore_byte& c, std::size_t n) {
  const std::string dove = "plan element " + std::to_string(n);
  const std::size_t inizio = c.posizione();
  const forma_elemento* forma = forma_del_tag(c.valore<uint16_t>(dove));
  if (forma == nullptr) {
    throw errore_formato("plan element " + std::to_string(n) + " at byte " +
                         std::to_string(inizio) + " has a tag that is none of " +
                         std::to_string(kTagVuoto) + " (empty), " + std::to_string(kTagIntero) +
                         " (integer), " + std::to_string(kTagDoppio) +
                         " (double): the file is damaged or is not a track plan");
  }
  c.salta(forma->byte - kByteTag, dove);
}

std::string in_file(const std::filesystem::path& file, const errore_formato& e) {
  return testo_file(file.filename()) + ": " + e.what();
}

std::vector<cella> leggi_file_celle(const std::filesystem::path& file) {
  const std::string contenuto = leggi_file(file, limite_di(tipo_file_compilato::celle));
  try {
    return leggi_celle(come_byte(contenuto));
  } catch (const errore_formato& e) {
    throw errore_formato(in_file(file, e));
  }
}

}  // namespace

std::optional<tipo_file_compilato> tipo_da_nome(std::string_view nome) {
  if (finisce_con(nome, "_linea.dat")) return tipo_file_compilato::tracciato;
  if (finisce_con(nome, ".sim")) return tipo_file_compilato::tabella;
  if (finisce_con(nome, ".dat")) return tipo_file_compilato::celle;
  return std::nullopt;
}

std::string_view nome_tipo(tipo_file_compilato tipo) {
  constexpr std::array<std::string_view, 3> kNomi = {"tracciato", "tabella", "celle"};
  return nome_di(tipo, kNomi);
}

const limite_lettura& limite_di(tipo_file_compilato tipo) {
  static constexpr std::array<limite_lettura, 3> kLimiti = {{
      {kByteMassimiTracciato, "a track plan file"},
      {kByteMassimiTabella, "a table file"},
      {kByteMassimiCelle, "a cell file"},
  }};
  return kLimiti[static_cast<std::size_t>(tipo)];
}

std::string testo_file(const std::filesystem::path& file) {
  const std::u8string utf8 = file.u8string();
  return {utf8.begin(), utf8.end()};
}

std::span<const uint8_t> come_byte(std::string_view contenuto) {
  return {reinterpret_cast<const uint8_t*>(contenuto.data()), contenuto.size()};
}

std::vector<cella> leggi_celle(std::span<const uint8_t> byte) {
  if (byte.empty()) {
    throw errore_formato("the cell file is empty: a compiled route has at least two cells");
  }
  const std::size_t intere = byte.size() / kByteCella;
  if (intere == 0) {
    throw errore_formato("the size " + std::to_string(byte.size()) + " bytes is less than one " +
                         std::to_string(kByteCella) +
                         "-byte cell (the file is cut short or is not a cell strip)");
  }
  if (byte.size() % kByteCella != 0) {
    throw errore_formato("the size " + std::to_string(byte.size()) +
                         " bytes is not a whole number of " + std::to_string(kByteCella) +
                         "-byte cells: " + std::to_string(byte.size() % kByteCella) +
                         " bytes are left after cell " + std::to_string(intere - 1) +
                         " (the file is cut short or is not a cell strip)");
  }
  cursore_byte c(byte);
  std::vector<cella> celle;
  celle.reserve(byte.size() / kByteCella);
  while (!c.alla_fine()) {
    celle.push_back(leggi_record<cella>(c, kMembriCella, "cell " + std::to_string(celle.size())));
  }
  return celle;
}

std::array<voce, kRigheTabella> leggi_tabella(std::span<const uint8_t> byte) {
  cursore_byte c(byte);
  std::array<voce, kRigheTabella> tabella;
  for (int riga = 0; riga < kRigheTabella; ++riga) {
    tabella[static_cast<std::size_t>(riga)] =
        leggi_record<voce>(c, kMembriVoce, "row " + std::to_string(riga) + " of the table");
  }
  if (!c.alla_fine()) {
    throw errore_formato(std::to_string(c.rimasti()) + " bytes follow row " +
                         std::to_string(kRigheTabella - 1) + ", the last row, at byte " +
                         std::to_string(c.posizione()) + ": the file is not a table of " +
                         std::to_string(kRigheTabella) + " rows");
  }
  return tabella;
}

tracciato_letto leggi_tracciato(std::span<const uint8_t> byte) {
  cursore_byte c(byte);
  std::size_t elementi = 0;
  while (!c.alla_fine()) salta_elemento(c, elementi++);
  if (elementi == 0 || elementi % 2 != 0) {
    throw errore_formato("the plan holds " + std::to_string(elementi) +
                         " elements: a plan is two halves of equal length (every first "
                         "coordinate, then every second one), so the count must be even "
                         "and above 0");
  }
  // The plan keeps the file's bytes as they are.
  return piano_tracciato::dai_byte(byte);
}

file_scenario file_di_scenario(const std::filesystem::path& cartella, std::string_view percorso,
                               std::string_view treno) {
  modello m;
  m.percorso = percorso;
  m.treno = treno;
  return {percorso_file(cartella, nome_file_tracciato(m)),
          percorso_file(cartella, nome_file_tabella(m)),
          percorso_file(cartella, nome_file_celle(m))};
}

modello leggi_scenario(const std::filesystem::path& cartella, std::string_view percorso,
                       std::string_view treno) {
  modello m;
  m.percorso = percorso;
  m.treno = treno;
  const file_scenario file = file_di_scenario(cartella, percorso, treno);
  const std::string tabella = leggi_file(file.tabella, limite_di(tipo_file_compilato::tabella));
  try {
    m.tabella = leggi_tabella(come_byte(tabella));
  } catch (const errore_formato& e) {
    throw errore_formato(in_file(file.tabella, e));
  }
  m.celle = leggi_file_celle(file.celle);
  m.ultima_cella = static_cast<int32_t>(m.celle.size() - 1);
  // No plan file is no fault: the run may have built none.
  if (const auto tracciato =
          leggi_file_se_esiste(file.tracciato, limite_di(tipo_file_compilato::tracciato))) {
    try {
      m.tracciato = leggi_tracciato(come_byte(*tracciato));
    } catch (const errore_formato& e) {
      throw errore_formato(in_file(file.tracciato, e));
    }
    m.crea_tracciato = 1;
    m.lunghezza_estesa = static_cast<int32_t>(m.tracciato[0].size() - 1);
  }
  return m;
}

std::vector<scenario_trovato> scenari_in(const std::filesystem::path& cartella) {
  std::error_code errore;
  std::filesystem::directory_iterator it(cartella, errore);
  if (errore) throw errore_file_system(cartella, "list the folder", errore.message());
  std::vector<scenario_trovato> trovati;
  for (const auto& voce_cartella : it) {
    const std::filesystem::path& file = voce_cartella.path();
    if (file.extension() != ".sim" || !voce_cartella.is_regular_file()) continue;
    const std::string nome = testo_file(file.stem());
    scenario_trovato s;
    try {
      const auto tabella =
          leggi_tabella(come_byte(leggi_file(file, limite_di(tipo_file_compilato::tabella))));
      modello m;
      m.percorso = tabella[kRigaDatiPercorso].nome;
      m.treno = tabella[kRigaDatiTreno].nome;
      if (testo_file(file.filename()) == utf8_da_1252(nome_file_tabella(m))) {
        s = {utf8_da_1252(m.percorso), utf8_da_1252(m.treno)};
      }
    } catch (const errore_formato&) {
      // Named by its file name below.
    }
    if (s.percorso.empty()) {
      const auto sotto = nome.rfind('_');
      if (sotto == std::string::npos) continue;
      s = {nome.substr(0, sotto), nome.substr(sotto + 1)};
    }
    trovati.push_back(std::move(s));
  }
  std::sort(trovati.begin(), trovati.end(), [](const auto& a, const auto& b) {
    return std::tie(a.percorso, a.treno) < std::tie(b.percorso, b.treno);
  });
  return trovati;
}

std::optional<nomi_scenario> scegli_scenario(const std::filesystem::path& cartella,
                                             const std::optional<std::string>& percorso,
                                             const std::optional<std::string>& treno,
                                             std::string_view comando, int stato_uso,
                                             std::ostream& errori, int& stato) {
  scenario_trovato scelto;
  if (percorso && treno) {
    scelto = {*percorso, *treno};
  } else {
    std::vector<scenario_trovato> adatti;
    for (const scenario_trovato& s : scenari_in(cartella)) {
      if ((!percorso || s.percorso == *percorso) && (!treno || s.treno == *treno)) {
        adatti.push_back(s);
      }
    }
    if (adatti.size() != 1) {
      errori << comando << ": " << testo_file(cartella)
             << (adatti.empty() ? " holds no compiled scenario (no .sim table file)"
                                : " holds " + std::to_string(adatti.size()) +
                                      " scenarios; choose one with --route and --train:")
             << '\n';
      for (const scenario_trovato& s : adatti) {
        errori << "  --route " << s.percorso << " --train " << s.treno << '\n';
      }
      stato = adatti.empty() ? uscita_file_system : stato_uso;
      return std::nullopt;
    }
    scelto = adatti.front();
  }
  const std::optional<std::string> percorso_1252 = cp1252_da_utf8(scelto.percorso);
  const std::optional<std::string> treno_1252 = cp1252_da_utf8(scelto.treno);
  if (!percorso_1252 || !treno_1252) {
    errori << comando
           << ": the route name and the train number must be texts the Windows-1252 code page "
              "can write\n";
    stato = kUscitaFileNonConforme;
    return std::nullopt;
  }
  return nomi_scenario{*percorso_1252, *treno_1252};
}

bool scriverebbe_su(const std::filesystem::path& uscita,
                    std::initializer_list<std::filesystem::path> letti, std::string_view comando,
                    std::ostream& errori) {
  for (const std::filesystem::path& letto : letti) {
    if (!stesso_file(uscita, letto)) continue;
    errori << comando << ": '" << testo_file(uscita) << "' is a file " << comando << " reads ('"
           << testo_file(letto) << "'): write it elsewhere\n";
    return true;
  }
  return false;
}

}  // namespace scenario
