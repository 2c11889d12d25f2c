// The one text writer shared by the source texts and the driver documents.
// A text is a table of 1 001 line slots; the slot after the last line holds
// the end mark, and writing stops at the first slot that equals it exactly,
// so the end mark itself is never written. Lines end with CR LF; the bytes are
// Windows-1252 as given.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

inline constexpr std::string_view kFineFile = "riferimento fine del file";
inline constexpr std::size_t kSlotTesto = 1001;

// The bytes of the file the writer makes from `righe` (at most 1 000 lines).
std::string testo_da_righe(std::span<const std::string_view> righe);

// Writes the text to `file`, replacing an older file whole.
void scrivi_testo(const std::filesystem::path& file, std::span<const std::string_view> righe);

}  // namespace scenario
