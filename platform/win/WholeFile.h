// A whole file read into memory, for readers that want all of it or nothing.
#pragma once

#include <optional>
#include <string>

namespace plat {

// The bytes of the file at `path` (a real path, see MapPath); nothing when it cannot be opened or read
// to its end: missing, a folder, not readable, a read error.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace plat
