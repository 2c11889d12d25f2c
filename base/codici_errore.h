#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

// Every code the error record can hold; 0 is no error. 1250 and 1251 are not
// among them: those checks stop the run through errore instead.
inline constexpr std::array<int32_t, 27> kCodiciErrore = {0,  1,  2,  3,  4,  5,  6,   7,   8,
                                                          9,  10, 11, 12, 13, 15, 16,  17,  18,
                                                          19, 20, 21, 22, 24, 25, 101, 102, 103};

bool codice_definito(int32_t codice);

// What a code of the error record means, in words, for messages to authors.
std::string_view significato_codice(int32_t codice);

// One line about a nonzero error record: code, meaning and position.
std::string descrivi_errore(int32_t codice, int32_t posizione);

// The text errore shows for `a`: " Errore n. " followed by `a`.
std::string testo_errore(std::string_view a);

}  // namespace scenario
