// The user's language on Windows: the display language of the user's
// account (what Settings calls the Windows display language).
#include <windows.h>

#include "base/traduzione.h"

namespace scenario {

lingua lingua_del_sistema() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ITALIAN ? lingua::italiano
                                                                   : lingua::inglese;
}

}  // namespace scenario
