// `view`: one self-contained HTML file that shows a compiled route in the
// browser, the plan and the profile of the plot on an axis that zooms from
// the whole route down to single cells. The page carries the layout model
// (tools/disegno/disposizione.h) as JSON, with the labels placed in advance at every
// scale the viewer uses, the plan and the steps thinned to levels of detail,
// every cell as `dump` decodes it (in compact runs) and, when the route was
// compiled from its texts here, the line of the text behind each cell's
// object and values. Its script and style are built into the tool: the file
// needs nothing from outside.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

class lettura_osservata;

// The source texts a model was compiled from, and how the reading went.
struct sorgenti_vista {
  std::string nome_linea;  // file names as shown, UTF-8
  std::string nome_treno;
  std::string testo_linea;
  std::string testo_treno;
  const lettura_osservata* lettura = nullptr;
};

// The page for model `m`; `sorgenti` when it was compiled from texts here,
// `esito` a line on how that compile ended (shown at the top) when not clean.
std::string html_vista(const modello& m, const sorgenti_vista* sorgenti,
                       const std::optional<std::string>& esito);

// The JSON the page carries, as text (no "<" in it, so it stays inside its
// script element).
std::string json_vista(const modello& m, const sorgenti_vista* sorgenti,
                       const std::optional<std::string>& esito);

struct richiesta_vista {
  // Either a folder of compiled files, or the two source texts.
  std::optional<std::filesystem::path> cartella;
  std::optional<std::filesystem::path> linea;
  std::optional<std::filesystem::path> treno;
  std::optional<std::string> percorso;  // UTF-8
  std::optional<std::string> numero_treno;
  std::filesystem::path uscita;
};

// The whole command: reads the compiled files (names found in the folder
// when it holds one scenario) or compiles the two texts in memory, and
// writes the page. Returns 0; or, after a message on `errori`,
// kUscitaFileNonConforme for a compiled file that does not fit its layout,
// uscita_file_system for a file that cannot be read or written, the
// compile's own status when the texts leave no cell strip, and `stato_uso`
// when the folder holds several scenarios and no names choose one.
int comando_view(const richiesta_vista& r, int stato_uso, std::ostream& uscita,
                 std::ostream& errori);

}  // namespace scenario
