#include <array>

#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "documents/documenti.h"

namespace scenario {
namespace {

// One empty row of the slowdown table, for the orders written in by hand.
constexpr std::string_view kRigaTabellaVuota =
    " |   |                            |            |          |         |            |";

// The form is blank: the line name and the train number stay placeholders
// ("xxxxxx xxxxxxx", "xxxxx") for whoever issues the order.
constexpr std::array<std::string_view, 46> kRighe = {
    // Titles and the order sentence.
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  xxxxxx xxxxxxx",
    "",
    "  Si ordina al macchinista del treno xxxxx di effettuare i seguenti rallentamenti",
    // Table: columns of 3, 28, 12, 10, 9 and 12 characters between the bars.
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    kRigaTabellaVuota,
    " |___|____________________________|____________|__________|_________|____________|",
    // The key of the specific prescriptions: A, B, D, C is the printed form's order.
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    // "Rallentamneto" is the printed form's own spelling and stays as printed.
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
};

}  // namespace

std::span<const std::string_view> righe_dati_rallentamenti() { return kRighe; }

std::string nome_file_dati_rallentamenti(const modello& m) {
  return m.percorso + "_" + m.treno + "_rallentamenti.txt";
}

void dati_rallentamenti(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_rallentamenti(m)),
               righe_dati_rallentamenti());
}

}  // namespace scenario
