#include <array>

#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "scenario/sorgenti.h"

namespace scenario {
namespace {

// The train half of the scenario, line by line as the file carries it: the
// blanks are part of the content (line 4 ends with one), and the degree sign
// of the junction's name is the Windows-1252 byte B0.
constexpr std::array<std::string_view, 58> kRighe = {
    "[generale]",
    "numero vetture,    5",
    "percentuale massa frenata,    100",
    "sabbia,    150",
    "orologio,    6               45            42 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "aderenza,   20400,    79",
    "aderenza,   21900,    85",
    "aderenza,   22900,    95",
    "aderenza,   37500,    81",
    "aderenza,   39000,    77",
    "aderenza,   40550,    86",
    "[vel_limite]",
    "velocita,       0,    30",
    "velocita,     500,   105",
    "velocita,   13500,    90",
    "velocita,   18600,    75",
    "velocita,   20700,    85",
    "velocita,   26550,    90",
    "velocita,   29600,    85",
    "velocita,   31600,   100",
    "velocita,   35550,    85",
    "velocita,   40250,    75",
    "velocita,   44550,    85",
    "velocita,   50550,    70",
    "[stazioni]",
    "stazione,       0,  8,  300,  1, 0, 0,  4,1,0,  2,1,1,    1,   6,46, 0, ULMO",
    "stazione,    5650, 27,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, 2\xB0 bivio ULMO NORD",
    "stazione,    8400, 24,  400,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,52, 0, VESSANO",
    "stazione,   13500, 22,  400,  0, 0, 0,  0,0,0,  4,1,1,   60,   7, 9, 0, TARVIGNANO-LUCERNO",
    "stazione,   19000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   60,   7,18,30, BRUCIGNANO",
    "stazione,   20650, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,   7,21,30, S. ILARIO",
    "stazione,   30000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,29,30, GROTTE S. MARTINO",
    "stazione,   40250, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,40, 0, MONTEBRUNESCO",
    "stazione,   52650, 12,  300,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,51, 0, ROVESCO P.A.",
    "[rallentamenti]",
    "rallentamento,    2800,    60,  450, 0,  0,  60",
    "rallentamento,    5450,    40,  400, 0,  0,  40",
    "[segnali]",
    "segnale,    1500,   1, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,    2850,   1, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,    4150,   1, 4, 1,  0, 0,    2,  3,1,0, 0",
    "segnale,    5400,   1, 4, 1,  1, 0,    2,  2,1,1, 0",
    "segnale,    6550,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,    7500,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   11350,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   12500,   2, 2, 3,  0, 0,    0,  0,0,0, 230",
    "segnale,   16600,   1, 3, 4,  0, 0,    0,  0,0,0, 0",
    "segnale,   17900,   1, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   27900,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   29100,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   38400,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   39500,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   50500,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   51800,   2, 3, 1,  0, 0,    0,  0,0,0, 230",
    "[codici]",
    "[fine]",
};

}  // namespace

std::span<const std::string_view> righe_dati_treno() { return kRighe; }

std::string nome_file_dati_treno(const modello& m) { return m.percorso + "_" + m.treno + "-.txt"; }

void dati_treno(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_treno(m)), righe_dati_treno());
}

}  // namespace scenario
