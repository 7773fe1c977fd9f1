#include "platform/win/files/Ownership.h"

#include <unistd.h>

#include <cerrno>

namespace plat {
namespace {

// Gives the open file or folder the owner and group, skipped where it has them already. Where the process
// may not give them, the entry keeps the ones it has and that is no failure: an ordinary user may give
// a file to no one else (EPERM), and inside a user namespace an owner the namespace does not map cannot be
// set by anyone (EINVAL), so a save over another user's file still saves.
bool SetOwner(int entry, uid_t user, gid_t group) {
  struct stat now {};
  if (::fstat(entry, &now) == 0 && now.st_uid == user && now.st_gid == group) return true;
  return ::fchown(entry, user, group) == 0 || errno == EPERM || errno == EINVAL;
}

}  // namespace

bool TakeOwnerAndMode(int file, const struct stat& model) {
  return SetOwner(file, model.st_uid, model.st_gid) && ::fchmod(file, model.st_mode & 0777) == 0;
}

}  // namespace plat
