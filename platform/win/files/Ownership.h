// Who owns what the program makes and replaces. What it makes belongs to the process's own user, as the
// system gives it, with one exception: a process running as root inside a folder that belongs to another
// user (the player's folders, which a run as root reaches through HOME and the XDG variables) gives what it
// makes there to that folder's owner and group, so that the player's later runs can still use, replace
// and lock it. A file made in place of another, or as a copy of it, takes that file's owner and group. Where
// the process may not set an owner, the file or folder keeps the one it has, which is no error. Any thread;
// the calls on descriptors are async-signal-safe.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace plat {

// The user that what the process makes in a folder (of these facts) belongs to: the folder's owner where
// the process runs as root and the folder is another user's, the process's own otherwise.
[[nodiscard]] uid_t OwnerOfNewEntries(const struct stat& folder);

// Gives the file or folder just made in the folder (both open; O_PATH will do for the folder) its owner as
// OwnerOfNewEntries says, with the folder's group, as far as it can: what was made stays made either way.
void GiveNewEntryItsOwner(int entry, int folder);

// Gives a file made in place of the model, or as a copy of it, the model's owner and group (as far as the
// process may) and then its permission bits, so that whoever may read the file stays so. False, with errno
// set, when a change the process may make failed.
[[nodiscard]] bool TakeOwnerAndMode(int file, const struct stat& model);

// openat(2), or a wrapper of it with the same arguments (OpenWithheldFromChildren).
using OpenAt = int (*)(int folder, const char* name, int flags, mode_t mode);

// Opens the file of that name in the folder with the flags (which hold neither O_CREAT nor O_EXCL), made
// with the mode (less the umask) when missing; the file made here gets its owner from
// GiveNewEntryItsOwner. Through `open` when given, else openat. -1, with errno set, when it cannot be opened.
[[nodiscard]] int OpenOrMakeFile(int folder, const char* name, int flags, mode_t mode, OpenAt open = nullptr);

}  // namespace plat
