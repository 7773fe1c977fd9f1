// Folder and file-date helpers over the platform's file calls; paths are program paths (either slash).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Kit {

// Deletes the folder with everything in it, as rm -r does (plat::RemoveFolderTree): a link, the folder's
// own name or one inside it, is removed and never followed, and nothing beside the folder is reached,
// whatever names it holds, however deep it goes and whatever another process does to it meanwhile. True
// only when everything went. A name shorter than two characters or whose last part is "." or "..", a
// missing folder, a file and the root of the file system give false and are left alone; so is a folder
// that cannot be listed.
bool DeleteFolderTree(const std::string& folder);
// Creates every folder along the path, the path itself last; existing folders are fine.
void MakeDirectories(const std::string& path);
// Last-write time in seconds since 1970-01-01 UTC; 0 when the file is not found.
std::uint32_t GetFileDate(const std::string& path);
// Writes the bytes to a temporary file beside the target, which replaces the target only once it is
// complete on disk: a failure or a crash midway leaves the old file as it was. False on any failure.
bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t length);

}  // namespace Kit
