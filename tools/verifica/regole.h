// The rules check warns by, each with the name the output shows and --allow
// takes, and what it finds. The format reference and the README list them
// from here.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace scenario {

struct regola_avviso {
  std::string_view nome;
  std::string_view significato;
};

inline constexpr regola_avviso kRegolaOrdine{
    "order",
    "rows of one kind out of order; says which stretch loses its value, from where to where"};
inline constexpr regola_avviso kRegolaPassoPendenze{"gradient-spacing",
                                                    "gradient rows less than 50 m apart"};
inline constexpr regola_avviso kRegolaCurveSovrapposte{"curve-overlap", "overlapping curves"};
inline constexpr regola_avviso kRegolaOltrePercorso{
    "past-route",
    "a row, an object or the end of a stretch beyond the end of the route (in the run-out) or "
    "before its start"};
inline constexpr regola_avviso kRegolaRovesciato{
    "reversed", "a stretch whose end is not after its start, or a length of 0 or less"};
inline constexpr regola_avviso kRegolaImplausibile{
    "implausible",
    "a value no real line has: a speed above 350 km/h, a gradient beyond 60 per mille, an "
    "adhesion above 100 %, an hour from 24, minutes or seconds from 60"};
inline constexpr regola_avviso kRegolaMultiploVelocita{
    "speed-multiple", "a speed that is not a multiple of 5 km/h: the cell keeps steps of 5"};
inline constexpr regola_avviso kRegolaAvvolto{
    "wrap", "a value that does not fit its 8- or 16-bit member: only its low bits are kept"};
inline constexpr regola_avviso kRegolaIntervalloPendenza{
    "gradient-range", "a gradient outside -100 to 155 per mille, what a cell holds"};
inline constexpr regola_avviso kRegolaCifra{"digit", "a signal value that is not a digit 0 to 9"};
inline constexpr regola_avviso kRegolaPrimaRiga{"first-row",
                                                "a first speed or adhesion row that is not at 0 m"};
inline constexpr regola_avviso kRegolaNonNumero{
    "not-a-number",
    "a token in a number field that is not a plain number; says what it is read as"};
inline constexpr regola_avviso kRegolaCampoVuoto{
    "empty-field", "an empty number field, which reads as 0 (a double comma)"};
inline constexpr regola_avviso kRegolaFrazione{
    "fraction", "a number with a fraction in a whole-number slot; says what is stored"};
inline constexpr regola_avviso kRegolaSeparatore{
    "separator", "a semicolon or a tab where a comma should separate values"};
inline constexpr regola_avviso kRegolaRigaCorta{
    "short-row",
    "a row with fewer values on its line than its kind takes: it takes the next line's"};
inline constexpr regola_avviso kRegolaValoriInPiu{
    "extra-values",
    "a row with more values on its line than its kind takes: the rest are read as keywords"};
inline constexpr regola_avviso kRegolaCommento{
    "comment",
    "a line written as a comment (;, #, //, ', REM): the format has none, and a comment that "
    "holds a keyword is read as a row"};
inline constexpr regola_avviso kRegolaNonRiconosciuto{
    "unrecognised", "a field no keyword test takes, with the nearest keyword; it is ignored"};
inline constexpr regola_avviso kRegolaFormaChiave{
    "keyword-form",
    "a keyword the readers take in a form that is not its usual spelling; says what is read"};
inline constexpr regola_avviso kRegolaSezione{
    "section", "a row under another kind's header, or a header misspelt into a row keyword"};
inline constexpr regola_avviso kRegolaVirgola{
    "comma", "a station name or board text with a comma, which cuts it"};
inline constexpr regola_avviso kRegolaVirgolette{
    "quote", "a quoted name or board text that runs on past its line"};
inline constexpr regola_avviso kRegolaRigaFinale{
    "closing-line", "a row keyword as the last field of a text, which the reader never examines"};
inline constexpr regola_avviso kRegolaSenzaGenerale{
    "no-generale", "a train text without [generale], of which the reader takes no row"};
inline constexpr regola_avviso kRegolaCodifica{
    "encoding",
    "a text saved as UTF-8 or with a byte-order mark; says which characters will read wrong"};
inline constexpr regola_avviso kRegolaTestoVuoto{
    "empty-text", "a train text with nothing in it but blanks: no train is laid on the line"};

inline constexpr regola_avviso kRegolaNomi{
    "names",
    "a train text named for another route than the line text (ROUTE_linea.txt, "
    "ROUTE_TRAIN-.txt); says which route and train are used"};

// The rules of meaning: rows each sound on its own that together say what no
// author means.
inline constexpr regola_avviso kRegolaOrarioIndietro{
    "timetable-back",
    "a station time before the one of the timed station before it along the route (a time of "
    "0 is no time; one more than 12 hours earlier reads as a run past midnight)"};
inline constexpr regola_avviso kRegolaPrimaOrologio{
    "before-clock",
    "the first time of the timetable before the clock setting (orologio), by up to 12 hours "
    "(more reads as a run past midnight)"};
inline constexpr regola_avviso kRegolaRallentamentoVeloce{
    "slowdown-speed",
    "a slowdown whose speed is not below the train's speed limit anywhere along it: it slows "
    "nothing"};
inline constexpr regola_avviso kRegolaOltreCartello{
    "above-board",
    "a train speed limit above every speed, of every rank and set, of the speed boards "
    "(indicatori_vmax) in force along it; says which board"};
inline constexpr regola_avviso kRegolaNomeStazione{
    "station-name", "two stations of one name (letter case and blanks around it aside)"};
inline constexpr regola_avviso kRegolaSenzaOrario{
    "no-time", "a stopping station (kind below 25, a stop mark) with no time, 0:00:00"};

inline constexpr std::array kRegoleAvviso = {
    kRegolaNonNumero,
    kRegolaCampoVuoto,
    kRegolaFrazione,
    kRegolaSeparatore,
    kRegolaRigaCorta,
    kRegolaValoriInPiu,
    kRegolaCommento,
    kRegolaNonRiconosciuto,
    kRegolaFormaChiave,
    kRegolaSezione,
    kRegolaOrdine,
    kRegolaPassoPendenze,
    kRegolaCurveSovrapposte,
    kRegolaRovesciato,
    kRegolaOltrePercorso,
    kRegolaImplausibile,
    kRegolaMultiploVelocita,
    kRegolaIntervalloPendenza,
    kRegolaAvvolto,
    kRegolaCifra,
    kRegolaPrimaRiga,
    kRegolaVirgola,
    kRegolaVirgolette,
    kRegolaRigaFinale,
    kRegolaSenzaGenerale,
    kRegolaCodifica,
    kRegolaTestoVuoto,
    kRegolaNomi,
    kRegolaOrarioIndietro,
    kRegolaPrimaOrologio,
    kRegolaRallentamentoVeloce,
    kRegolaOltreCartello,
    kRegolaNomeStazione,
    kRegolaSenzaOrario,
};

// The rule of this name; nothing when there is none.
const regola_avviso* regola_di(std::string_view nome);

}  // namespace scenario
