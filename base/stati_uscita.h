// The exit statuses of the program and of scenario-tool compile, one per
// outcome of a run. The tools' own commands add theirs beside them.
#pragma once

namespace scenario {

enum stato_uscita : int {
  uscita_pulita = 0,       // every file written, error record 0
  uscita_errore = 1,       // errore: a reserved-value check failed (1250, 1251)
  uscita_codice = 2,       // compiled files written, but the error record is nonzero
  uscita_senza_celle = 3,  // no cell strip after reading: no compiled file written
  uscita_file_system = 4,  // a file of the folder could not be read, written or deleted
  uscita_interna = 5,      // a fault of the program itself
};

}  // namespace scenario
