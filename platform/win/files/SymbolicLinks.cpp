#include "platform/win/files/SymbolicLinks.h"

#include <sys/stat.h>

#include <string>

#include "platform/win/files/PathMap.h"

namespace plat {

bool IsSymbolicLink(std::string_view programPath) {
  std::string real = MapPath(programPath);
  // The path may end in a separator when it names a folder; lstat would then follow the link.
  while (real.size() > 1 && real.back() == '/') real.pop_back();
  struct stat info;
  return ::lstat(real.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace plat
