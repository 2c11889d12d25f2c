#include "base/file_cartella.h"

#include <array>
#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <system_error>
#include <type_traits>

#include "base/codifica.h"

namespace scenario {
namespace fs = std::filesystem;

namespace {

// A temporary name keeps at most this much of the real name (in the host's
// units), so that it stays within the 255 a file name may have however long
// the real one is: "." + 200 + "." + 12 + ".tmp" = 218.
constexpr std::size_t kUnitaNomeNelTemporaneo = 200;
constexpr std::size_t kCaratteriCasuali = 12;
// A name already taken is tried again with other random characters: with
// 36^12 names, to find a hundred taken in a row, someone must be making them.
constexpr int kTentativiTemporaneo = 100;
constexpr std::size_t kByteBlocco = std::size_t{1} << 16;

std::string messaggio(const fs::path& file, std::string_view azione, std::string_view motivo) {
  std::string testo = "cannot ";
  testo += azione;
  testo += " '";
  testo += file.string();
  testo += "': ";
  testo += motivo;
  return testo;
}

// A seed that differs between processes and threads, and between calls.
uint64_t seme() {
  static std::atomic<uint64_t> chiamate{0};
  uint64_t valore = sistema::numero_processo() << 32;
  valore ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  valore ^= chiamate.fetch_add(1) * 0x9E3779B97F4A7C15ULL;
  try {
    std::random_device dispositivo;
    valore ^= (uint64_t{dispositivo()} << 32) | dispositivo();
  } catch (const std::exception&) {
    // No source of randomness: the process number and the clock still tell
    // this process's names apart, and a taken name is only tried again.
  }
  return valore;
}

std::string caratteri_casuali() {
  static constexpr std::string_view kCifre = "0123456789abcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937_64 generatore(seme());
  std::string testo(kCaratteriCasuali, '0');
  for (char& c : testo) c = kCifre[generatore() % kCifre.size()];
  return testo;
}

// Where to cut a name of the host's units at `fine` or just before, so as
// not to cut a character in two (a UTF-8 sequence on POSIX, a surrogate pair
// on Windows).
template <class Unita>
std::size_t taglio_tra_caratteri(const std::basic_string<Unita>& nome, std::size_t fine) {
  using senza_segno = std::make_unsigned_t<Unita>;
  if constexpr (sizeof(Unita) == 1) {
    while (fine > 0 && (static_cast<senza_segno>(nome[fine]) & 0xC0U) == 0x80U) --fine;
  } else {
    const auto prima_tolta = static_cast<senza_segno>(nome[fine]);
    if (prima_tolta >= 0xDC00U && prima_tolta <= 0xDFFFU) --fine;
  }
  return fine;
}

// The first units of a name, at most kUnitaNomeNelTemporaneo.
fs::path::string_type inizio_del_nome(const fs::path::string_type& nome) {
  if (nome.size() <= kUnitaNomeNelTemporaneo) return nome;
  return nome.substr(0, taglio_tra_caratteri(nome, kUnitaNomeNelTemporaneo));
}

// ".NAME.<random>.tmp" beside `file`: hidden on POSIX, and never a name
// Windows reserves for a device (what comes before its first dot is empty).
fs::path nome_temporaneo(const fs::path& file) {
  fs::path::string_type nome = fs::path(".").native();
  nome += inizio_del_nome(file.filename().native());
  nome += fs::path("." + caratteri_casuali() + ".tmp").native();
  return file.parent_path() / nome;
}

std::string non_regolare(sistema::tipo_file tipo) {
  return "it is " + std::string(sistema::descrizione(tipo)) + ", not a regular file";
}

// A real name may be replaced when it is missing, a file or a link; a folder,
// FIFO, device or socket stays. What cannot be told is left to the rename.
void rifiuta_se_speciale(const fs::path& file) {
  switch (const sistema::tipo_file tipo = sistema::tipo_del_nome(file)) {
    case sistema::tipo_file::mancante:
    case sistema::tipo_file::regolare:
    case sistema::tipo_file::collegamento:
    case sistema::tipo_file::sconosciuto:
      return;
    default:
      throw errore_file_system(file, "replace", non_regolare(tipo));
  }
}

errore_file_system troppo_grande(const fs::path& file, const limite_lettura& limite) {
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  const std::string quanto = limite.byte % kMiB == 0 ? std::to_string(limite.byte / kMiB) + " MiB"
                                                     : std::to_string(limite.byte) + " bytes";
  return errore_file_system(
      file, "read",
      "it is larger than " + quanto + ", the most " + std::string(limite.cosa) + " may be");
}

std::string leggi_aperto(const sistema::apertura& a, const fs::path& file,
                         const limite_lettura& limite) {
  if (!a.file.aperto()) throw errore_file_system(file, "read", a.motivo);
  const sistema::stato_file stato = sistema::stato_di(a.file);
  if (stato.tipo != sistema::tipo_file::regolare) {
    throw errore_file_system(file, "read", non_regolare(stato.tipo));
  }
  if (stato.byte > limite.byte) throw troppo_grande(file, limite);
  std::string contenuto;
  contenuto.reserve(static_cast<std::size_t>(stato.byte));
  std::array<char, kByteBlocco> blocco{};
  // The size was asked before the reading began: a file that grows meanwhile
  // is still cut off at the limit.
  for (;;) {
    const sistema::lettura l = sistema::leggi_blocco(a.file, blocco);
    if (l.errore) throw errore_file_system(file, "read", *l.errore);
    if (l.letti == 0) return contenuto;
    if (contenuto.size() + l.letti > limite.byte) throw troppo_grande(file, limite);
    contenuto.append(blocco.data(), l.letti);
  }
}

}  // namespace

errore_file_system::errore_file_system(const fs::path& file, std::string_view azione,
                                       std::string_view motivo)
    : std::runtime_error(messaggio(file, azione, motivo)), file_(file) {}

fs::path percorso_file(const fs::path& cartella, std::string_view nome) {
  return cartella /
         fs::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8_da_1252(nome).c_str())));
}

