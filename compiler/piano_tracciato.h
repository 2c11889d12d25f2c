// The track plan as the plan file holds it: the model keeps the file's own
// bytes, every first coordinate of the points and then every second one,
// each element a 16-bit tag and the value its form has. The compile writes
// the points into those bytes as it computes them, the writer puts them to
// disk in one piece, and a plan read back from a file is that file's bytes:
// nothing is held twice and nothing is converted on the way out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "base/binario.h"
#include "base/memoria_grande.h"

namespace scenario {

// A plan element is empty, a 16-bit integer or a double; the file keeps the
// distinction, so the model does too.
enum class tipo_elemento : uint8_t { vuoto, intero, doppio };

struct elemento_tracciato {
  tipo_elemento tipo = tipo_elemento::vuoto;
  double valore = 0.0;  // an integer element holds its int16 value exactly

  bool operator==(const elemento_tracciato&) const = default;
};

// A plan element in the plan file: a 16-bit tag, then the value its form has.
struct forma_elemento {
  tipo_elemento tipo;
  uint16_t tag;
  std::size_t byte;  // tag included
  std::string_view significato;
};
inline constexpr uint16_t kTagVuoto = 0;
inline constexpr uint16_t kTagIntero = 2;
inline constexpr uint16_t kTagDoppio = 5;
inline constexpr std::size_t kByteTag = 2;
inline constexpr std::array<forma_elemento, 3> kFormeElemento = {{
    {tipo_elemento::vuoto, kTagVuoto, 2, "the two last points, which the plan does not reach"},
    {tipo_elemento::intero, kTagIntero, 4, "the coordinates of points 0 and 1: (0, 0) and (0, 1)"},
    {tipo_elemento::doppio, kTagDoppio, 10, "every point the line reader computes, in metres"},
}};

inline constexpr const forma_elemento& forma_di(tipo_elemento t) {
  return kFormeElemento[static_cast<std::size_t>(t)];
}

// The form of a tag; nothing for a tag no form has.
const forma_elemento* forma_del_tag(uint16_t tag);

// The plan's memory: not cleared when it is handed out, as the plan writes
// every byte it keeps before anyone reads it (clearing would only touch every
// page one time more), and taken in the system's large pages when it is
// large (base/memoria_grande.h).
template <typename T>
struct memoria_piano {
  using value_type = T;
  template <typename U>
  struct rebind {
    using other = memoria_piano<U>;
  };
  memoria_piano() = default;
  template <typename U>
  explicit memoria_piano(const memoria_piano<U>& /*altra*/) {}

