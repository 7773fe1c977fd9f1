#include "platform/win/files/PrivateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(mPath).parent_path(), ignored);
  // mkdir never follows a link: one standing at the path makes it fail with EEXIST.
  if (::mkdir(mPath.c_str(), 0700) != 0 && errno != EEXIST) {
    mRefusal = std::string("cannot be made (") + std::strerror(errno) + ")";
    return;
  }
  const int descriptor = ::open(mPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) {
    mRefusal = WhyNotOpened(mPath, errno);
    return;
  }
  // Checked on what was opened, so that nothing put in its place since counts.
  struct stat info;
  if (::fstat(descriptor, &info) != 0) {
    mRefusal = std::string("cannot be read (") + std::strerror(errno) + ")";
  } else if (info.st_uid != ::geteuid()) {
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
