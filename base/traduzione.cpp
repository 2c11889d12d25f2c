#include "base/traduzione.h"

#include <algorithm>
#include <cstring>

namespace scenario {
namespace {

constexpr uint32_t kMagiaMo = 0x950412de;
constexpr std::size_t kByteIntestazioneMo = 28;  // seven 32-bit words
constexpr std::size_t kByteVoceTabella = 8;      // length and offset

uint32_t parola(std::string_view byte, std::size_t dove) {
  uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    v |= static_cast<uint32_t>(static_cast<unsigned char>(byte[dove + i])) << (8 * i);
  }
  return v;
}

// Whether the table of `voci` entries at `inizio` lies within `byte`, and
// each of its strings too, with its closing NUL.
bool tabella_valida(std::string_view byte, std::size_t inizio, std::size_t voci) {
  if (inizio > byte.size() || voci > (byte.size() - inizio) / kByteVoceTabella) return false;
  for (std::size_t n = 0; n < voci; ++n) {
    const std::size_t lunghezza = parola(byte, inizio + n * kByteVoceTabella);
    const std::size_t dove = parola(byte, inizio + n * kByteVoceTabella + 4);
    if (dove > byte.size() || lunghezza >= byte.size() - dove || byte[dove + lunghezza] != '\0') {
      return false;
    }
  }
  return true;
}

// The text up to its first NUL: the singular of a plural entry's original.
std::string_view prima_forma(std::string_view testo) { return testo.substr(0, testo.find('\0')); }

// Form `n` (from 0) of a translation whose forms are separated by NULs.
std::optional<std::string_view> forma(std::string_view traduzione, std::size_t n) {
  std::size_t inizio = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t nul = traduzione.find('\0', inizio);
    if (nul == std::string_view::npos) return std::nullopt;
    inizio = nul + 1;
  }
  return prima_forma(traduzione.substr(inizio));
}

}  // namespace

std::optional<lingua> lingua_del_locale(std::string_view nome) {
  if (nome.empty()) return std::nullopt;
  const bool italiano =
      nome.size() >= 2 && (nome[0] == 'i' || nome[0] == 'I') &&
      (nome[1] == 't' || nome[1] == 'T') &&
      (nome.size() == 2 || nome[2] == '_' || nome[2] == '.' || nome[2] == '@' || nome[2] == '-');
  return italiano ? lingua::italiano : lingua::inglese;
}

lingua lingua_da_variabili(std::string_view lc_all, std::string_view lc_messages,
                           std::string_view lang) {
  for (std::string_view valore : {lc_all, lc_messages, lang}) {
    if (const std::optional<lingua> l = lingua_del_locale(valore)) return *l;
  }
  return lingua::inglese;
}

std::optional<lingua> lingua_da_opzione(std::string_view valore) {
  if (valore == "it") return lingua::italiano;
  if (valore == "en") return lingua::inglese;
  return std::nullopt;
}

std::optional<catalogo> catalogo::da_byte(std::string_view byte) {
  if (byte.size() < kByteIntestazioneMo || parola(byte, 0) != kMagiaMo) return std::nullopt;
  const std::size_t voci = parola(byte, 8);
  const std::size_t originali = parola(byte, 12);
  const std::size_t traduzioni = parola(byte, 16);
  if (!tabella_valida(byte, originali, voci) || !tabella_valida(byte, traduzioni, voci)) {
    return std::nullopt;
  }
  return catalogo(byte, voci, originali, traduzioni);
}

std::string_view catalogo::stringa(std::size_t tabella, std::size_t n) const {
  const std::size_t lunghezza = parola(byte_, tabella + n * kByteVoceTabella);
  const std::size_t dove = parola(byte_, tabella + n * kByteVoceTabella + 4);
  return byte_.substr(dove, lunghezza);
}

catalogo::voce catalogo::voce_n(std::size_t n) const {
  return {stringa(originali_, n), stringa(traduzioni_, n)};
}

std::optional<std::string_view> catalogo::cerca(std::string_view originale) const {
  // msgfmt sorts the originals by their bytes (a plural entry by its
  // singular, which its NUL ends): a binary search finds one.
  std::size_t da = 0;
  std::size_t a = voci_;
  while (da < a) {
    const std::size_t mezzo = da + (a - da) / 2;
    const std::string_view chiave = prima_forma(stringa(originali_, mezzo));
    if (chiave < originale) {
      da = mezzo + 1;
    } else if (originale < chiave) {
      a = mezzo;
    } else {
      return stringa(traduzioni_, mezzo);
    }
  }
  return std::nullopt;
}

std::string_view catalogo::intestazione() const { return cerca("").value_or(""); }

traduttore::traduttore(lingua l) : lingua_(l) {
  if (l == lingua::italiano) catalogo_ = catalogo::da_byte(catalogo_italiano());
}

std::string_view traduttore::tr(std::string_view inglese) const {
  if (!catalogo_ || inglese.empty()) return inglese;
  const std::optional<std::string_view> t = catalogo_->cerca(inglese);
  return t && !t->empty() ? prima_forma(*t) : inglese;
}

std::string_view traduttore::trn(std::string_view singolare, std::string_view plurale,
                                 uint64_t n) const {
  const std::size_t indice = n == 1 ? 0 : 1;
  if (catalogo_) {
    if (const std::optional<std::string_view> t = catalogo_->cerca(singolare)) {
      if (const std::optional<std::string_view> f = forma(*t, indice); f && !f->empty()) return *f;
    }
  }
  return indice == 0 ? singolare : plurale;
}

std::string componi(std::string_view modello, std::initializer_list<std::string_view> valori) {
  std::string testo;
  testo.reserve(modello.size());
  for (std::size_t i = 0; i < modello.size(); ++i) {
    if (modello.compare(i, 2, "{{") == 0) {
      testo += '{';
      ++i;
      continue;
    }
    if (modello[i] == '{' && i + 2 < modello.size() && modello[i + 1] >= '0' &&
        modello[i + 1] <= '9' && modello[i + 2] == '}') {
      const auto indice = static_cast<std::size_t>(modello[i + 1] - '0');
      if (indice < valori.size()) {
        testo += *(valori.begin() + indice);
        i += 2;
        continue;
      }
    }
    testo += modello[i];
  }
  return testo;
}

std::vector<int> segnaposto(std::string_view testo) {
  std::vector<int> indici;
  for (std::size_t i = 0; i + 2 < testo.size(); ++i) {
    if (testo.compare(i, 2, "{{") == 0) {
      ++i;
      continue;
    }
    if (testo[i] == '{' && testo[i + 1] >= '0' && testo[i + 1] <= '9' && testo[i + 2] == '}') {
      indici.push_back(testo[i + 1] - '0');
      i += 2;
    }
  }
  return indici;
}

}  // namespace scenario
