#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

// What a code of the error record means, in words, for messages to authors.
std::string_view significato_codice(int32_t codice);

// One line about a nonzero error record: code, meaning and position.
std::string descrivi_errore(int32_t codice, int32_t posizione);

}  // namespace scenario
