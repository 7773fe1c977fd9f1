// Removing what stands in a folder through descriptors, never by a path walked again: a name read from
// the disk names that entry of the folder it was read in and is never mapped or joined into a path, and a
// folder moved or swapped for a link meanwhile leads nowhere else. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Removes the folder a program path names, with everything in it, as rm -r does. The path is mapped once;
// from there each folder is opened without following a link, listed and emptied through its descriptor,
// and removed once empty, and a link of any kind inside (to a folder, dangling, looping) is removed
// itself. A link named as the folder is removed and its target left alone. Any depth, in time linear in
// the entries, with a few dozen descriptors at most. True only when everything went. False, with nothing
// touched, for a missing folder, a file, a last part "." or "..", and the root of the file system however
// the path reaches it; false, stopping at once, when a folder above the one being emptied has been moved
// elsewhere meanwhile.
[[nodiscard]] bool RemoveFolderTree(std::string_view programPath);

// Removes one entry that is not a folder, by its name exactly as a listing read it, from the real folder
// it was read in (plat::FindEntries tells which). False for a folder, a name that is not one entry's (empty,
// ".", "..", or holding a '/') and when it cannot be removed.
bool RemoveEntryOf(const std::string& realFolder, std::string_view name);

}  // namespace plat
