// Why a file could not be read or written, in words for the player. What is no regular file fails in
// ways whose own text tells the player nothing: this layer refuses a pipe or device to read whole, and a
// block device or socket to replace, with EINVAL ("Invalid argument"), and the system refuses to open a
// socket or a device without its driver with ENXIO ("No such device or address"). Owns nothing; any
// thread.
#pragma once

#include <string>

namespace plat {

// "not a regular file" when error is one of those and something other than a regular file or a folder
// stands at realPath (at the end of its links); the system's text for error otherwise.
[[nodiscard]] std::string FileErrorText(const std::string& realPath, int error);

}  // namespace plat
