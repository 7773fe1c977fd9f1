#include "platform/win/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return std::nullopt;
  std::optional<std::string> text(std::in_place);
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(file, chunk, sizeof(chunk));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) text.reset();
    if (got <= 0) break;
    text->append(chunk, static_cast<std::size_t>(got));
  }
  ::close(file);
  return text;
}

}  // namespace plat
