// Whether a program path names a symbolic link. Folder listings report a link by what it points
// to; code that must not take a link for the folder it leads to asks this.
#pragma once

#include <string_view>

namespace plat {

[[nodiscard]] bool IsSymbolicLink(std::string_view programPath);

}  // namespace plat
