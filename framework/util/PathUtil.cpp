#include "framework/util/PathUtil.h"

#include <algorithm>

namespace Kit {

namespace {

constexpr const char* kSeparators = "\\/";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

}  // namespace

std::string GetPathFrom(const std::string& relPath, const std::string& baseFolder) {
  if (HasDrive(relPath)) return relPath;
  const bool backslash = relPath.find('\\') != std::string::npos || baseFolder.find('\\') != std::string::npos;
  const char separator = backslash ? '\\' : '/';

  std::string drive;
  std::string folder = baseFolder;
  if (HasDrive(folder)) {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
  if (!folder.empty() && !IsSeparator(folder.back())) folder += separator;

  std::string rest = relPath;
  while (!folder.empty()) {
    std::size_t end = rest.find_first_of(kSeparators);
    if (end == std::string::npos) break;
    std::string component = rest.substr(0, end);
    rest.erase(0, end + 1);
    if (component == "..") {
      std::size_t trailing = folder.size() - 1;
      std::size_t before = trailing == 0 ? std::string::npos : folder.find_last_of(kSeparators, trailing - 1);
      std::size_t start = before == std::string::npos ? 0 : before + 1;
      std::string last = folder.substr(start, trailing - start);
      if (last == "..") {
        folder += "..";
        folder += separator;
      } else if (!last.empty()) {
        folder.erase(start);  // may leave the folder empty: the rest of relPath is then relative
      }
      // An empty last component is the root: ".." there stays at the root.
    } else if (component.empty()) {
      folder.assign(1, separator);
    } else if (component != ".") {
      folder += component;
      folder += separator;
    }
  }

  std::string result = drive + folder + rest;
  std::replace(result.begin(), result.end(), backslash ? '/' : '\\', separator);
  return result;
}

std::string GetFileName(const std::string& path, bool noExtension) {
  std::size_t separator = path.find_last_of(kSeparators);
  std::size_t start = separator == std::string::npos ? 0 : separator + 1;
  std::size_t dot = path.rfind('.');
  if (noExtension && dot != std::string::npos && dot >= start) return path.substr(start, dot - start);
  return path.substr(start);
}

std::string GetFileDir(const std::string& path, bool withSlash) {
  std::size_t separator = path.find_last_of(kSeparators);
  if (separator == std::string::npos) return {};
  return path.substr(0, withSlash ? separator + 1 : separator);
}

std::string RemoveTrailingSlash(const std::string& path) {
  if (!path.empty() && IsSeparator(path.back())) return path.substr(0, path.size() - 1);
  return path;
}

std::string AddTrailingSlash(const std::string& path, bool backslash) {
  if (path.empty() || IsSeparator(path.back())) return path;
  return path + (backslash ? '\\' : '/');
}

}  // namespace Kit
