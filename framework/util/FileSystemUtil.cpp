#include "framework/util/FileSystemUtil.h"

#include <cstdio>

#include "platform/win/files/FileReplace.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/files/Removal.h"

namespace Kit {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool DeleteFolderTree(const std::string& folder) { return folder.size() >= 2 && plat::RemoveFolderTree(folder); }

void MakeDirectories(const std::string& path) {
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (IsSeparator(path[i]) && !IsSeparator(path[i - 1])) CreateDirectory(path.substr(0, i).c_str(), nullptr);
  }
  CreateDirectory(path.c_str(), nullptr);
}

std::uint32_t GetFileDate(const std::string& path) {
  WIN32_FIND_DATA found{};
  HANDLE search = FindFirstFile(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  std::int64_t seconds = plat::UnixSecondsFromFileTime(found.ftLastWriteTime);
  return seconds < 0 ? 0 : static_cast<std::uint32_t>(seconds);
}

bool WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t length) {
  if (length > 0 && data == nullptr) return false;
  return plat::ReplaceFileContents(plat::MapPath(path),
                                   std::string_view(reinterpret_cast<const char*>(data), data ? length : 0));
}

}  // namespace Kit
