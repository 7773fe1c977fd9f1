#include "framework/util/FileSystemUtil.h"

#include <cstdio>
#include <string_view>

#include "platform/win/files/FileReplace.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/files/SymbolicLinks.h"

namespace Kit {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The last part of a path, the separators after it left out.
std::string_view LastPart(std::string_view path) {
  while (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool DeleteFolderTree(const std::string& folder) {
  if (folder.size() < 2) return false;
  // "." and ".." never go, and emptying them would reach through a link the name does not show.
  const std::string_view last = LastPart(folder);
  if (last == "." || last == "..") return false;
  // From here on the real entry the name maps to is named, so that the link check and the listing look
  // at the same one whatever the letter case and separators (a relative name lists no second folder).
  std::string real = plat::MapPath(folder);
  while (real.size() > 1 && real.back() == '/') real.pop_back();
  // A link, to a folder or not, is removed itself, as rm -r does: listing through it would empty its target.
  if (plat::IsSymbolicLink(real)) return DeleteFile(real.c_str());
  const std::string prefix = real + "/";

  WIN32_FIND_DATA found{};
  HANDLE search = FindFirstFile((prefix + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    const std::string name = found.cFileName;
    // A sub-folder that is a link is removed by the call for it, like the folder itself.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if (name != "." && name != "..") ok = DeleteFolderTree(prefix + name) && ok;
    } else {
      ok = DeleteFile((prefix + name).c_str()) && ok;
    }
  } while (FindNextFile(search, &found));
  FindClose(search);
  return RemoveDirectory(real.c_str()) && ok;
}

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
