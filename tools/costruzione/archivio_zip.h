// A zip archive of a few files, as the driver unpacks it: every entry stored
// as it is (no compression) with its CRC-32, its name in UTF-8 (flag bit
// 11), dated 1 January 1980 so that the same files make the same archive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scenario::strumento {

struct voce_zip {
  std::string nome;  // UTF-8, '/' between folders
  std::string byte;
};

// The archive's bytes. Throws std::length_error beyond what an archive
// without its 64-bit extension holds (4 GiB, 65 535 entries).
std::string archivio_zip(const std::vector<voce_zip>& voci);

}  // namespace scenario::strumento
