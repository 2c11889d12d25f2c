// The folder lock on POSIX: flock on a descriptor of the folder itself. The
// lock belongs to that open descriptor, so two holders in one process wait
// for each other as two processes do, and closing it (or the end of the
// process) lets the next one in.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"

namespace scenario {

blocco_cartella::blocco_cartella(const std::filesystem::path& cartella) {
  const int d = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d < 0) throw errore_file_system(cartella, "lock", std::generic_category().message(errno));
  while (::flock(d, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int errore = errno;
    ::close(d);
    throw errore_file_system(cartella, "lock", std::generic_category().message(errore));
  }
  maniglia_ = d;
}

blocco_cartella::~blocco_cartella() { ::close(static_cast<int>(maniglia_)); }

}  // namespace scenario
