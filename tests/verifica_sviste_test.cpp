// check on the slips an author makes while editing the embedded scenario:
// each slip, made on one line of the embedded texts, is reported at that
// line; ordinary correct edits leave check with nothing to say.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/scrittore_testo.h"
#include "scenario/sorgenti.h"
#include "tools/verifica/verifica.h"

namespace scenario {
namespace {

struct modifica {
  std::string nome;
  char testo;          // 'l' the line text, 't' the train text
  std::string riga;    // the line to change: the first that begins so
  std::string nuova;   // what it becomes ("" drops it)
  bool prima = false;  // `nuova` goes in before it, the line stays
};

std::vector<std::string> righe_di(std::span<const std::string_view> r) {
  return {r.begin(), r.end()};
}

// The embedded texts with one change; the number (from 1) of the changed line.
struct testi_modificati {
  std::string linea;
  std::string treno;
  int64_t riga = 0;
};

testi_modificati applica(const modifica& m) {
  std::vector<std::string> linea = righe_di(righe_dati_linea());
  std::vector<std::string> treno = righe_di(righe_dati_treno());
  std::vector<std::string>& cambiato = m.testo == 'l' ? linea : treno;
  testi_modificati t;
  for (std::size_t n = 0; n < cambiato.size(); ++n) {
    if (cambiato[n].rfind(m.riga, 0) != 0) continue;
    t.riga = static_cast<int64_t>(n) + 1;
    if (m.prima) {
      cambiato.insert(cambiato.begin() + static_cast<std::ptrdiff_t>(n), m.nuova);
    } else if (m.nuova.empty()) {
      cambiato.erase(cambiato.begin() + static_cast<std::ptrdiff_t>(n));
    } else {
      cambiato[n] = m.nuova;
    }
    break;
  }
  EXPECT_GT(t.riga, 0) << "no line begins with '" << m.riga << "'";
  auto testo = [](const std::vector<std::string>& r) {
    std::vector<std::string_view> v(r.begin(), r.end());
    return testo_da_righe(v);
  };
  t.linea = testo(linea);
  t.treno = testo(treno);
  return t;
}

std::vector<diagnosi> verifica(const testi_modificati& t) {
  return verifica_testi({"l.txt", t.linea}, {"t.txt", t.treno});
}

TEST(Sviste, EachSlipIsReportedAtItsLine) {
  const std::vector<modifica> sviste = {
      {"a letter l for a one", 't', "velocita,   40250", "velocita,   40250,    l5"},
      {"a letter O for a zero", 'l', "pendenza,  19300", "pendenza,  19300,   1O"},
      {"a letter in a position", 't', "segnale,   16600",
       "segnale,   l6600,   1, 3, 4,  0, 0,    0,  0,0,0, 0"},
      {"a station without its seconds", 't', "stazione,    8400",
       "stazione,    8400, 24,  400,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,52, VESSANO"},
      {"a signal without its tempo", 't', "segnale,   38400",
       "segnale,   38400,   1, 5, 1,  0, 0,    0,  0,0,0"},
      {"a value too many", 't', "velocita,   44550", "velocita,   44550,    85, 90"},
      {"a double comma", 't', "segnale,    4150",
       "segnale,    4150,,   1, 4, 1,  0, 0,    2,  3,1,0, 0"},
      {"a misspelt keyword", 't', "stazione,   19000",
       "stazone,   19000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   60,   7,18,30, BRUCIGNANO"},
      {"a capitalised keyword", 't', "segnale,   27900",
       "Segnale,   27900,   1, 5, 1,  0, 0,    0,  0,0,0, 0"},
      {"a curve without its side", 'l', "curvas4,  600", "curva4,  600,  500"},
      {"a row commented out", 't', "segnale,   29100",
       "; segnale,   29100,   1, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {"a note", 't', "segnale,   50500", "signals renewed in 2024", true},
      {"semicolons", 't', "velocita,   50550", "velocita;50550;70"},
      {"a fraction", 'l', "pendenza,  19500", "pendenza,  19500,   35.5"},
      {"a montagna with its ends swapped", 'l', "montagna,   21600",
       "montagna,   22000,  21600,  2"},
      {"a signal past the end of the route", 't', "segnale,   51800",
       "segnale,   58500,   1, 3, 1,  0, 0,    0,  0,0,0, 0", true},
      {"an impossible speed", 't', "velocita,   44550", "velocita,   44550,   1000"},
      {"25 o'clock", 't', "stazione,   30000",
       "stazione,   30000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   25,29,30, GROTTE S. "
       "MARTINO"},
      {"99 minutes", 't', "stazione,   40250",
       "stazione,   40250, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,99, 0, MONTEBRUNESCO"},
      {"speed rows out of order", 't', "velocita,   44550", "velocita,   39000,    85"},
      {"a name saved as UTF-8", 't', "stazione,   13500",
       "stazione,   13500, 22,  400,  0, 0, 0,  0,0,0,  4,1,1,   60,   7, 9, 0, "
       "TARVIGNANO-LUCERN\xC3\x92"},
  };
  for (const modifica& m : sviste) {
    SCOPED_TRACE(m.nome);
    const testi_modificati t = applica(m);
    const std::vector<diagnosi> d = verifica(t);
    const std::string file = m.testo == 'l' ? "l.txt" : "t.txt";
    const bool alla_riga = std::any_of(d.begin(), d.end(), [&](const diagnosi& x) {
      return x.file == file && x.riga == t.riga && x.livello != gravita::nota;
    });
    std::ostringstream s;
    scrivi_diagnosi(s, d);
    EXPECT_TRUE(alla_riga) << "nothing at " << file << ":" << t.riga << ":\n" << s.str();
  }
}

TEST(Sviste, CorrectEditsLeaveNothingToSay) {
  const std::vector<modifica> modifiche = {
      {"another speed", 't', "velocita,   44550", "velocita,   44550,    95"},
      {"another gradient", 'l', "pendenza,  19300", "pendenza,  19300,    7"},
      {"a signal removed", 't', "segnale,   17900", ""},
      {"a signal moved by 100 m", 't', "segnale,   29100",
       "segnale,   29200,   1, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {"another time", 't', "stazione,   30000",
       "stazione,   30000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,31, 0, GROTTE S. MARTINO"},
      {"another slowdown speed", 't', "rallentamento,    5450",
       "rallentamento,    5450,    30,  400, 0,  0,  30"},
  };
  for (const modifica& m : modifiche) {
    SCOPED_TRACE(m.nome);
    std::ostringstream s;
    scrivi_diagnosi(s, verifica(applica(m)));
    EXPECT_EQ(s.str(), "no problems found\n");
  }
}

}  // namespace
}  // namespace scenario
