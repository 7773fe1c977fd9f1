#include "platform/win/files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/win/Errors.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/PathMap.h"

namespace plat {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Match(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with one back-tracking point: linear in practice, never recursive.
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

struct FindState {
  std::vector<FoundEntry> entries;
  std::size_t next = 0;
};

std::mutex gFindLock;
std::set<FindState*> gFinds;

DWORD AttributesOf(const std::string& name, const struct stat& info) {
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!(info.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (!attributes)
    attributes = FILE_ATTRIBUTE_NORMAL;
  else if (!S_ISDIR(info.st_mode))
    attributes |= FILE_ATTRIBUTE_ARCHIVE;
  return attributes;
}

WIN32_FIND_DATA FindDataOf(const std::string& name, const struct stat& info) {
  WIN32_FIND_DATA data{};
  data.dwFileAttributes = AttributesOf(name, info);
  data.ftLastWriteTime = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
  data.ftLastAccessTime = FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
  data.ftCreationTime = FileTimeFromUnix(info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
  auto size = S_ISDIR(info.st_mode) ? 0ull : static_cast<unsigned long long>(info.st_size);
  data.nFileSizeLow = static_cast<DWORD>(size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  std::size_t length = std::min(name.size(), static_cast<std::size_t>(MAX_PATH - 1));
  std::memcpy(data.cFileName, name.data(), length);
  data.cFileName[length] = '\0';
  return data;
}

// Appends the folder's entries that match the pattern, except names already listed (letter case aside):
// the copy of a folder listed first hides a same-named entry of a later one, as it does when opened.
void ListMatches(DIR* dir, const std::string& folder, const std::string& pattern, std::vector<FoundEntry>* entries) {
  const std::size_t listedBefore = entries->size();
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!MatchesPattern(name, pattern)) continue;
    const auto listedAlready =
        std::any_of(entries->begin(), entries->begin() + static_cast<std::ptrdiff_t>(listedBefore),
                    [&name](const FoundEntry& listed) { return strcasecmp(listed.data.cFileName, name.c_str()) == 0; });
    if (listedAlready) continue;
    struct stat info;
    if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0) continue;  // a dangling link: nothing to open
    entries->push_back({folder, FindDataOf(name, info)});
  }
}

bool SetFromErrno() {
  SetLastError(ErrorFromErrno(errno));
  return false;
}

void FillSystemTime(const std::tm& parts, long milliseconds, SYSTEMTIME* time) {
  time->wYear = static_cast<WORD>(parts.tm_year + 1900);
  time->wMonth = static_cast<WORD>(parts.tm_mon + 1);
  time->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  time->wDay = static_cast<WORD>(parts.tm_mday);
  time->wHour = static_cast<WORD>(parts.tm_hour);
  time->wMinute = static_cast<WORD>(parts.tm_min);
  time->wSecond = static_cast<WORD>(parts.tm_sec);
  time->wMilliseconds = static_cast<WORD>(milliseconds);
}

constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000LL;

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (Match(name, pattern)) return true;
  // "name.*" also matches "name" without an extension, as on Windows ("*.*" matches everything).
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
    return Match(name, pattern.substr(0, pattern.size() - 2));
  return false;
}

FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
  std::int64_t ticks = seconds * 10'000'000 + nanoseconds / 100 + kUnixEpochIn100ns;
  if (ticks < 0) ticks = 0;
  auto value = static_cast<std::uint64_t>(ticks);
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

std::int64_t UnixSecondsFromFileTime(const FILETIME& time) {
  auto ticks = static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  return (ticks - kUnixEpochIn100ns) / 10'000'000;
}

std::vector<FoundEntry> FindEntries(std::string_view pattern) {
  if (pattern.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return {};
  }
  const std::string normal = NormalizeSeparators(pattern);
  const std::size_t slash = normal.rfind('/');
  const std::string folderPart = slash == std::string::npos ? "." : normal.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? normal : normal.substr(slash + 1);
  if (namePattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return {};
  }
  std::vector<FoundEntry> entries;
  bool anyFolderOpened = false;
  for (const std::string& folder : MapFolderForListing(folderPart)) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
      SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
      continue;
    }
    anyFolderOpened = true;
    ListMatches(dir, folder, namePattern, &entries);
    ::closedir(dir);
  }
  if (!anyFolderOpened) return {};
  if (entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return {};
  }
  std::sort(entries.begin(), entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
    return strcasecmp(a.data.cFileName, b.data.cFileName) < 0;
  });
  return entries;
}

}  // namespace plat

