#include "base/codici_errore.h"

#include <algorithm>
#include <string>

namespace scenario {

bool codice_definito(int32_t codice) {
  return std::find(kCodiciErrore.begin(), kCodiciErrore.end(), codice) != kCodiciErrore.end();
}

std::string_view significato_codice(int32_t codice) {
  switch (codice) {
    case 0:
      return "no error";
    case 1:
      return "route length above 1000000 m";
    case 2:
      return "a kilometre reference value is not a multiple of 50";
    case 3:
      return "the signal repetition start is not a multiple of 50";
    case 4:
      return "the signal repetition end is not a multiple of 50";
    case 5:
      return "the signal repetition line names neither 4 nor 9 codes";
    case 6:
      return "an indication board falls on a taken cell";
    case 7:
      return "an abbattimento point falls on a taken cell";
    case 8:
      return "a station position is not a multiple of 50";
    case 9:
      return "a platform length is not a multiple of 100";
    case 10:
      return "one station, board text or montagna row more than the model has room for";
    case 11:
      return "no room for a code point before a signal ahead of a slowdown warning board";
    case 12:
      return "no room for a code point in an approach window before a slowdown start";
    case 13:
      return "no room for a code point inside a slowdown or before the first signal after it";
    case 15:
      return "a position lies outside the cell strip";
    case 16:
      return "a signal falls on a taken cell";
    case 17:
      return "a slowdown warning board falls on a taken cell";
    case 18:
      return "a slowdown start falls on a taken cell";
    case 19:
      return "a slowdown end falls on a taken cell";
    case 20:
      return "one of the four cells (200 m) before a slowdown warning board is taken";
    case 21:
      return "a speed indicator board falls on a taken cell";
    case 22:
      return "a station zone is too near the previous station";
    case 24:
      return "a stopping station is too near the start of the route";
    case 25:
      return "read failure in a source text (a row cut short, a value outside its slot, no route "
             "length)";
    case 101:
      return "the line description file is missing";
    case 102:
      return "the line description file has no [generale] section";
    case 103:
      return "a curve row has no class digit, or the track plan runs past 1000000 m";
    default:
      return "unknown code";
  }
}

std::string descrivi_errore(int32_t codice, int32_t posizione) {
  std::string testo = "code ";
  testo += std::to_string(codice);
  testo += " (";
  testo += significato_codice(codice);
  testo += ") at position ";
  testo += std::to_string(posizione);
  testo += " m";
  return testo;
}

std::string testo_errore(std::string_view a) {
  std::string testo = " Errore n. ";
  testo += a;
  return testo;
}

}  // namespace scenario
