// The names of the embedded scenario's files, written out as authors see them
// in the folder, so that a test of the folder's contents also pins the names.
#pragma once

#include <string>
#include <vector>

namespace prova {

inline const std::string kTestoLinea = "Ulmo_Tarvignano_Rovesco_linea.txt";
inline const std::string kTestoTreno = "Ulmo_Tarvignano_Rovesco_4816-.txt";
inline const std::string kTracciato = "Ulmo_Tarvignano_Rovesco_linea.dat";
inline const std::string kTabella = "Ulmo_Tarvignano_Rovesco_4816.sim";
inline const std::string kCelle = "Ulmo_Tarvignano_Rovesco_4816.dat";

// In the order of a sorted listing of the folder.
inline const std::vector<std::string> kCompilati = {kCelle, kTabella, kTracciato};
inline const std::vector<std::string> kDocumenti = {
    "Ulmo_Tarvignano_Rovesco_4816_note.txt", "Ulmo_Tarvignano_Rovesco_4816_rallentamenti.txt",
    "Ulmo_Tarvignano_Rovesco_4816_scheda_treno.txt"};

}  // namespace prova
