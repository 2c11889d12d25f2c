// The names a file may have where the scenario goes: the simulator runs on
// Windows, and the files are made on Windows or on Linux. One rule for every
// name the system builds from a user's text (a route name, a train number).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// The longest file name, in bytes of its UTF-8 form (Linux counts bytes,
// Windows UTF-16 units, of which a Windows-1252 character takes one).
inline constexpr std::size_t kByteNomeFileMassimi = 255;

// Why `nome` (Windows-1252) cannot be a file name of its own; nothing when it
// can. The reason completes the sentence "'NAME' ...": it is empty, starts
// with a dot (a hidden file, or a way out of the folder), holds a character
// Windows forbids in a name (< > : " / \ | ? * and the control characters,
// DEL included), ends with a blank or a dot (Windows drops them), is a name
// Windows reserves for a device (CON, PRN, AUX, NUL, COM0-9, LPT0-9, also
// with a superscript digit, in any case, with or without an extension), or
// is longer than kByteNomeFileMassimi.
std::optional<std::string> motivo_nome_non_valido(std::string_view nome);

// Whether `nome` (Windows-1252) can be a file name.
inline bool nome_file_valido(std::string_view nome) { return !motivo_nome_non_valido(nome); }

}  // namespace scenario
