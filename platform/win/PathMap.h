// The one place where a program path (Windows style: '\' separators, any letter case) becomes a real
// Linux path. Every file open, listing and folder call of the project goes through MapPath.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// '\' becomes '/', runs of separators collapse to one, and each component that does not exist with
// the given letter case is matched case-insensitively against the real entries of its folder (the
// first match in sorted order wins). Components that match nothing are kept as written, so a path of
// a file about to be created maps to where it will be made.
std::string MapPath(std::string_view programPath);

// Only the separator rewrite and collapse, without looking at the file system.
std::string NormalizeSeparators(std::string_view programPath);

}  // namespace plat