file_in_sostituzione::file_in_sostituzione(fs::path file, bool eseguibile)
    : file_(std::move(file)) {
  rifiuta_se_speciale(file_);
  for (int tentativo = 0; tentativo < kTentativiTemporaneo; ++tentativo) {
    fs::path candidato = nome_temporaneo(file_);
    sistema::apertura a = sistema::crea_nuovo(candidato, eseguibile);
    if (a.file.aperto()) {
      temporaneo_ = std::move(candidato);
      aperto_ = std::move(a.file);
      return;
    }
    // Nothing to clean up: what stands under a taken name is not ours.
    if (!a.occupato) throw errore_file_system(file_, "create a temporary file for", a.motivo);
  }
  throw errore_file_system(file_, "create a temporary file for",
                           "every temporary name tried was taken");
}

file_in_sostituzione::~file_in_sostituzione() {
  if (!confermato_) abbandona();
}

// Closes and removes the temporary file, the one this object made; the real
// name keeps what it had.
void file_in_sostituzione::abbandona() noexcept {
  aperto_ = sistema::file_aperto();
  if (!temporaneo_.empty()) sistema::rimuovi(temporaneo_);
}

// A fault names the file the bytes were meant for, with the system's reason.
void file_in_sostituzione::scrivi(std::span<const uint8_t> byte) {
  if (!aperto_.aperto()) throw std::logic_error("write to a file already closed");
  if (auto errore = sistema::scrivi_tutto(aperto_, byte)) {
    throw errore_file_system(file_, "write", *errore);
  }
}

void file_in_sostituzione::conferma() {
  if (!aperto_.aperto()) throw std::logic_error("a file confirmed twice");
  if (auto errore = aperto_.chiudi()) throw errore_file_system(file_, "close", *errore);
  // Asked again just before the rename: the real name may have changed
  // while the file was written.
  rifiuta_se_speciale(file_);
  if (auto errore = sistema::rinomina(temporaneo_, file_)) {
    throw errore_file_system(file_, "replace", *errore);
  }
  confermato_ = true;
}

void sostituisci_file(const fs::path& file, std::span<const uint8_t> byte) {
  file_in_sostituzione f(file);
  f.scrivi(byte);
  f.conferma();
}

void sostituisci_file(const fs::path& file, std::string_view byte) {
  sostituisci_file(
      file, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(byte.data()), byte.size()));
}

void sostituisci_programma(const fs::path& file, std::string_view byte) {
  file_in_sostituzione f(file, true);
  f.scrivi(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(byte.data()), byte.size()));
  f.conferma();
}

bool esiste_file(const fs::path& file) {
  std::error_code errore;
  return fs::is_regular_file(file, errore);
}

std::string leggi_file(const fs::path& file, const limite_lettura& limite) {
  return leggi_aperto(sistema::apri_in_lettura(file), file, limite);
}

std::optional<std::string> leggi_file_se_esiste(const fs::path& file,
                                                const limite_lettura& limite) {
  const sistema::apertura a = sistema::apri_in_lettura(file);
  if (a.mancante) return std::nullopt;
  return leggi_aperto(a, file, limite);
}

void elimina_file(const fs::path& file) {
  std::error_code errore;
  if (fs::is_directory(file, errore)) throw errore_file_system(file, "delete", "it is a folder");
  fs::remove(file, errore);
  if (errore) throw errore_file_system(file, "delete", errore.message());
}

bool stesso_file(const fs::path& a, const fs::path& b) {
  std::error_code errore;
  return fs::equivalent(a, b, errore) && !errore;
}

}  // namespace scenario
