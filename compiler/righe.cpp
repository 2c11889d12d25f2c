#include "compiler/righe.h"

#include "base/codifica.h"
#include "base/nomi_enum.h"

namespace scenario {
namespace {

using slot = slot_valore;

// What real lines keep within. A speed limit beyond the fastest lines, a
// gradient beyond what adhesion can climb, a clock beyond a day.
constexpr intervallo_plausibile kVelocitaReale{0, 350};
constexpr intervallo_plausibile kPendenzaReale{-60, 60};
constexpr intervallo_plausibile kPercentuale{0, 100};
constexpr intervallo_plausibile kOre{0, 23};
constexpr intervallo_plausibile kMinutiSecondi{0, 59};

constexpr std::array kCampiLunghezza = {
    campo_riga{"route length", "m", slot::int32,
               "the route's length L, at most 1000000; the cell strip runs to L + 7000 m, cells "
               "0 to round((L + 7000) / 50)"},
};
constexpr std::array kCampiProgressiva = {
    campo_riga{"beginning", "m", slot::int32,
               "where the chainage segment begins along the route; a multiple of 50"},
    campo_riga{"offset", "m", slot::int32,
               "the chainage of the segment; a multiple of 50; 100 is added when the flag is 1"},
    campo_riga{"flag", "", slot::int32, "1 adds 100 m to the offset; stored as read"},
};
constexpr std::array kCampiSfondo = {
    campo_riga{"position", "m", slot::int32, "where the background begins; stored as read"},
};
constexpr std::array kCampiRipetizione = {
    campo_riga{"start", "m", slot::int32,
               "start of the stretch with cab-signal repetition; a multiple of 50"},
    campo_riga{"end", "m", slot::int32,
               "its end; a multiple of 50; 0 means no repetition (the code count is then 0)"},
};
constexpr std::array kCampiPendenza = {
    campo_riga{"position", "m", slot::int32,
               "where the gradient begins: it fills the cells from round(position / 50) up to "
               "the next gradient row's cell"},
    campo_riga{"gradient", "per mille", slot::int32,
               "stored as gradient + 100 in one byte of every cell it covers (-100 to 155)",
               kPendenzaReale},
};
constexpr std::array kCampiCurva = {
    campo_riga{"start", "m", slot::int32, "first plan point the curve bends"},
    campo_riga{"length", "m", slot::int32,
               "metres the curve bends; start + length stays within the route + 7000 m - 2"},
};
constexpr std::array kCampiMontagna = {
    campo_riga{"start", "m", slot::int32, "first cell of the stretch: round(start / 50)"},
    campo_riga{"end", "m", slot::int32,
               "the stretch's cells end at round(end / 50 - 1); the end must lie within the "
               "route"},
    campo_riga{"type", "", slot::int32,
               "stored in one byte of each cell; above 10: type - 10 with a mark every fourth "
               "cell; a stretch starting at most 150 m after the previous one's end gets type 3"},
};
constexpr std::array kCampiIndicatori = {
    campo_riga{"posizione", "m", slot::int32,
               "the board stands on cell round(posizione / 50 + 1), which must be free"},
    campo_riga{"vas", "km/h", slot::int32,
               "first-set speed for rank A; packed as vas * 20 + vad / 5", kVelocitaReale},
    campo_riga{"vbs", "km/h", slot::int32,
               "first-set speed for rank B; packed as vbs * 20 + vbd / 5", kVelocitaReale},
    campo_riga{"vcs", "km/h", slot::int32,
               "first-set speed for rank C; packed as vcs * 20 + vcd / 5", kVelocitaReale},
    campo_riga{"strisces", "", slot::int32,
               "stripes of the first set; packed as strisces * 10 + strisced"},
    campo_riga{"vad", "km/h", slot::int32,
               "second-set speed for rank A; empty when there is no second set", kVelocitaReale,
               true},
    campo_riga{"vbd", "km/h", slot::int32, "second-set speed for rank B", kVelocitaReale, true},
    campo_riga{"vcd", "km/h", slot::int32, "second-set speed for rank C", kVelocitaReale, true},
    campo_riga{"strisced", "", slot::int32, "stripes of the second set"},
};
constexpr std::array kCampiCartello = {
    campo_riga{"position", "m", slot::int32,
               "the board stands on cell round(position / 50 + 1), which must be free"},
    campo_riga{"text", "", slot::testo,
               "the board's text, to the end of the line (no comma); stored in a table row from "
               "80 downwards"},
};
constexpr std::array kCampiMassa = {
    campo_riga{"braked-mass percentage", "%", slot::int32, "stored in table row 84"},
};
constexpr std::array kCampiVetture = {
    campo_riga{"number of cars", "", slot::int32, "stored in table row 84"},
};
constexpr std::array kCampiVelocita = {
    campo_riga{"position", "m", slot::int32,
               "where the limit begins: it fills the cells from round(position / 50) up to the "
               "next speed row's cell"},
    campo_riga{"speed", "km/h", slot::int32,
               "stored divided by 5 and rounded in one byte of every cell it covers (at most 1277)",
               kVelocitaReale},
};
constexpr std::array kCampiAderenza = {
    campo_riga{"position", "m", slot::int32,
               "where the adhesion begins: it fills the cells from round(position / 50) up to "
               "the next adhesion row's cell"},
    campo_riga{"adhesion", "%", slot::int32,
               "100 is full adhesion; its low 8 bits are stored in every cell it covers",
               kPercentuale},
};
constexpr std::array kCampiOrologio = {
    campo_riga{"hours", "h", slot::int16, "the scenario's clock, stored in table row 86", kOre},
    campo_riga{"minutes", "min", slot::int16, "stored in table row 86", kMinutiSecondi},
    campo_riga{"seconds", "s", slot::int16, "stored in table row 86", kMinutiSecondi},
};
constexpr std::array kCampiSabbia = {
    campo_riga{"sand", "", slot::int16, "the train's sand, stored in table row 86"},
};
constexpr std::array kCampiSegnale = {
    campo_riga{"posizione", "m", slot::int32,
               "the signal stands on cell round(posizione / 50 + 1), which must be free; approach "
               "marks go 2, 4, 6 and 8 cells before it"},
    campo_riga{"sx", "", slot::int32, "selector of the s group (1 or 2); 2 makes tempo count"},
    campo_riga{"s1", "", slot::int32, "a digit, packed as s1 * 10 + d1 in dato1"},
    campo_riga{"s2", "", slot::int32, "a digit, packed as s2 * 10 + d2 in dato2"},
    campo_riga{"s3", "", slot::int32, "a digit, packed as s3 * 10 + d3 in dato3"},
    campo_riga{"rapp", "", slot::int32, "packed as rapp * 10 + sx * 3 + dx in dato4"},
    campo_riga{"dx", "", slot::int32, "selector of the d group (0 to 2)"},
    campo_riga{"d1", "", slot::int32, "a digit of the d group"},
    campo_riga{"d2", "", slot::int32, "a digit of the d group"},
    campo_riga{"d3", "", slot::int32, "a digit of the d group"},
    campo_riga{"tempo", "", slot::int32,
               "taken when sx is 2: 1 to 100 count as 101; its low 8 bits are stored"},
};
constexpr std::array kCampiRallentamento = {
    campo_riga{"x", "m", slot::int32,
               "start: cell round(x / 50 + 1); beyond 1500 m a warning board stands 1200 m "
               "before it"},
    campo_riga{"v", "km/h", slot::int32, "the slowdown's speed, stored with its points",
               kVelocitaReale},
    campo_riga{"l", "m", slot::int32, "its length: the end stands on cell round((x + l) / 50 + 1)"},
    campo_riga{"f_tt", "", slot::int32, "stored with the start and end points"},
    campo_riga{"f_ta", "", slot::int32, "nonzero: four pre-warning cells before the warning board"},
    campo_riga{"d_v", "", slot::int32, "stored with the points when nonzero"},
};
constexpr std::array kCampiAbbattimento = {
    campo_riga{"position", "m", slot::int32,
               "the point stands on cell round(position / 50), which must be free"},
    campo_riga{"value", "", slot::int32,
               "above 0: a code point with this value; otherwise a point without value"},
};
constexpr std::array kCampiStazione = {
    campo_riga{"posizione", "m", slot::int32,
               "the station's reference point; a multiple of 50; + 800 m within the strip"},
    campo_riga{"tipo", "", slot::byte,
               "the kind: 5-6 and 7-8 shape the zone; from 25 on no cell marks"},
    campo_riga{"platform length", "m", slot::int32,
               "a multiple of 100; shapes the zone, not stored"},
    campo_riga{"campo4", "", slot::byte, "stored unchanged"},
    campo_riga{"campo5", "", slot::byte,
               "kept only with a platform of 600 m or more, and not on the first station"},
    campo_riga{"campo6", "", slot::byte,
               "nonzero lengthens the zone by 50 m (kinds other than 5-8); cleared on the first "
               "station"},
    campo_riga{"campo7", "", slot::int16, "stored unchanged"},
    campo_riga{"campo8", "", slot::int16, "stored unchanged"},
    campo_riga{"campo9", "", slot::byte, "stored unchanged"},
    campo_riga{"campo10", "", slot::int16, "stored unchanged"},
    campo_riga{"campo11", "", slot::int16, "stored unchanged"},
    campo_riga{"campo12", "", slot::int16, "stored unchanged"},
    campo_riga{"campo13", "", slot::byte, "stored unchanged"},
    campo_riga{"hours", "h", slot::int32, "the timetable time of day, hours", kOre},
    campo_riga{"minutes", "min", slot::int32, "minutes", kMinutiSecondi},
    campo_riga{"seconds", "s", slot::int32,
               "seconds; the time is stored as hours * 3600 + minutes * 60 + seconds",
               kMinutiSecondi},
    campo_riga{"nome", "", slot::testo, "the station's name, to the end of the line (no comma)"},
};

constexpr std::array<descrizione_riga, kTipiRiga> kRighe = {{
    {tipo_riga::lunghezza,
     testo_letto::linea,
     sezione_riga::generale,
     "lunghezza percorso",
     "route length row",
     {"lunghezza", "percorso"},
     true,
     "[generale]",
     "The route's length; it sizes the cell strip and the plan. Required before the general "
     "section ends.",
     kCampiLunghezza},
    {tipo_riga::progressiva_tre,
     testo_letto::linea,
     sezione_riga::generale,
     "progressiva chilometrica tre",
     "chainage row",
     {"tre", "progressiva"},
     false,
     "[generale]",
     "Chainage segment three (table row 81 as read; the three segments are then put in order).",
     kCampiProgressiva},
    {tipo_riga::progressiva_due,
     testo_letto::linea,
     sezione_riga::generale,
     "progressiva chilometrica due",
     "chainage row",
     {"due", "progressiva"},
     false,
     "[generale]",
     "Chainage segment two (table row 82 as read).",
     kCampiProgressiva},
    {tipo_riga::progressiva_uno,
     testo_letto::linea,
     sezione_riga::generale,
     "progressiva chilometrica uno",
     "chainage row",
     {"uno", "progressiva"},
     false,
     "[generale]",
     "Chainage segment one (table row 83 as read).",
     kCampiProgressiva},
    {tipo_riga::sfondo_uno,
     testo_letto::linea,
     sezione_riga::generale,
     "sfondo uno",
     "background row",
     {"sfondo", "uno"},
     false,
     "[generale]",
     "Where background one begins (table row 85).",
     kCampiSfondo},
    {tipo_riga::sfondo_due,
     testo_letto::linea,
     sezione_riga::generale,
     "sfondo due",
     "background row",
     {"sfondo", "due"},
     false,
     "[generale]",
     "Where background two begins (table row 85).",
     kCampiSfondo},
    {tipo_riga::sfondo_tre,
     testo_letto::linea,
     sezione_riga::generale,
     "sfondo tre",
     "background row",
     {"sfondo", "tre"},
     false,
     "[generale]",
     "Where background three begins (table row 85).",
     kCampiSfondo},
    {tipo_riga::ripetizione,
     testo_letto::linea,
     sezione_riga::generale,
     "ripetizione segnali 4 codici",
     "signal repetition row",
     {"segnali", "ripetizione"},
     false,
     "[generale]",
     "The stretch with cab-signal repetition (table row 86); the keyword names 4 or 9 codes.",
     kCampiRipetizione},
    {tipo_riga::pendenza,
     testo_letto::linea,
     sezione_riga::dopo_generale,
     "pendenza",
     "gradient row",
     {"pendenza", ""},
     true,
     "[pendenze]",
     "A gradient from a position on; rows ascend by position, at least 50 m apart.",
     kCampiPendenza},
    {tipo_riga::curva,
     testo_letto::linea,
     sezione_riga::dopo_generale,
     "curvas4",
     "curve row",
     {"curva", ""},
     true,
     "[curve]",
     "A curve of the track plan: \"curva\", the side (s left, d right) and the class 1-6 in the "
     "keyword; read only when the plan is built. Rows ascend and do not overlap.",
     kCampiCurva},
    {tipo_riga::montagna,
     testo_letto::linea,
     sezione_riga::dopo_generale,
     "montagna",
     "montagna row",
     {"montagna", ""},
     true,
     "[montagne]",
     "A montagna stretch; at most 80.",
     kCampiMontagna},
    {tipo_riga::indicatori,
     testo_letto::linea,
     sezione_riga::dopo_generale,
     "indicatori_vmax",
     "speed board row",
     {"indicatori_v", ""},
     true,
     "[cartelli]",
     "A speed indicator board with one or two sets of speeds for ranks A, B and C.",
     kCampiIndicatori},
    {tipo_riga::cartello,
     testo_letto::linea,
     sezione_riga::dopo_generale,
     "cartello_indicatore",
     "indication board row",
     {"cartello", "indicat"},
     true,
     "[indicazioni]",
     "An indication board with its text; at most 80, sharing the table with the stations.",
     kCampiCartello},
    {tipo_riga::massa_frenata,
     testo_letto::treno,
     sezione_riga::treno,
     "percentuale massa frenata",
     "braked-mass row",
     {"frenata", "massa"},
     true,
     "[generale]",
     "The train's braked-mass percentage.",
     kCampiMassa},
    {tipo_riga::vetture,
     testo_letto::treno,
     sezione_riga::treno,
     "numero vetture",
     "number-of-cars row",
     {"vetture", ""},
     true,
     "[generale]",
     "The train's number of cars.",
     kCampiVetture},
    {tipo_riga::velocita,
     testo_letto::treno,
     sezione_riga::treno,
     "velocita",
     "speed row",
     {"velocit", ""},
     true,
     "[vel_limite]",
     "A line speed limit from a position on; rows ascend by position, the first at 0 m.",
     kCampiVelocita},
    {tipo_riga::aderenza,
     testo_letto::treno,
     sezione_riga::treno,
     "aderenza",
     "adhesion row",
     {"aderenza", ""},
     true,
     "[aderenze]",
     "The adhesion from a position on; rows ascend by position, the first at 0 m.",
     kCampiAderenza},
    {tipo_riga::orologio,
     testo_letto::treno,
     sezione_riga::treno,
     "orologio",
     "clock row",
     {"orologio", ""},
     true,
     "[generale]",
     "The scenario's clock setting.",
     kCampiOrologio},
    {tipo_riga::sabbia,
     testo_letto::treno,
     sezione_riga::treno,
     "sabbia",
     "sand row",
     {"sabbia", ""},
     true,
     "[generale]",
     "The train's sand.",
     kCampiSabbia},
    {tipo_riga::segnale,
     testo_letto::treno,
     sezione_riga::treno,
     "segnale",
     "signal row",
     {"segnale", ""},
     true,
     "[segnali]",
     "A signal with its codes.",
     kCampiSegnale},
    {tipo_riga::rallentamento,
     testo_letto::treno,
     sezione_riga::treno,
     "rallentamento",
     "slowdown row",
     {"rallentamento", ""},
     true,
     "[rallentamenti]",
     "A temporary slowdown: its warning board, start and end points.",
     kCampiRallentamento},
    {tipo_riga::abbattimento,
     testo_letto::treno,
     sezione_riga::treno,
     "abbattimento",
     "abbattimento row",
     {"abbattimento", ""},
     true,
     "[codici]",
     "An abbattimento point, with a code value or without.",
     kCampiAbbattimento},
    {tipo_riga::stazione,
     testo_letto::treno,
     sezione_riga::treno,
     "stazione",
     "station row",
     {"stazione", ""},
     true,
     "[stazioni]",
     "A station with its timetable time; stations stand in route order, at most 78 less one per "
     "board text.",
     kCampiStazione},
}};

constexpr std::array<std::string_view, 7> kIntestazioniLinea = {
    "[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::array<std::string_view, 8> kIntestazioniTreno = {
    "[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

// The table is indexed by kind: its order is the enum's.
constexpr bool in_ordine() {
  for (std::size_t n = 0; n < kRighe.size(); ++n) {
    if (static_cast<std::size_t>(kRighe[n].tipo) != n) return false;
  }
  return true;
}
static_assert(in_ordine(), "kRighe lists the kinds in the order of tipo_riga");

}  // namespace

std::string_view intervallo_slot(slot_valore s) {
  constexpr std::array<std::string_view, 4> kIntervalli = {
      "0 to 255", "-32768 to 32767", "-2147483648 to 2147483647", "at most 65535 bytes"};
  return nome_di(s, kIntervalli);
}

std::string_view nome_slot(slot_valore s) {
  constexpr std::array<std::string_view, 4> kNomi = {"byte", "16-bit", "32-bit", "text"};
  return nome_di(s, kNomi);
}

std::span<const descrizione_riga> tutte_le_righe() { return kRighe; }

const descrizione_riga& descrizione(tipo_riga tipo) {
  return kRighe[static_cast<std::size_t>(tipo)];
}

bool passa(tipo_riga tipo, std::string_view campo, std::string_view minuscolo) {
  const descrizione_riga& d = descrizione(tipo);
  const std::string_view provato = d.ignora_maiuscole ? minuscolo : campo;
  for (std::string_view parola : d.parole) {
    if (!parola.empty() && !contiene(provato, parola)) return false;
  }
  return true;
}

std::span<const std::string_view> intestazioni(testo_letto testo) {
  if (testo == testo_letto::linea) return kIntestazioniLinea;
  return kIntestazioniTreno;
}

}  // namespace scenario