HANDLE FindFirstFile(LPCSTR pattern, LPWIN32_FIND_DATA data) {
  if (!pattern || !data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  auto state = std::make_unique<plat::FindState>();
  state->entries = plat::FindEntries(pattern);
  if (state->entries.empty()) return INVALID_HANDLE_VALUE;
  *data = state->entries[0].data;
  state->next = 1;
  std::lock_guard guard(plat::gFindLock);
  plat::gFinds.insert(state.get());
  return state.release();
}

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATA data) { return FindFirstFile(pattern, data); }

BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA data) {
  auto* state = static_cast<plat::FindState*>(find);
  std::lock_guard guard(plat::gFindLock);
  if (!data || !plat::gFinds.count(state)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (state->next >= state->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = state->entries[state->next++].data;
  return TRUE;
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATA data) { return FindNextFile(find, data); }

BOOL FindClose(HANDLE find) {
  auto* state = static_cast<plat::FindState*>(find);
  {
    std::lock_guard guard(plat::gFindLock);
    if (!plat::gFinds.erase(state)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
  delete state;
  return TRUE;
}

BOOL CreateDirectory(LPCSTR path, SECURITY_ATTRIBUTES*) {
  if (!path || !*path) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (plat::MakeFolder(plat::MapPath(path), 0755)) return TRUE;
  SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : plat::ErrorFromErrno(errno));
  return FALSE;
}

BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* security) { return CreateDirectory(path, security); }

BOOL RemoveDirectory(LPCSTR path) {
  if (!path) return FALSE;
  return ::rmdir(plat::MapPath(path).c_str()) == 0 ? TRUE : plat::SetFromErrno();
}

BOOL RemoveDirectoryA(LPCSTR path) { return RemoveDirectory(path); }

BOOL DeleteFile(LPCSTR path) {
  if (!path) return FALSE;
  std::string real = plat::MapPath(path);
  struct stat info;
  if (::lstat(real.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);  // folders are removed with RemoveDirectory
    return FALSE;
  }
  return ::unlink(real.c_str()) == 0 ? TRUE : plat::SetFromErrno();
}

BOOL DeleteFileA(LPCSTR path) { return DeleteFile(path); }

BOOL MoveFile(LPCSTR from, LPCSTR to) {
  if (!from || !to) return FALSE;
  const std::string source = plat::MapPath(from);
  const std::string target = plat::MapPath(to);
  return ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0 ? TRUE
                                                                                                : plat::SetFromErrno();
}

BOOL MoveFileA(LPCSTR from, LPCSTR to) { return MoveFile(from, to); }

DWORD GetFileAttributes(LPCSTR path) {
  if (!path) return INVALID_FILE_ATTRIBUTES;
  std::string real = plat::MapPath(path);
  struct stat info;
  if (::stat(real.c_str(), &info) != 0) {
    plat::SetFromErrno();
    return INVALID_FILE_ATTRIBUTES;
  }
  std::size_t slash = real.find_last_of('/');
  return plat::AttributesOf(slash == std::string::npos ? real : real.substr(slash + 1), info);
}

DWORD GetFileAttributesA(LPCSTR path) { return GetFileAttributes(path); }

BOOL SetCurrentDirectory(LPCSTR path) {
  if (!path) return FALSE;
  return ::chdir(plat::MapPath(path).c_str()) == 0 ? TRUE : plat::SetFromErrno();
}

BOOL SetCurrentDirectoryA(LPCSTR path) { return SetCurrentDirectory(path); }

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  if (!fileTime || !systemTime) return FALSE;
  std::uint64_t ticks = (static_cast<std::uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  if (ticks > 0x7FFFFFFFFFFFFFFFull) return FALSE;
  std::int64_t since1970 = static_cast<std::int64_t>(ticks) - plat::kUnixEpochIn100ns;
  std::int64_t seconds = since1970 >= 0 ? since1970 / 10'000'000 : (since1970 - 9'999'999) / 10'000'000;
  std::int64_t remainder = since1970 - seconds * 10'000'000;
  auto unixSeconds = static_cast<time_t>(seconds);
  std::tm parts;
  if (!::gmtime_r(&unixSeconds, &parts)) return FALSE;
  plat::FillSystemTime(parts, static_cast<long>(remainder / 10'000), systemTime);
  return TRUE;
}
