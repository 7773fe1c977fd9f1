#include "platform/win/files/FileReplace.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/win/files/Descriptor.h"
#include "platform/win/files/DeviceWrite.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/Ownership.h"
#include "platform/win/files/ReplacedFilesLog.h"

namespace plat {
namespace {

// Links followed before a chain counts as a loop: the kernel's own limit for one path.
constexpr int kMaxLinksFollowed = 40;

// A name for a new temporary beside target, unique to this call among the process's threads.
std::string NewTemporaryName(const std::string& target) {
  static std::atomic<unsigned> made{0};
  return target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(made.fetch_add(1));
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What the name of a temporary that ReplaceFileContents makes tells: the name of the file it replaces and
// the writer's process id (0 when the digits are too many for one).
struct TemporaryName {
  std::string_view file;
  pid_t writer = 0;
};

// The parts of a name made as NewTemporaryName makes them: a file's name, ".tmp", the process id, '-' and
// a number. Nothing for any other name.
std::optional<TemporaryName> ParseTemporaryName(std::string_view name) {
  const std::size_t tmp = name.rfind(".tmp");
  if (tmp == std::string_view::npos || tmp == 0) return std::nullopt;
  const std::string_view numbers = name.substr(tmp + 4);
  const std::size_t dash = numbers.find('-');
  if (dash == std::string_view::npos || !AllDigits(numbers.substr(0, dash)) || !AllDigits(numbers.substr(dash + 1)))
    return std::nullopt;
  TemporaryName parsed{name.substr(0, tmp)};
  if (std::from_chars(numbers.data(), numbers.data() + dash, parsed.writer).ec != std::errc()) parsed.writer = 0;
  return parsed;
}

bool IsRunning(pid_t process) { return ::kill(process, 0) == 0 || errno == EPERM; }

// Seconds on the real-time clock (that of file times) when the process began; nothing when that
// cannot be read.
std::optional<double> StartOf(pid_t process) {
  std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return std::nullopt;
  // The process's name, in parentheses, may hold anything; the start is the 20th field after it.
  const std::size_t nameEnd = line.rfind(')');
  if (nameEnd == std::string::npos) return std::nullopt;
  std::istringstream fields(line.substr(nameEnd + 1));
  std::string field;
  for (int i = 0; i < 20; ++i) fields >> field;
  unsigned long long ticksSinceBoot = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), ticksSinceBoot);
  if (!fields || error != std::errc() || end != field.data() + field.size()) return std::nullopt;
  timespec sinceBoot{}, now{};
  ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot);
  ::clock_gettime(CLOCK_REALTIME, &now);
  const double bootedAt = static_cast<double>(now.tv_sec - sinceBoot.tv_sec) + (now.tv_nsec - sinceBoot.tv_nsec) / 1e9;
  return bootedAt + static_cast<double>(ticksSinceBoot) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Whether the temporary's writer may still be at work: a process runs under the id in its name and
// began before the temporary was last written. One that began later only took the id over from a
// writer that ended (ids are reused, and soon where few are available).
bool WriterMayRun(pid_t writer, const std::filesystem::path& temporary) {
  if (!IsRunning(writer)) return false;
  struct stat file {};
  const std::optional<double> started = StartOf(writer);
  if (!started || ::stat(temporary.c_str(), &file) != 0) return true;
  const double written = static_cast<double>(file.st_mtim.tv_sec) + file.st_mtim.tv_nsec / 1e9;
  // A second of slack for the clock's steps and the start's rounding: a doubt keeps the file.
  return *started <= written + 1.0;
}

bool WriteAll(int fd, std::string_view bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

void SyncFolderOf(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  const Descriptor folderFd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.Get() >= 0) ::fsync(folderFd.Get());
}

// The file a write of realPath replaces: realPath itself or the end of its chain of links. Nothing, with
// errno set, when the chain cannot be followed.
std::optional<std::string> WriteTarget(const std::string& realPath) {
  if (realPath.empty()) {
    errno = ENOENT;
    return std::nullopt;
  }
  std::filesystem::path path(realPath);
  for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path.string();
    const std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) {
      errno = error.value();
      return std::nullopt;
    }
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  errno = ELOOP;
  return std::nullopt;
}

// Why nothing can be written at a target that is neither a regular file, a device nor a pipe.
bool RefuseToWrite(mode_t mode) {
  errno = S_ISDIR(mode) ? EISDIR : EINVAL;
  return false;
}

