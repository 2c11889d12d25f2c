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
#include <vector>

namespace scenario {

inline constexpr std::string_view kFineFile = "riferimento fine del file";
inline constexpr std::size_t kSlotTesto = 1001;

// The lines of `righe` (at most 1 000) that the writer writes: those before
// the first that equals the end mark.
std::span<const std::string_view> righe_scritte(std::span<const std::string_view> righe);

// The bytes of the file the writer makes from `righe` (at most 1 000 lines).
std::string testo_da_righe(std::span<const std::string_view> righe);

// The bytes of a text written whole, of any length: every line followed by
// CR LF, none taken for an end mark (an author's text or document).
std::string testo_intero(std::span<const std::string> righe);

// The lines of a text read back: split at LF, CR LF or a lone CR, without
// their line ends; a text that ends with a line end has no empty last line.
std::vector<std::string> righe_di(std::string_view testo);

// Writes the text to `file`, replacing an older file whole.
void scrivi_testo(const std::filesystem::path& file, std::span<const std::string_view> righe);

}  // namespace scenario
