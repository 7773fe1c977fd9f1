#include "platform/win/PathMap.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace plat {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The entry of `folder` whose name equals `name` ignoring case, or an empty string.
std::string FindIgnoringCase(const std::string& folder, std::string_view name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::vector<std::string> matches;
  while (dirent* entry = ::readdir(dir)) {
    if (EqualsIgnoreCase(entry->d_name, name)) matches.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string NormalizeSeparators(std::string_view programPath) {
  std::string out;
  out.reserve(programPath.size());
  for (char c : programPath) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  return out;
}

std::string MapPath(std::string_view programPath) {
  std::string path = NormalizeSeparators(programPath);
  if (path.empty() || Exists(path)) return path;

  // Walk the components, resolving each against the real folder built so far.
  std::string resolved;
  std::size_t pos = 0;
  if (path.front() == '/') {
    resolved = "/";
    pos = 1;
  }
  bool stillResolving = true;
  while (pos <= path.size()) {
    std::size_t slash = path.find('/', pos);
    std::size_t end = slash == std::string::npos ? path.size() : slash;
    std::string_view component(path.data() + pos, end - pos);
    if (!component.empty()) {
      std::string folder = resolved;
      std::string candidate = resolved + std::string(component);
      if (stillResolving && component != "." && component != ".." && !Exists(candidate)) {
        std::string match = FindIgnoringCase(folder.empty() ? std::string() : folder, component);
        if (match.empty()) {
          stillResolving = false;
        } else {
          candidate = resolved + match;
        }
      }
      resolved = candidate;
      if (slash != std::string::npos) resolved.push_back('/');
    }
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  return resolved;
}

}  // namespace plat