// A new file at path, open for writing: made there (nothing may stand at the name, a link neither) in the
// folder opened once, whose owner it then takes as Ownership says. -1, with errno set, when it is not made.
int MakeNewFile(const std::string& path) {
  std::string name;
  const Descriptor folder(OpenFolderOf(path, &name));
  if (folder.Get() < 0) return -1;
  const int fd = ::openat(folder.Get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) GiveNewEntryItsOwner(fd, folder.Get());
  return fd;
}

// Writes bytes to target, the end of a chain of links, as ReplaceFileContents tells. The file made there
// takes the owner and permission bits of model when there is one, else those of the file it replaces,
// else the umask's.
bool WriteToTarget(const std::string& target, std::string_view bytes, const struct stat* model, FileSync sync) {
  struct stat standing {};
  const bool replacing = ::lstat(target.c_str(), &standing) == 0;
  if (replacing && IsWrittenInto(standing.st_mode)) return WriteIntoDevice(target, bytes);
  if (replacing && !S_ISREG(standing.st_mode)) return RefuseToWrite(standing.st_mode);
  if (model == nullptr && replacing) model = &standing;
  const std::string temporary = NewTemporaryName(target);
  const int fd = MakeNewFile(temporary);
  if (fd < 0) return false;
  const bool synced = sync == FileSync::kSynced;
  bool ok = (model == nullptr || TakeOwnerAndMode(fd, *model)) && WriteAll(fd, bytes) && (!synced || ::fsync(fd) == 0);
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) {
    // The rename itself must reach the disk for the new contents to survive a power cut.
    if (synced) SyncFolderOf(target);
    NoteReplacedFile(target, synced);
    return true;
  }
  if (ok) error = errno;
  ::unlink(temporary.c_str());
  errno = error;
  return false;
}

}  // namespace

bool ReplaceFileContents(const std::string& realPath, std::string_view bytes, FileSync sync) {
  const std::optional<std::string> target = WriteTarget(realPath);
  return target && WriteToTarget(*target, bytes, nullptr, sync);
}

std::optional<std::string> WriteCopyOf(const std::string& realOriginal, const std::vector<std::string>& realCopies,
                                       std::string_view bytes) {
  if (realCopies.empty()) {
    errno = EEXIST;
    return std::nullopt;
  }
  struct stat original {};
  const bool regular = ::stat(realOriginal.c_str(), &original) == 0 && S_ISREG(original.st_mode);
  const std::string temporary = NewTemporaryName(realCopies.front());
  const int fd = MakeNewFile(temporary);
  if (fd < 0) return std::nullopt;
  bool ok = (!regular || TakeOwnerAndMode(fd, original)) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  const std::optional<std::string> copy = ok ? MoveAside(temporary, realCopies) : std::nullopt;
  if (!copy) {
    const int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
  }
  return copy;
}

std::optional<std::string> MoveAside(const std::string& realPath, const std::vector<std::string>& realNames) {
  for (const std::string& name : realNames) {
    if (::renameat2(AT_FDCWD, realPath.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
      // The new name must reach the disk too, for the file to be found there after a power cut.
      SyncFolderOf(name);
      return name;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  errno = EEXIST;
  return std::nullopt;
}

bool NothingToReplace(const std::string& realPath) {
  const std::optional<std::string> target = WriteTarget(realPath);
  std::error_code error;
  return target && !std::filesystem::exists(std::filesystem::symlink_status(*target, error));
}

bool CanReplaceFile(const std::string& realPath) {
  const std::optional<std::string> target = WriteTarget(realPath);
  if (!target) return false;
  struct stat standing {};
  if (::lstat(target->c_str(), &standing) == 0) {
    if (IsWrittenInto(standing.st_mode)) return CanWriteIntoDevice(*target);
    if (!S_ISREG(standing.st_mode)) return RefuseToWrite(standing.st_mode);
  }
  const std::string temporary = NewTemporaryName(*target);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(temporary.c_str());
  return true;
}

void RemoveStaleTemporaries(const std::string& realPath) {
  const std::optional<std::string> written = WriteTarget(realPath);
  if (!written) return;
  const std::filesystem::path target(*written);
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  const std::string fileName = target.filename().string();
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::optional<TemporaryName> temporary = ParseTemporaryName(name);
    std::error_code removeError;
    if (temporary && temporary->file == fileName && temporary->writer > 0 &&
        !WriterMayRun(temporary->writer, it->path()))
      std::filesystem::remove(it->path(), removeError);
  }
}

void RemoveAllTemporaries(const std::string& realFolder) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(realFolder, error), end; !error && it != end; it.increment(error)) {
    std::error_code entryError;
    if (ParseTemporaryName(it->path().filename().string()) && it->is_regular_file(entryError) &&
        !it->is_symlink(entryError))
      std::filesystem::remove(it->path(), entryError);
  }
}

}  // namespace plat
