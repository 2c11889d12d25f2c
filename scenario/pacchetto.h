// A scenario as data: what the program's run works on. The embedded scenario
// is one, compiled into the program; a runner reads one joined to its own
// executable file, where scenario-tool build put it.
//
// The joined scenario is the executable's bytes followed by the bundle's
// bytes and a trailer of 24 bytes, little-endian:
//   u64 length of the bundle's bytes, u32 format version, u32 CRC-32 of the
//   bundle's bytes, 8 bytes "SCENARIO"
// and the bundle's bytes are, in this order: the route name, the train
// number, the line text and the train text (each a u32 length and its
// bytes), then the train card, the slowdown order form and the notes (each a
// u32 count of lines, and each line a u32 length and its bytes).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct pacchetto_scenario {
  std::string percorso;  // route name, Windows-1252
  std::string treno;     // train number, Windows-1252
  // The two source texts, the bytes their files get.
  std::string testo_linea;
  std::string testo_treno;
  // The three documents for the driver: lines, Windows-1252, without line ends.
  std::vector<std::string> scheda;
  std::vector<std::string> rallentamenti;
  std::vector<std::string> note;
  bool operator==(const pacchetto_scenario&) const = default;
};

inline constexpr uint32_t kVersionePacchetto = 1;
inline constexpr std::string_view kFirmaPacchetto = "SCENARIO";
inline constexpr std::size_t kByteCoda = 24;

// The bytes to append to a runner's executable: the bundle and its trailer.
std::string byte_pacchetto(const pacchetto_scenario& p);

// Why a runner refuses to run: its message is the one line the user sees.
class errore_pacchetto : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The scenario joined to the executable whose whole file is `programma`.
// Throws errore_pacchetto when there is none, when it is cut short, when its
// checksum or its layout is wrong, or when its names are no file names.
pacchetto_scenario pacchetto_del_programma(std::string_view programma);

}  // namespace scenario
