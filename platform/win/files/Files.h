// Folders, listings and file facts. Every path goes through plat::MapPath, so Windows-style program
// paths ("data\\Level1.vel") work on Linux whatever their letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/Types.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

struct WIN32_FIND_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
using WIN32_FIND_DATAA = WIN32_FIND_DATA;
using LPWIN32_FIND_DATA = WIN32_FIND_DATA*;

struct SECURITY_ATTRIBUTES;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// Lists the entries of a folder whose names match the pattern's last component ('*' and '?', letter
// case ignored; "*.*" matches every name). "." and ".." are listed as on Windows; entries come in
// name order. A relative pattern lists the folders plat::MapFolderForListing gives for its folder (the
// search folders themselves for a pattern without one). ERROR_PATH_NOT_FOUND for a missing folder,
// ERROR_FILE_NOT_FOUND when nothing matches.
HANDLE FindFirstFile(LPCSTR pattern, LPWIN32_FIND_DATA data);
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATA data);
// FALSE with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA data);
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATA data);
BOOL FindClose(HANDLE find);

BOOL CreateDirectory(LPCSTR path, SECURITY_ATTRIBUTES* security);
BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* security);
BOOL RemoveDirectory(LPCSTR path);
BOOL RemoveDirectoryA(LPCSTR path);
BOOL DeleteFile(LPCSTR path);
BOOL DeleteFileA(LPCSTR path);
// Renames a file or folder; fails (ERROR_ALREADY_EXISTS) rather than replace an existing target.
BOOL MoveFile(LPCSTR from, LPCSTR to);
BOOL MoveFileA(LPCSTR from, LPCSTR to);
DWORD GetFileAttributes(LPCSTR path);
DWORD GetFileAttributesA(LPCSTR path);
BOOL SetCurrentDirectory(LPCSTR path);
BOOL SetCurrentDirectoryA(LPCSTR path);

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

namespace plat {

// An entry a listing found, and the real folder it was read in.
struct FoundEntry {
  std::string folder;
  WIN32_FIND_DATA data;
};
// What FindFirstFile and FindNextFile list for the pattern, in their order, each entry with the real
// folder it lies in: to act on one there by the name read (plat::RemoveEntryOf), never through a path
// that is mapped again. Empty, with FindFirstFile's last error, when nothing is listed.
[[nodiscard]] std::vector<FoundEntry> FindEntries(std::string_view pattern);

// Whether a file name matches a Windows wildcard pattern, ignoring case.
[[nodiscard]] bool MatchesPattern(std::string_view name, std::string_view pattern);
// Seconds and nanoseconds since 1970 as a Windows file time (100 ns units since 1601).
[[nodiscard]] FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);
// The whole seconds since 1970 of a Windows file time (negative before 1970).
[[nodiscard]] std::int64_t UnixSecondsFromFileTime(const FILETIME& time);

}  // namespace plat
