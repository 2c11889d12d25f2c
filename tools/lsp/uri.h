// The editor names a text by a URI; the texts that pair with it are found on
// disk by path. Only "file:" URIs have a path.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace scenario::lsp {

// The path of a "file:" URI (percent escapes decoded, UTF-8); nothing for
// any other URI, or one whose escapes do not decode.
std::optional<std::filesystem::path> percorso_da_uri(std::string_view uri);

// The "file:" URI of an absolute path, every byte outside the unreserved
// characters and "/" escaped.
std::string uri_da_percorso(const std::filesystem::path& percorso);

// The last part of a URI's path, decoded: the name a text goes by in the
// messages ("R_linea.txt").
std::string nome_da_uri(std::string_view uri);

}  // namespace scenario::lsp
