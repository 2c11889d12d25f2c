// The records of the route model as the compiled files hold them: for a cell
// and a table row, every member in file order with its name, width and
// meaning; for a plan element, its three forms with their tags
// (kFormeElemento, in compiler/piano_tracciato.h beside the plan that keeps
// its file's bytes). The writer, the file reader behind dump and plot, dump's
// labels and the reference pages all go through these lists; none lists the
// members again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "compiler/modello.h"

namespace scenario {

// One member of record R, of type T.
template <typename R, typename T>
struct membro {
  using record = R;
  using tipo = T;
  std::string_view nome;
  T R::*campo;
  std::string_view significato;
};

template <typename T>
inline constexpr bool kTesto = std::is_same_v<T, std::string>;

// The bytes a member takes in a file: its own width; a text takes a 16-bit
// length, which this counts, followed by its bytes, which it does not.
template <typename T>
inline constexpr std::size_t kByteFissi = kTesto<T> ? 2 : sizeof(T);
// The longest text the 16-bit length can give.
inline constexpr std::size_t kByteTestoTabella = std::numeric_limits<uint16_t>::max();

// The cell record: 15 bytes in the cell file, one after another.
inline constexpr std::tuple kMembriCella{
    membro<cella, uint8_t>{"evento", &cella::evento,
                           "kind of point object in the cell (0 none; see the evento table)"},
    membro<cella, int16_t>{"dato1", &cella::dato1, "first value of the object"},
    membro<cella, int16_t>{"dato2", &cella::dato2, "second value of the object"},
    membro<cella, int16_t>{"dato3", &cella::dato3, "third value of the object"},
    membro<cella, int16_t>{"dato4", &cella::dato4, "fourth value of the object"},
    membro<cella, uint8_t>{"tempo_segnale", &cella::tempo_segnale,
                           "a signal's time byte (its tempo when sx is 2, else 0)"},
    membro<cella, uint8_t>{"preavviso", &cella::preavviso,
                           "approach mark: 81-84 before a station's stop, (sx * 3 + dx) * 10 + "
                           "1-4 before a signal"},
    membro<cella, uint8_t>{"montagna", &cella::montagna,
                           "type of the montagna stretch that covers the cell"},
    membro<cella, uint8_t>{"vel_limite", &cella::vel_limite, "line speed limit in km/h / 5"},
    membro<cella, uint8_t>{"pendenza", &cella::pendenza, "gradient in per mille + 100"},
    membro<cella, uint8_t>{"aderenza", &cella::aderenza, "adhesion in percent (low 8 bits)"},
};

// The table row record: 34 bytes and its name, 87 rows one after another.
// The members campo4..campo13 hold the station row's values of the same
// number.
inline constexpr std::tuple kMembriVoce{
    membro<voce, uint8_t>{"tipo", &voce::tipo, "a station's kind (its value 2)"},
    membro<voce, int32_t>{"inizio", &voce::inizio,
                          "a station zone's start (m); the first value of a constants row"},
    membro<voce, int32_t>{"fine", &voce::fine,
                          "a station zone's end (m); the second value of a constants row"},
    membro<voce, int32_t>{"posizione", &voce::posizione,
                          "a station's position (its value 1); the third value of a constants row"},
    membro<voce, uint8_t>{"campo4", &voce::campo4, "a station's value 4"},
    membro<voce, std::string>{"nome", &voce::nome,
                              "a station's name, a board text, the route name (row 85) or the "
                              "train number (row 86): a 16-bit length, then Windows-1252 bytes"},
    membro<voce, int16_t>{"campo7", &voce::campo7,
                          "a station's value 7; the marker 610 in row 85; the sand in row 86"},
    membro<voce, int16_t>{"campo8", &voce::campo8, "a station's value 8"},
    membro<voce, int16_t>{"campo10", &voce::campo10,
                          "a station's value 10; the clock's hours in row 86"},
    membro<voce, int16_t>{"campo11", &voce::campo11,
                          "a station's value 11; the clock's minutes in row 86"},
    membro<voce, int16_t>{"campo12", &voce::campo12,
                          "a station's value 12; the clock's seconds in row 86"},
    membro<voce, uint8_t>{"campo9", &voce::campo9, "a station's value 9"},
    membro<voce, uint8_t>{"campo13", &voce::campo13, "a station's value 13"},
    membro<voce, uint8_t>{"campo6", &voce::campo6,
                          "a station's value 6; 0 for kinds 5-8 and on the first station"},
    membro<voce, uint8_t>{"campo5", &voce::campo5,
                          "a station's value 5; kept only with a platform of 600 m or more, and "
                          "not on the first station"},
    membro<voce, int32_t>{"orario", &voce::orario,
                          "a station's time of day in seconds; the check code st in row 85"},
};

// Calls f(m) for every member m of a record's list, in file order.
template <typename Membri, typename F>
constexpr void per_ogni_membro(const Membri& membri, F&& f) {
  std::apply([&f](const auto&... m) { (f(m), ...); }, membri);
}

// The bytes a record takes in a file, its texts' own bytes left out.
template <typename Membri>
constexpr std::size_t byte_fissi(const Membri& membri) {
  std::size_t totale = 0;
  per_ogni_membro(membri, [&totale](const auto& m) {
    totale += kByteFissi<typename std::remove_cvref_t<decltype(m)>::tipo>;
  });
  return totale;
}

inline constexpr std::size_t kByteCella = byte_fissi(kMembriCella);
inline constexpr std::size_t kByteVoceSenzaNome = byte_fissi(kMembriVoce);
static_assert(kByteCella == 15 && kByteVoceSenzaNome == 34);

// What a cell's `evento` stands for, and what its dato1..dato4 then hold.
struct descrizione_evento {
  uint8_t evento;
  std::string_view nome;     // the object's name in dump's output
  std::string_view oggetto;  // the object in English, for messages and the reference
  std::string_view posto_da;
  std::array<std::string_view, 4> dati;  // what dato1..dato4 hold; empty: nothing
};
inline constexpr std::array<descrizione_evento, 12> kEventi = {{
    {0, "nessuno", "nothing", "", {}},
    {kEventoSegnale,
     "segnale",
     "signal",
     "a signal row",
     {"s1 * 10 + d1", "s2 * 10 + d2", "s3 * 10 + d3", "rapp * 10 + sx * 3 + dx"}},
    {kEventoFineRallentamento,
     "fine rallentamento",
     "slowdown end",
     "a slowdown row",
     {"v", "d_v when nonzero", "f_tt", ""}},
    {kEventoInizioRallentamento,
     "inizio rallentamento",
     "slowdown start",
     "a slowdown row",
     {"v", "d_v when nonzero", "f_tt", ""}},
    {kEventoAvvisoRallentamento,
     "avviso rallentamento",
     "slowdown warning board",
     "a slowdown row beyond 1500 m, 1200 m before its start",
     {"v", "d_v when nonzero", "", ""}},
    {kEventoPreavvisoRallentamento,
     "preavviso rallentamento",
     "slowdown pre-warning cell",
     "a slowdown row with f_ta, in the four cells before its warning board",
     {"1 to 4", "1 to 4 when d_v is nonzero", "", ""}},
    {kEventoVelocita,
     "indicatore velocita massima",
     "speed board",
     "a speed board row",
     {"vad / 5 + vas * 20", "vbd / 5 + vbs * 20", "vcd / 5 + vcs * 20",
      "strisces * 10 + strisced"}},
    {kEventoFermata,
     "fermata stazione",
     "station stop mark",
     "a station row of kind below 25, on cell (zone end) / 50 - 1",
     {"the station's table row", "", "", ""}},
    {kEventoMarcaMontagna,
     "segno montagna",
     "montagna mark",
     "a montagna row of type above 10, every fourth cell; it leaves the cell free",
     {}},
    {kEventoPuntoCodice,
     "punto codice",
     "code point",
     "the completion walk, or an abbattimento row with a value",
     {"the code value (180 or less from the walk)", "", "", ""}},
    {kEventoAbbattimento,
     "abbattimento senza valore",
     "abbattimento point",
     "an abbattimento row without a value",
     {}},
    {kEventoCartello,
     "cartello indicatore",
     "indication board",
     "an indication board row",
     {"the table row of its text", "", "", ""}},
}};

// The description of an `evento` value; nothing for a value no part sets.
inline constexpr const descrizione_evento* evento_di(uint8_t evento) {
  for (const descrizione_evento& e : kEventi) {
    if (e.evento == evento) return &e;
  }
  return nullptr;
}

}  // namespace scenario
