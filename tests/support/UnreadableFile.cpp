#include "tests/support/UnreadableFile.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace testsupport {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKeptName = "kept.txt";
constexpr const char* kKeptText = "the player's";
constexpr const char* kProcessMemory = "/proc/self/mem";
constexpr const char* kLoopName = "looping-link";
// The numbers of the memory devices /dev/null and /dev/full.
const dev_t kNullDevice = makedev(1, 3);
const dev_t kFullDevice = makedev(1, 7);

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::string UnreadableName(Unreadable kind) {
  switch (kind) {
    case Unreadable::kFolder:
      return "Folder";
    case Unreadable::kLinkLoop:
      return "LinkLoop";
    case Unreadable::kReadError:
      return "ReadError";
    case Unreadable::kPipe:
      return "Pipe";
    case Unreadable::kNullDevice:
      return "NullDevice";
    case Unreadable::kFullDevice:
      return "FullDevice";
  }
  return "Unknown";
}

void MakeUnreadable(const fs::path& path, Unreadable kind) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  switch (kind) {
    case Unreadable::kFolder:
      fs::create_directories(path);
      std::ofstream(path / kKeptName, std::ios::binary) << kKeptText;
      return;
    case Unreadable::kLinkLoop: {
      // The loop is a link of its own beside the path that names itself, so that the path still loops
      // when it is moved (a link that named the path itself would not).
      const fs::path loop = path.parent_path() / kLoopName;
      if (!fs::is_symlink(fs::symlink_status(loop))) fs::create_symlink(kLoopName, loop);
      fs::create_symlink(kLoopName, path);
      return;
    }
    case Unreadable::kReadError:
      fs::create_symlink(kProcessMemory, path);
      return;
    case Unreadable::kPipe:
      if (::mkfifo(path.c_str(), 0644) != 0) throw std::system_error(errno, std::generic_category(), path.string());
      return;
    case Unreadable::kNullDevice:
    case Unreadable::kFullDevice:
      if (::mknod(path.c_str(), S_IFCHR | 0666, kind == Unreadable::kNullDevice ? kNullDevice : kFullDevice) != 0)
        throw std::system_error(errno, std::generic_category(), path.string());
      return;
  }
}

bool UnreadableIsIntact(const fs::path& path, Unreadable kind) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  switch (kind) {
    case Unreadable::kFolder:
      return fs::is_directory(status) && ReadAll(path / kKeptName) == kKeptText;
    case Unreadable::kLinkLoop:
      return fs::is_symlink(status) && fs::read_symlink(path, error) == kLoopName;
    case Unreadable::kReadError:
      return fs::is_symlink(status) && fs::read_symlink(path, error) == kProcessMemory;
    case Unreadable::kPipe:
      return fs::is_fifo(status);
    case Unreadable::kNullDevice:
    case Unreadable::kFullDevice: {
      struct stat node {};
      return ::lstat(path.c_str(), &node) == 0 && S_ISCHR(node.st_mode) &&
             node.st_rdev == (kind == Unreadable::kNullDevice ? kNullDevice : kFullDevice);
    }
  }
  return false;
}

}  // namespace testsupport
