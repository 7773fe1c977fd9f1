#include "platform/win/files/Removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win/files/Descriptor.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/PathMap.h"

namespace plat {
namespace {

// How many levels of a walk keep their folder open. Those above are closed on the way down and opened
// again from below on the way back up, so a tree of any depth needs no more descriptors than this.
constexpr std::size_t kOpenLevels = 32;

// What a folder is, wherever it has been moved.
struct Identity {
  dev_t device;
  ino_t inode;
  bool operator==(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(int descriptor) {
  struct stat info;
  if (::fstat(descriptor, &info) != 0) return std::nullopt;
  return Identity{info.st_dev, info.st_ino};
}

// The root of the file system this process sees (a chroot's own); when even that cannot be told, any
// folder is taken for it.
bool IsRoot(int folder) {
  struct stat root;
  return ::stat("/", &root) != 0 || IdentityOf(folder) == Identity{root.st_dev, root.st_ino};
}

// A folder inside `parent`, never through a link standing at its name (ELOOP or ENOTDIR then).
Descriptor OpenFolderIn(int parent, const char* name) {
  return Descriptor(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

struct Entry {
  std::string name;
  bool isFolder;
};

// Every entry of the folder but "." and "..", read to the end before any is removed, so that no part of
// the listing is read twice. False when the listing failed.
bool ReadEntries(int folder, std::vector<Entry>* entries) {
  const int listing = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (listing < 0) return false;
  DIR* dir = ::fdopendir(listing);
  if (dir == nullptr) {
    ::close(listing);
    return false;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    struct stat info;
    if (entry->d_type == DT_UNKNOWN)
      isFolder = ::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    entries->push_back({std::string(name), isFolder});
  }
  const bool complete = errno == 0;
  ::closedir(dir);
  return complete;
}

// One folder on the walk's way down.
struct Level {
  Descriptor folder;  // closed while the walk is more than kOpenLevels below
  Identity identity;
  std::string name;  // in the level above
  std::vector<Entry> entries;
  std::size_t next = 0;
};

class TreeWalk {
 public:
  // Empties the folder open as `folder`, named `name` in `parent`, and removes it.
  bool Remove(int parent, Descriptor folder, const std::string& name) {
    if (!Enter(std::move(folder), name)) return false;
    bool complete = true;
    while (!mLevels.empty()) {
      Level& level = mLevels.back();
      if (level.next < level.entries.size()) {
        const Entry& entry = level.entries[level.next++];
        complete = RemoveEntry(level.folder.Get(), entry) && complete;
        continue;
      }
      Level emptied = std::move(level);
      mLevels.pop_back();
      // What moved a folder above elsewhere meanwhile could lead the rest of its listing anywhere.
      if (!mLevels.empty() && !Reopen(mLevels.back(), emptied.folder.Get())) return false;
      // A folder removed while it is open is freed only when it is closed, at twice the file system's work.
      emptied.folder.Close();
      const int above = mLevels.empty() ? parent : mLevels.back().folder.Get();
      complete = ::unlinkat(above, emptied.name.c_str(), AT_REMOVEDIR) == 0 && complete;
    }
    return complete;
  }

 private:
  // Lists a folder just opened and goes down into it; false when it cannot be listed (it then stays).
  bool Enter(Descriptor folder, std::string name) {
    const std::optional<Identity> identity = IdentityOf(folder.Get());
    std::vector<Entry> entries;
    if (!identity || !ReadEntries(folder.Get(), &entries)) return false;
    if (mLevels.size() >= kOpenLevels) mLevels[mLevels.size() - kOpenLevels].folder.Close();
    mLevels.push_back({std::move(folder), *identity, std::move(name), std::move(entries)});
    return true;
  }

  // An entry of the folder: what is not a folder is unlinked, a folder entered. Whatever took an entry's
  // place since the listing is removed for what it is now; an entry gone already counts as removed.
  bool RemoveEntry(int folder, const Entry& entry) {
    const char* name = entry.name.c_str();
    if (!entry.isFolder) {
      if (::unlinkat(folder, name, 0) == 0 || errno == ENOENT) return true;
      if (errno != EISDIR) return false;
    }
    Descriptor inner = OpenFolderIn(folder, name);
    if (inner.IsOpen()) return Enter(std::move(inner), entry.name);
    if (errno == ENOENT) return true;
    return (errno == ELOOP || errno == ENOTDIR) && (::unlinkat(folder, name, 0) == 0 || errno == ENOENT);
  }

  // Opens a level closed on the way down again, from the folder below it; false unless it is the
  // same folder.
  static bool Reopen(Level& level, int below) {
    if (level.folder.IsOpen()) return true;
    Descriptor above = OpenFolderIn(below, "..");
    if (!above.IsOpen() || IdentityOf(above.Get()) != level.identity) return false;
    level.folder = std::move(above);
    return true;
  }

  std::vector<Level> mLevels;
};

// A name that stands for one entry of a folder.
bool IsEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

}  // namespace

bool RemoveFolderTree(std::string_view programPath) {
  // The root lies in no folder above it (EEXIST): it is refused here, and a folder that is the root by
  // another way (a mount of it, a link above) below.
  std::string name;
  const Descriptor parent(OpenFolderOf(MapPath(programPath), &name));
  if (!parent.IsOpen() || !IsEntryName(name)) return false;
  Descriptor folder = OpenFolderIn(parent.Get(), name.c_str());
  if (!folder.IsOpen()) {
    // A link standing there, to a folder or not, goes itself; a file or nothing at all is no folder.
    struct stat info;
    return (errno == ELOOP || errno == ENOTDIR) &&
           ::fstatat(parent.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode) &&
           ::unlinkat(parent.Get(), name.c_str(), 0) == 0;
  }
  if (IsRoot(folder.Get())) return false;
  return TreeWalk().Remove(parent.Get(), std::move(folder), name);
}

bool RemoveEntryOf(const std::string& realFolder, std::string_view name) {
  if (!IsEntryName(name)) return false;
  const Descriptor folder(::open(realFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return folder.IsOpen() && ::unlinkat(folder.Get(), std::string(name).c_str(), 0) == 0;
}

}  // namespace plat
