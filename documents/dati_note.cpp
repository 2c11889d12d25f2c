#include <array>

#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "documents/documenti.h"

namespace scenario {
namespace {

// Seven paragraphs for the driver, one empty line between them. The text is
// Windows-1252: "\xE8", "\xF2", "\xF9" are the accented vowels, "\xB0" the
// degree sign. Several lines keep the trailing blank where they were wrapped.
constexpr std::array<std::string_view, 35> kRighe = {
    "Il regionale 4816 da Ulmo a Rovesco Porta Albaterina \xE8 effettuato con ",
    "un'automotrice Ale 801/940: la massa frenata di 330 t, la frenatura al 100 % e gli",
    "altri parametri del veicolo sono stati scelti per rendere il comportamento di quel",
    "mezzo. Le massime usate nello scenario non coincidono sempre con quelle delle ",
    "tabelle: sulla diramazione il grado di frenatura della linea tiene il treno a 90 km/h",
    "anche dove le tabelle ammettono 100 km/h per il rango B, ma la scheda treno riporta",
    "comunque i valori delle tabelle. Fa eccezione il solo tratto fra il Km 18+000 e il ",
    "Km 22+000, dove il treno pu\xF2 viaggiare davvero a 100 km/h.",
    "",
    "A Vessano in Marmella il treno fa una fermata non prevista in orario (perditempo di ",
    "1,5 minuti). A Tarvignano-Lucerno la sosta \xE8 di una decina di minuti: il ritardo si ",
    "recupera durante l'attesa, mentre si lascia passare un treno pi\xF9 veloce.",
    "",
    "Alla partenza da Tarvignano-Lucerno il treno \xE8 instradato sulla diramazione per ",
    "Rovesco: il binario corre affiancato alla linea principale per circa 2 km, poi piega",
    "a sinistra e se ne allontana.",
    "",
    "A Brucignano i segnali sono disposti come per un ingresso in deviata, anche se nello ",
    "scenario la stazione non ha un binario di precedenza: sulla linea vera il 4816 entra",
    "sul binario deviato per lasciare la precedenza a un altro treno regionale.",
    "",
    "Dopo Brucignano comincia la salita pi\xF9 dura, con pendenze fino al 35 per mille, che ",
    "si addolciscono solo verso la Tenuta Varronia. Nelle ripartenze in salita, come a ",
    "S. Ilario, non indugiate sulle prime posizioni del combinatore: il reostato di",
    "avviamento si scalda presto. La corsa \xE8 del mattino, e l'aderenza simulata \xE8 scarsa.",
    "",
    "La linea simulata \xE8 fedele all'originale per circa l'80 %: il profilo delle pendenze ",
    "\xE8 ricavato dal fascicolo della linea, mentre stazioni, gallerie e segnali sono al ",
    "loro posto; alcune curve e il paesaggio sono invece approssimati. Il doppio binario",
    "termina al 2\xB0 Bivio Ulmo Nord: da qui in avanti la linea \xE8 a semplice binario fino",
    "a Rovesco Porta Albaterina.",
    "",
    "Ogni critica, positiva o negativa, \xE8 benvenuta: serve a migliorare lo scenario. ",
    "Il curatore dello scenario Ulmo_Tarvignano_Rovesco",
    "Contatti: le segnalazioni vanno lasciate nella cartella dello scenario.",
};

}  // namespace

std::span<const std::string_view> righe_dati_note() { return kRighe; }

std::string nome_file_dati_note(const modello& m) {
  return m.percorso + "_" + m.treno + "_note.txt";
}

std::vector<std::string> righe_note_assenti(const modello& m) {
  return {"Scenario della linea " + m.percorso + " per il treno " + m.treno + ".",
          "L'autore dello scenario non ha scritto note."};
}

void dati_note(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_note(m)), righe_dati_note());
}

}  // namespace scenario
