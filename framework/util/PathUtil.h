// Path manipulation on Windows-style program paths. Either slash separates, in any mix: paths come
// from data files, the registry and the code alike.
#pragma once

#include <string>

namespace Kit {

// Resolves relPath against baseFolder: "." and ".." components are folded into the folder, a
// leading separator goes to the root of the folder's drive, and a path with a drive ("d:...") is
// returned unchanged. The result uses "\" when either argument does, otherwise "/".
std::string GetPathFrom(const std::string& relPath, const std::string& baseFolder);
// The part after the last separator (the whole path when there is none); with noExtension, without
// the last "." and what follows it.
std::string GetFileName(const std::string& path, bool noExtension = false);
// The part before the last separator, with that separator when withSlash is set; "" when there is
// no separator.
std::string GetFileDir(const std::string& path, bool withSlash = false);
// The path without one final "\" or "/".
std::string RemoveTrailingSlash(const std::string& path);
// The path with "\" (backslash) or "/" appended unless it already ends in either; "" stays "".
std::string AddTrailingSlash(const std::string& path, bool backslash = true);

}  // namespace Kit