  T* allocate(std::size_t n) { return static_cast<T*>(prendi_memoria_grande(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { rendi_memoria_grande(p, n * sizeof(T)); }
  template <typename U>
  void construct(U* dove) {
    ::new (static_cast<void*>(dove)) U;
  }
  template <typename U, typename... A>
  void construct(U* dove, A&&... argomenti) {
    ::new (static_cast<void*>(dove)) U(std::forward<A>(argomenti)...);
  }
  template <typename U>
  bool operator==(const memoria_piano<U>& /*altra*/) const {
    return true;
  }
};

class piano_tracciato {
 public:
  // One half of the plan: coordinate 0 or 1 of every point, read as
  // elements. Indexing and iteration give elements by value.
  class meta {
   public:
    class iteratore;
    std::size_t size() const { return piano_->punti_; }
    bool empty() const { return piano_->punti_ == 0; }
    // Both check the point: past the last one they throw std::out_of_range.
    elemento_tracciato operator[](std::size_t punto) const {
      return piano_->elemento(coordinata_, punto);
    }
    elemento_tracciato at(std::size_t punto) const { return piano_->elemento(coordinata_, punto); }
    iteratore begin() const;
    iteratore end() const;

   private:
    friend class piano_tracciato;
    meta(const piano_tracciato& piano, std::size_t coordinata)
        : piano_(&piano), coordinata_(coordinata) {}
    const piano_tracciato* piano_;
    std::size_t coordinata_;
  };
  class iteratore_meta;

  // The half of coordinate 0 or 1.
  meta operator[](std::size_t coordinata) const { return {*this, coordinata}; }
  iteratore_meta begin() const;
  iteratore_meta end() const;

  // The bytes the plan keeps in memory: no more than its file has, once a
  // compile has laid it out (the system may map a large buffer in whole
  // 2 MiB pages).
  std::size_t memoria() const { return byte_.capacity(); }

  // The number of points; 0 when there is no plan.
  std::size_t punti() const { return punti_; }
  bool vuoto() const { return punti_ == 0; }

  // No plan at all. The memory stays, for the next plan.
  void svuota();

  // Whether the plans prepared from now on keep their points (the default)
  // or only count them: a compile whose plan nobody reads (check) still
  // reads the curve rows and meets the plan's limits, but computes and keeps
  // nothing. A plan that only counts has no elements and no bytes to give
  // (std::logic_error). Empties the plan.
  void conserva_byte(bool conserva);
  bool conserva() const { return conserva_; }

  // A plan of `punti` points, none set yet, in the memory of the last plan
  // when it is enough.
  void prepara(std::size_t punti);

  // Points 0..posati() - 1 are set; the others are empty until set.
  std::size_t posati() const { return posati_; }

  // Sets the next point, posati(); throws std::out_of_range past the last.
  void posa(const elemento_tracciato& x, const elemento_tracciato& y);

  // Room for the next `n` points, all doubles, for the compile to write as
  // it computes them: point posati() + k goes to x + 10 k in the first half
  // and y + 10 k in the second, each through scrivi_doppio. The points count
  // as set from now on, so each must be written before the plan is read.
  // Throws std::out_of_range when fewer than `n` points are left. A plan
  // that only counts gives no room (null pointers).
  struct spazio_doppi {
    uint8_t* x;
    uint8_t* y;
  };
  spazio_doppi apri_doppi(std::size_t n);

  // A double element, tag and value, at `dove`.
  static void scrivi_doppio(uint8_t* dove, double valore) {
    metti_le(dove, kTagDoppio);
    metti_le(dove + kByteTag, valore);
  }

  // Every point not set stays empty, and the two halves join: the plan is
  // complete and its bytes are the file's.
  void completa();
  bool completo() const { return completo_; }

  // The bytes of the plan file, both halves; the plan must be complete
  // (throws std::logic_error otherwise).
  std::span<const uint8_t> byte() const;

  // A complete plan from the bytes of a plan file whose elements have been
  // checked: every tag one of kFormeElemento, an even number of elements,
  // none cut short. Throws std::invalid_argument when they are not.
  static piano_tracciato dai_byte(std::span<const uint8_t> byte);

  // The element of point `punto` in half `coordinata`; empty past posati().
  // Throws std::out_of_range past the last point.
  elemento_tracciato elemento(std::size_t coordinata, std::size_t punto) const;

  // The bytes of one half of a plan of `punti` points as the compile makes
  // it when it reaches the end: points 0 and 1 integers, the last two empty,
  // every other point a double.
  static std::size_t byte_meta_compilata(std::size_t punti);

  // Equal points with equal elements, whatever memory each keeps.
  bool operator==(const piano_tracciato& altro) const;

 private:
  // Points primo.. of one half have one form, from byte `inizio` of the half on.
  struct serie {
    std::size_t primo;
    std::size_t inizio;
    tipo_elemento tipo;
  };
  struct meta_posata {
    std::size_t inizio = 0;  // where the half starts in byte_
    std::size_t fine = 0;    // where its points set so far end
    std::vector<serie> tratti;
  };

  void richiedi_punti(std::size_t n) const;
  void richiedi_byte() const;
  std::size_t posto(std::size_t coordinata, tipo_elemento tipo, std::size_t n);
  void sposta_seconda_meta(std::size_t nuovo_inizio, std::size_t spazio);

  std::span<const uint8_t> byte_meta(std::size_t coordinata) const;

  // The first half from byte 0, the second from meta_[1].inizio; once the
  // plan is complete the second follows the first at once.
  std::vector<uint8_t, memoria_piano<uint8_t>> byte_;
  std::size_t punti_ = 0;
  std::size_t posati_ = 0;
  bool completo_ = true;
  bool conserva_ = true;
  std::array<meta_posata, 2> meta_;
};

// Walks the points of one half, giving each element by value.
class piano_tracciato::meta::iteratore {
 public:
  using value_type = elemento_tracciato;
  using difference_type = std::ptrdiff_t;
  iteratore() = default;
  iteratore(const piano_tracciato& piano, std::size_t coordinata, std::size_t punto)
      : piano_(&piano), coordinata_(coordinata), punto_(punto) {}
  elemento_tracciato operator*() const { return piano_->elemento(coordinata_, punto_); }
  iteratore& operator++() {
    ++punto_;
    return *this;
  }
  iteratore operator++(int) {
    iteratore prima = *this;
    ++punto_;
    return prima;
  }
  bool operator==(const iteratore& altro) const { return punto_ == altro.punto_; }

 private:
  const piano_tracciato* piano_ = nullptr;
  std::size_t coordinata_ = 0;
  std::size_t punto_ = 0;
};

inline piano_tracciato::meta::iteratore piano_tracciato::meta::begin() const {
  return {*piano_, coordinata_, 0};
}
inline piano_tracciato::meta::iteratore piano_tracciato::meta::end() const {
  return {*piano_, coordinata_, size()};
}

// Walks the two halves, first coordinates then second ones.
class piano_tracciato::iteratore_meta {
 public:
  using value_type = meta;
  using difference_type = std::ptrdiff_t;
  iteratore_meta() = default;
  iteratore_meta(const piano_tracciato& piano, std::size_t coordinata)
      : piano_(&piano), coordinata_(coordinata) {}
  meta operator*() const { return (*piano_)[coordinata_]; }
  iteratore_meta& operator++() {
    ++coordinata_;
    return *this;
  }
  iteratore_meta operator++(int) {
    iteratore_meta prima = *this;
    ++coordinata_;
    return prima;
  }
  bool operator==(const iteratore_meta& altro) const { return coordinata_ == altro.coordinata_; }

 private:
  const piano_tracciato* piano_ = nullptr;
  std::size_t coordinata_ = 0;
};

inline piano_tracciato::iteratore_meta piano_tracciato::begin() const { return {*this, 0}; }
inline piano_tracciato::iteratore_meta piano_tracciato::end() const { return {*this, 2}; }

}  // namespace scenario
