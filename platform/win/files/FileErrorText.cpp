#include "platform/win/files/FileErrorText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace plat {

std::string FileErrorText(const std::string& realPath, int error) {
  struct stat standing {};
  if ((error == EINVAL || error == ENXIO || error == ENODEV) && ::stat(realPath.c_str(), &standing) == 0 &&
      !S_ISREG(standing.st_mode) && !S_ISDIR(standing.st_mode))
    return "not a regular file";
  return std::strerror(error);
}

}  // namespace plat
