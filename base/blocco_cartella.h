// One run at a time in a folder. A run of the program writes its texts,
// reads and deletes them and writes the compiled files as one sequence, and
// scenario-tool compile writes its files as one too: whoever holds a
// folder's lock does so alone, and whoever comes next waits for it. The lock
// is advisory (it binds only those who ask for it), leaves no file in the
// folder, and goes with the process that holds it, however that ends.
#pragma once

#include <cstdint>
#include <filesystem>

namespace scenario {

class blocco_cartella {
 public:
  // Waits until no one else holds `cartella`, then holds it. Throws
  // errore_file_system, naming the folder and the reason, when the folder
  // cannot be opened to be locked. One holder takes a folder once: the same
  // thread asking again would wait for itself (on POSIX).
  explicit blocco_cartella(const std::filesystem::path& cartella);
  // Lets the next one in.
  ~blocco_cartella();
  blocco_cartella(const blocco_cartella&) = delete;
  blocco_cartella& operator=(const blocco_cartella&) = delete;

 private:
  std::intptr_t maniglia_;
};

}  // namespace scenario
