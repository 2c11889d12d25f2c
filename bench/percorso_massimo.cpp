#include "bench/percorso_massimo.h"

#include <string>

namespace scenario::banco {
namespace {

constexpr int kLunghezza = kLunghezzaPercorsoMassimo;
constexpr int kPassoCurve = 400;
constexpr int kPassoPendenze = 100;
constexpr int kPassoSegnali = 1'000;
constexpr int kPassoStazioni = 5'000;
constexpr int kCartelli = 4;
// Stations and board texts share table rows 1..79 (the 79th makes code 10).
constexpr int kStazioni = 78 - kCartelli;
constexpr int kRallentamenti = 19;
constexpr int kPassoRallentamenti = 50'000;
constexpr int kIndicatori = 40;
constexpr int kPassoIndicatori = 25'000;
constexpr int kMontagne = 10;
constexpr int kPassoMontagne = 100'000;

void riga(std::string& testo, const std::string& r) {
  testo += r;
  testo += "\r\n";
}

std::string n(int v) { return std::to_string(v); }

void curve(std::string& t) {
  riga(t, "[curve]");
  for (const curva_massima& c : curve_percorso_massimo()) {
    riga(t, c.parola_chiave + ", " + n(c.inizio) + ", " + n(c.lunghezza));
  }
}

void pendenze(std::string& t) {
  riga(t, "[pendenze]");
  for (int k = 0; k * kPassoPendenze <= kLunghezza; ++k) {
    riga(t, "pendenza, " + n(k * kPassoPendenze) + ", " + n((k * 7) % 58 - 22));
  }
}

void montagne(std::string& t) {
  riga(t, "[montagne]");
  for (int k = 0; k < kMontagne; ++k) {
    const int inizio = k * kPassoMontagne + 60'000;
    riga(t, "montagna, " + n(inizio) + ", " + n(inizio + 2'000) + ", 12");
  }
}

// Speed boards on cells 500 m + 27, clear of every other object.
void indicatori(std::string& t) {
  riga(t, "[cartelli]");
  for (int k = 0; k < kIndicatori; ++k) {
    riga(t, "indicatori_vmax, " + n(k * kPassoIndicatori + 1'300) +
                ", 160, 155, 150, 1, 60, 60, 60, 2");
  }
}

void indicazioni(std::string& t) {
  riga(t, "[indicazioni]");
  for (int k = 1; k <= kCartelli; ++k) {
    riga(t, "cartello_indicatore, " + n(k * 10'000 + 1'750) + ", (P.L.A.    )(KM. " + n(k * 10) +
                ".000)");
  }
}

std::string linea() {
  std::string t;
  riga(t, "[generale]");
  riga(t, "lunghezza percorso, " + n(kLunghezza));
  riga(t, "progressiva chilometrica uno, 0, 0, 0");
  riga(t, "progressiva chilometrica due, 0, 0, 0");
  riga(t, "progressiva chilometrica tre, 0, 0, 0");
  riga(t, "sfondo uno, 1");
  riga(t, "sfondo due, 300000");
  riga(t, "sfondo tre, 600000");
  riga(t, "ripetizione segnali 4 codici, 500, 999500");
  curve(t);
  pendenze(t);
  montagne(t);
  indicatori(t);
  indicazioni(t);
  riga(t, "[fine]");
  return t;
}

void profili(std::string& t) {
  riga(t, "[aderenze]");
  for (int k = 0; k * 20'000 <= kLunghezza; ++k) {
    riga(t, "aderenza, " + n(k * 20'000) + ", " + n(70 + (k * 7) % 30));
  }
  riga(t, "[vel_limite]");
  for (int k = 0; k * 10'000 <= kLunghezza; ++k) {
    riga(t, "velocita, " + n(k * 10'000) + ", " + n(60 + (k * 15) % 100));
  }
}

// Stations every 5 km, zones 400 m long: stop marks on cells 100 k + 3.
void stazioni(std::string& t) {
  riga(t, "[stazioni]");
  for (int k = 1; k <= kStazioni; ++k) {
    const int minuti = 6 * 60 + 3 * k;
    riga(t, "stazione, " + n(k * kPassoStazioni) + ", 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, " +
                n(minuti / 60) + "," + n(minuti % 60) + ", 0, STAZIONE " + n(k));
  }
}

// Slowdowns of 600 m at 50 km/h, below the lowest limit: warning, start and end on cells
// 1 000 n + 22, + 46 and + 58, between the signals.
void rallentamenti(std::string& t) {
  riga(t, "[rallentamenti]");
  for (int k = 1; k <= kRallentamenti; ++k) {
    riga(t, "rallentamento, " + n(k * kPassoRallentamenti + 2'250) + ", 50, 600, 0, 0, 50");
  }
}

// Signals on cells 20 j + 11.
void segnali(std::string& t) {
  riga(t, "[segnali]");
  for (int k = 0; k * kPassoSegnali + 500 < kLunghezza; ++k) {
    riga(t, "segnale, " + n(k * kPassoSegnali + 500) + ", 1, 4, 0, 0, 0, 2, 2,0,0, 0");
  }
}

std::string treno() {
  std::string t;
  riga(t, "[generale]");
  riga(t, "numero vetture, 8");
  riga(t, "percentuale massa frenata, 100");
  riga(t, "sabbia, 150");
  riga(t, "orologio, 6 0 0");
  profili(t);
  stazioni(t);
  rallentamenti(t);
  segnali(t);
  riga(t, "[codici]");
  riga(t, "[fine]");
  return t;
}

}  // namespace

// Curves of 200 m, left and right in turn, every class: the plan winds but
// keeps its heading, and the last ends before metre 1 000 000.
std::vector<curva_massima> curve_percorso_massimo() {
  std::vector<curva_massima> curve;
  for (int k = 0; k * kPassoCurve + 300 < kLunghezza; ++k) {
    const char* lato = k % 2 == 0 ? "curvad" : "curvas";
    curve.push_back({lato + n(1 + (k / 2) % 6), k * kPassoCurve + 100, 200});
  }
  return curve;
}

testi_sorgente percorso_massimo() { return {linea(), treno()}; }

}  // namespace scenario::banco
