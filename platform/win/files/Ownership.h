// Who owns what the program makes and replaces. A file made in place of another, or as a copy of it,
// takes that file's owner and group. Where the process may not set an owner, the file keeps the one it
// has, which is no error. Any thread; the calls on descriptors are async-signal-safe.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace plat {

// Gives a file made in place of the model, or as a copy of it, the model's owner and group (as far as the
// process may) and then its permission bits, so that whoever may read the file stays so. False, with errno
// set, when a change the process may make failed.
[[nodiscard]] bool TakeOwnerAndMode(int file, const struct stat& model);

}  // namespace plat
