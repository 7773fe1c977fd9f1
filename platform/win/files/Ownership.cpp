#include "platform/win/files/Ownership.h"

#include <fcntl.h>
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

int PlainOpenAt(int folder, const char* name, int flags, mode_t mode) { return ::openat(folder, name, flags, mode); }

}  // namespace

uid_t OwnerOfNewEntries(const struct stat& folder) {
  const uid_t self = ::geteuid();
  return self == 0 ? folder.st_uid : self;
}

void GiveNewEntryItsOwner(int entry, int folder) {
  struct stat where {};
  if (::geteuid() != 0 || ::fstat(folder, &where) != 0 || where.st_uid == 0) return;
  const int error = errno;
  SetOwner(entry, OwnerOfNewEntries(where), where.st_gid);
  errno = error;
}

bool TakeOwnerAndMode(int file, const struct stat& model) {
  return SetOwner(file, model.st_uid, model.st_gid) && ::fchmod(file, model.st_mode & 0777) == 0;
}

int OpenOrMakeFile(int folder, const char* name, int flags, mode_t mode, OpenAt open) {
  if (open == nullptr) open = PlainOpenAt;
  const int made = open(folder, name, flags | O_CREAT | O_EXCL, mode);
  if (made >= 0) {
    GiveNewEntryItsOwner(made, folder);
    return made;
  }
  if (errno != EEXIST) return -1;
  // There already (or put there meanwhile): opened as it stands. Should it have gone again since, it is
  // made once more, and only then keeps the process's owner.
  return open(folder, name, flags | O_CREAT, mode);
}

}  // namespace plat
