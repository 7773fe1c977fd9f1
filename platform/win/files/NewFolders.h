// Making folders, and opening the folder an entry lies in to work there by descriptor. A folder is made
// without following a link at its name (mkdir never does) and then, opened without following one either,
// takes its owner as Ownership says: made by root inside another user's folder, it is that user's. Paths
// are real ones (after plat::MapPath). Any thread.
#pragma once

#include <sys/types.h>

#include <string>

namespace plat {

// The folder that holds the last component of realPath (a trailing '/' ignored), opened to work in by
// descriptor (O_PATH: it need not be readable; a link to it is followed), and that component's name in
// *name. -1, with errno set, when it cannot be opened; EEXIST for the root, which lies in no folder.
[[nodiscard]] int OpenFolderOf(const std::string& realPath, std::string* name);

// Makes the folder of that name in the open folder parent (O_PATH will do), with the mode less the
// umask. False, with errno set, when it was not made (EEXIST when anything, a link too, has the name).
[[nodiscard]] bool MakeFolderAt(int parent, const char* name, mode_t mode);

// MakeFolderAt for the folder at realPath (a trailing '/' is ignored), in the folder above it, which must
// stand.
[[nodiscard]] bool MakeFolder(const std::string& realPath, mode_t mode);

// Makes the folder at realPath and every missing one above it, as `mkdir -p` does: what stands along the
// path, a folder or a link to one, is gone through, and each missing folder is made as MakeFolderAt makes
// it. True when a folder (or a link to one) stands at realPath afterwards; false, with errno set, when not.
bool MakeFolders(const std::string& realPath, mode_t mode = 0777);

}  // namespace plat
