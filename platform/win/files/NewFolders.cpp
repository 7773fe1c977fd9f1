#include "platform/win/files/NewFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/win/files/Descriptor.h"
#include "platform/win/files/Ownership.h"

namespace plat {
namespace {

// A folder, or what a link there leads to, opened to work in: it needs no permission to read it.
int OpenFolderAt(int parent, const char* name) { return ::openat(parent, name, O_PATH | O_DIRECTORY | O_CLOEXEC); }

}  // namespace

int OpenFolderOf(const std::string& realPath, std::string* name) {
  std::string path = realPath;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  *name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name->empty()) {
    errno = path.empty() ? ENOENT : EEXIST;
    return -1;
  }
  return OpenFolderAt(AT_FDCWD, slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash).c_str());
}

bool MakeFolderAt(int parent, const char* name, mode_t mode) {
  if (::mkdirat(parent, name, mode) != 0) return false;
  // What stands at the name now may already be something else put there meanwhile: never a link followed.
  const Descriptor made(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (made.Get() >= 0) GiveNewEntryItsOwner(made.Get(), parent);
  return true;
}

bool MakeFolder(const std::string& realPath, mode_t mode) {
  std::string name;
  const Descriptor folder(OpenFolderOf(realPath, &name));
  return folder.Get() >= 0 && MakeFolderAt(folder.Get(), name.c_str(), mode);
}

bool MakeFolders(const std::string& realPath, mode_t mode) {
  if (realPath.empty()) {
    errno = ENOENT;
    return false;
  }
  Descriptor folder(OpenFolderAt(AT_FDCWD, realPath.front() == '/' ? "/" : "."));
  for (std::size_t start = 0; folder.Get() >= 0 && start < realPath.size();) {
    const std::size_t end = std::min(realPath.find('/', start), realPath.size());
    const std::string name = realPath.substr(start, end - start);
    start = end + 1;
    if (name.empty()) continue;
    int next = OpenFolderAt(folder.Get(), name.c_str());
    // One made by another process meanwhile will do as well.
    if (next < 0 && errno == ENOENT && (MakeFolderAt(folder.Get(), name.c_str(), mode) || errno == EEXIST))
      next = OpenFolderAt(folder.Get(), name.c_str());
    folder.Reset(next);
  }
  return folder.Get() >= 0;
}

}  // namespace plat
