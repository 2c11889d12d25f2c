#include "scenario/pacchetto.h"

#include <array>
#include <limits>

#include "base/binario.h"
#include "base/crc32.h"
#include "base/nome_file.h"
#include "compiler/modello.h"
#include "scenario/sorgenti.h"

namespace scenario {
namespace {

constexpr std::string_view kRifaiPacchetto = ": make it again with scenario-tool build";

template <typename T>
void aggiungi(std::string& byte, T valore) {
  std::array<uint8_t, sizeof(T)> b{};
  metti_le(b.data(), valore);
  byte.append(reinterpret_cast<const char*>(b.data()), b.size());
}

void aggiungi_testo(std::string& byte, std::string_view testo) {
  if (testo.size() > std::numeric_limits<uint32_t>::max())
    throw std::length_error("a text of a scenario holds at most 4 GiB");
  aggiungi(byte, static_cast<uint32_t>(testo.size()));
  byte += testo;
}

void aggiungi_righe(std::string& byte, const std::vector<std::string>& righe) {
  aggiungi(byte, static_cast<uint32_t>(righe.size()));
  for (const std::string& riga : righe) aggiungi_testo(byte, riga);
}

template <typename T>
T prendi(std::string_view byte, std::size_t dove) {
  return prendi_le<T>(reinterpret_cast<const uint8_t*>(byte.data()) + dove);
}

// The bundle's bytes read in order; any length past their end means a
// layout this runner cannot take.
class lettore {
 public:
  explicit lettore(std::string_view byte) : byte_(byte) {}

  std::string testo() {
    const uint32_t n = numero();
    if (n > byte_.size() - dove_) guasto();
    std::string t(byte_.substr(dove_, n));
    dove_ += n;
    return t;
  }

  std::vector<std::string> righe() {
    const uint32_t n = numero();
    // Each line takes 4 bytes at least.
    if (n > (byte_.size() - dove_) / 4) guasto();
    std::vector<std::string> r;
    r.reserve(n);
    for (uint32_t i = 0; i < n; ++i) r.push_back(testo());
    return r;
  }

  bool finito() const { return dove_ == byte_.size(); }

  [[noreturn]] static void guasto() {
    throw errore_pacchetto("this program's scenario does not have the layout of its version" +
                           std::string(kRifaiPacchetto));
  }

 private:
  uint32_t numero() {
    if (byte_.size() - dove_ < 4) guasto();
    const auto n = prendi<uint32_t>(byte_, dove_);
    dove_ += 4;
    return n;
  }

  std::string_view byte_;
  std::size_t dove_ = 0;
};

}  // namespace

std::string byte_pacchetto(const pacchetto_scenario& p) {
  std::string byte;
  aggiungi_testo(byte, p.percorso);
  aggiungi_testo(byte, p.treno);
  aggiungi_testo(byte, p.testo_linea);
  aggiungi_testo(byte, p.testo_treno);
  aggiungi_righe(byte, p.scheda);
  aggiungi_righe(byte, p.rallentamenti);
  aggiungi_righe(byte, p.note);
  const uint32_t somma = crc32(byte);
  const auto lunghezza = static_cast<uint64_t>(byte.size());
  aggiungi(byte, lunghezza);
  aggiungi(byte, kVersionePacchetto);
  aggiungi(byte, somma);
  byte += kFirmaPacchetto;
  return byte;
}

pacchetto_scenario pacchetto_del_programma(std::string_view programma) {
  if (programma.size() < kByteCoda ||
      programma.substr(programma.size() - kFirmaPacchetto.size()) != kFirmaPacchetto) {
    throw errore_pacchetto("this program carries no scenario, or its scenario is cut short" +
                           std::string(kRifaiPacchetto));
  }
  const std::size_t coda = programma.size() - kByteCoda;
  const auto lunghezza = prendi<uint64_t>(programma, coda);
  const auto versione = prendi<uint32_t>(programma, coda + 8);
  const auto somma = prendi<uint32_t>(programma, coda + 12);
  if (versione != kVersionePacchetto) {
    throw errore_pacchetto("this program's scenario has the format version " +
                           std::to_string(versione) + ", which this runner does not read" +
                           std::string(kRifaiPacchetto));
  }
  if (lunghezza > coda) {
    throw errore_pacchetto("this program's scenario is cut short" + std::string(kRifaiPacchetto));
  }
  const std::string_view byte = programma.substr(coda - lunghezza, lunghezza);
  if (crc32(byte) != somma) {
    throw errore_pacchetto("this program's scenario is altered (its checksum does not match)" +
                           std::string(kRifaiPacchetto));
  }
  lettore l(byte);
  pacchetto_scenario p;
  p.percorso = l.testo();
  p.treno = l.testo();
  p.testo_linea = l.testo();
  p.testo_treno = l.testo();
  p.scheda = l.righe();
  p.rallentamenti = l.righe();
  p.note = l.righe();
  if (!l.finito()) lettore::guasto();
  // The names become file names in the run's folder: never a path elsewhere.
  modello m;
  m.percorso = p.percorso;
  m.treno = p.treno;
  for (const std::string& nome : {nome_file_dati_linea(m), nome_file_dati_treno(m)}) {
    if (auto motivo = motivo_nome_non_valido(nome)) {
      throw errore_pacchetto("this program's scenario names the file '" + nome + "', which " +
                             *motivo + std::string(kRifaiPacchetto));
    }
  }
  return p;
}

}  // namespace scenario
