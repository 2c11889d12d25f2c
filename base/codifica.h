// Windows-1252 text: every text of a scenario is held as single bytes of that
// code page. These helpers lower it, search it and convert it at the edges
// (file names on the host, command-line arguments).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// Lowers ASCII A-Z and the Windows-1252 capitals (C0-DE except D7, and
// 8A, 8C, 8E, 9F); every other byte stays as it is.
char minuscola_1252(char c);
std::string minuscolo_1252(std::string_view testo);

// Substring tests as the readers make them on a keyword field.
bool contiene(std::string_view testo, std::string_view parte);
bool contiene_senza_maiuscole(std::string_view testo, std::string_view parte);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// become U+FFFD.
std::string utf8_da_1252(std::string_view testo);

// UTF-8 to Windows-1252 bytes; nothing when the text is not valid UTF-8 or
// holds a character the code page cannot write.
std::optional<std::string> cp1252_da_utf8(std::string_view testo);

// Whether `testo` is valid UTF-8 (plain ASCII is).
bool utf8_valido(std::string_view testo);

// UTF-8 text as it may stand in XML or HTML, in an element or an attribute:
// & < > " ' as entities, control characters other than tab and line ends
// (which XML does not allow) as U+FFFD.
std::string testo_xml(std::string_view testo_utf8);

}  // namespace scenario
