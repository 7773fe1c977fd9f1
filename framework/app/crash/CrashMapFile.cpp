// The linker map file's symbols and source lines, named in place of the logical addresses of a crash
// report.
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "framework/app/crash/CrashHandler.h"
#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

using Address = std::pair<std::uint32_t, std::uint32_t>;  // section, offset

struct MapTables {
  std::map<Address, std::string> symbols;
  std::map<Address, std::pair<std::string, int>> lines;
};

bool ParseAddress(const std::string& section, const std::string& offset, Address* address) {
  return CrashHandler::HexToUInt(section, &address->first) && CrashHandler::HexToUInt(offset, &address->second);
}

MapTables ReadMap(const std::string& text) {
  MapTables tables;
  std::istringstream lines(text);
  std::string line, sourceFile;
  while (std::getline(lines, line)) {
    plat::FeedCrashWatchdog();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Address address;
    if (line.size() >= 23 && line[5] == ':') {
      const std::size_t blank = line.find(' ', 21);
      if (ParseAddress(line.substr(1, 4), line.substr(6, 8), &address) && line[20] == ' ' && blank != std::string::npos)
        tables.symbols[address] = line.substr(21, blank - 21);
    } else if (line.rfind("Line numbers", 0) == 0) {
      const std::size_t open = line.find('('), close = line.rfind(')');
      const std::size_t from = open == std::string::npos ? 0 : open + 1;
      const std::size_t to = close == std::string::npos || close < from ? line.size() : close;
      sourceFile = line.substr(from, to - from);
    } else if (!sourceFile.empty() && line.size() == 80) {
      for (std::size_t entry = 0; entry < 80; entry += 20) {
        if (ParseAddress(line.substr(entry + 7, 4), line.substr(entry + 12, 8), &address))
          tables.lines[address] = {sourceFile, std::atoi(line.substr(entry, 6).c_str())};
      }
    }
  }
  return tables;
}

// The entry that holds `address`: the last one at or below it, in the same section.
template <typename Value>
const std::pair<const Address, Value>* EntryOf(const std::map<Address, Value>& table, const Address& address) {
  const auto after = table.upper_bound(address);
  if (after == table.begin()) return nullptr;
  const auto& entry = *std::prev(after);
  return entry.first.first == address.first ? &entry : nullptr;
}

std::string Demangled(const std::string& name) {
  int status = -1;
  char* plain = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  std::string text = status == 0 && plain != nullptr ? plain : name;
  std::free(plain);
  return text;
}

}  // namespace

void CrashHandler::AnnotateFromMap(std::string& report, const std::string& mapText) {
  const MapTables tables = ReadMap(mapText);
  for (std::size_t i = report.find(':'); i != std::string::npos; i = report.find(':', i + 1)) {
    // Only a colon with four characters before it and eight after it can be a logical address.
    if (i < 4 || report.size() - i - 1 < 8) continue;
    Address address;
    if (!ParseAddress(report.substr(i - 4, 4), report.substr(i + 1, 8), &address)) continue;
    const auto* symbol = EntryOf(tables.symbols, address);
    if (symbol == nullptr) continue;
    std::string text = Demangled(symbol->second);
    if (const std::uint32_t displacement = address.second - symbol->first.second; displacement != 0) {
      char piece[32];
      std::snprintf(piece, sizeof(piece), "+0x%X", displacement);
      text += piece;
    }
    if (const auto* line = EntryOf(tables.lines, address)) {
      char piece[4200];
      std::snprintf(piece, sizeof(piece), "\r\n    %s line %d +0x%X", line->second.first.c_str(), line->second.second,
                    address.second - line->first.second);
      text += piece;
    }
    report.replace(i - 4, 13, text);
    i = i - 4 + text.size() - 1;
  }
}

void CrashHandler::LookupMapFile(std::string& report) {
  WIN32_FIND_DATA found{};
  HANDLE search = FindFirstFile("*.map", &found);
  if (search == INVALID_HANDLE_VALUE) return;
  // The first file: a folder of that name is no map.
  bool isFile = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  while (!isFile && FindNextFile(search, &found)) isFile = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  FindClose(search);
  if (!isFile) return;
  // A map that cannot be read to its end, or one larger than any program's, annotates nothing.
  constexpr std::size_t kMaxMapFileBytes = 64u << 20;
  std::string text;
  if (plat::ReadWholeFile(plat::MapPath(found.cFileName), &text, kMaxMapFileBytes) == plat::FileReadResult::kRead)
    AnnotateFromMap(report, text);
}

}  // namespace Kit
