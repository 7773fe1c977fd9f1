// Whether a program path names a symbolic link. Folder listings report a link by what it points
// to; code that deletes trees asks this so that it removes the link instead of emptying its target.
#pragma once

#include <string_view>

namespace plat {

[[nodiscard]] bool IsSymbolicLink(std::string_view programPath);

}  // namespace plat
