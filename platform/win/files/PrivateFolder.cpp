#include "platform/win/files/PrivateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/win/files/Descriptor.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/Ownership.h"

namespace plat {
namespace {

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof(text), "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// Why the entry at the path, which could not be opened as a folder, is not one.
std::string WhyNotOpened(const std::string& path, int openError) {
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0) {
    if (S_ISLNK(info.st_mode)) return "is a link";
    if (!S_ISDIR(info.st_mode)) return "is not a folder";
  }
  return std::string("cannot be opened (") + std::strerror(openError) + ")";
}

}  // namespace

PrivateFolder::PrivateFolder(std::string path) : mPath(std::move(path)) {
  // With a trailing '/', open would follow a link in the last component after all.
  while (mPath.size() > 1 && mPath.back() == '/') mPath.pop_back();
  MakeFolders(std::filesystem::path(mPath).parent_path().string());
  // The folder above, opened once: what is made, opened and checked below is what stands in it.
  std::string name;
  const plat::Descriptor parent(OpenFolderOf(mPath, &name));
  struct stat above;
  if (parent.Get() < 0 || ::fstat(parent.Get(), &above) != 0) {
    mRefusal = std::string("cannot be made (") + std::strerror(errno) + ")";
    return;
  }
  // mkdir never follows a link: one standing at the path makes it fail with EEXIST.
  if (!MakeFolderAt(parent.Get(), name.c_str(), 0700) && errno != EEXIST) {
    mRefusal = std::string("cannot be made (") + std::strerror(errno) + ")";
    return;
  }
  const int descriptor = ::openat(parent.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) {
    mRefusal = WhyNotOpened(mPath, errno);
    return;
  }
  // Checked on what was opened, so that nothing put in its place since counts. The user's own is the one
  // that what the program makes there belongs to (as root inside another user's folder, that user).
  struct stat info;
  if (::fstat(descriptor, &info) != 0) {
    mRefusal = std::string("cannot be read (") + std::strerror(errno) + ")";
  } else if (info.st_uid != OwnerOfNewEntries(above)) {
    mRefusal = "belongs to another user (uid " + std::to_string(info.st_uid) + ")";
  } else if ((info.st_mode & 077) != 0) {
    mRefusal = "is open to other users (mode " + ModeText(info.st_mode) + ")";
  }
  if (!mRefusal.empty()) {
    ::close(descriptor);
    return;
  }
  mDescriptor = descriptor;
}

PrivateFolder::~PrivateFolder() {
  if (mDescriptor >= 0) ::close(mDescriptor);
}

}  // namespace plat
