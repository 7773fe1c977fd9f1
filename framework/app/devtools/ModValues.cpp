#include "framework/app/devtools/ModValues.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/util/FileSystemUtil.h"
#include "framework/util/PathUtil.h"
#include "framework/util/StringUtil.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/util/ClampToInt.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/Process.h"

namespace Kit {

namespace {

struct ModRegistry {
  std::map<std::string, ModValueFile> mFiles;
  std::uint32_t mLatestTime = 0;
  bool mTimeSet = false;
  std::string mSourceFolder;
};

ModRegistry& Registry() {
  static ModRegistry registry;
  return registry;
}

// How many folders above the executable's are searched for a relatively named source file.
constexpr int kParentLevels = 4;
// Far beyond any source file: a bigger one does not open.
constexpr std::size_t kMaxSourceFileBytes = 64u << 20;

// A regular file that opens for reading (a folder or a pipe is none, and a pipe is not waited on).
bool FileReadable(const std::string& path) { return plat::OpenFileForReading(plat::MapPath(path)) != nullptr; }

std::string ExecutablePath() {
  char path[256] = {};
  GetModuleFileName(nullptr, path, sizeof(path));
  return path;
}

// The next line of the text, however long, without its line feed; false at the end of the text.
bool ReadSourceLine(std::string_view& text, std::string& line) {
  if (text.empty()) return false;
  const std::size_t end = std::min(text.find('\n'), text.size());
  line.assign(text.substr(0, end));
  text.remove_prefix(std::min(end + 1, text.size()));
  return true;
}

// Parses one M(...) argument; stores it under macro k of the line unless k was already used there.
enum class SiteResult { None, Stored, Repeated };
SiteResult ParseSite(const std::string& fileName, const char* argument, int macro, int line, bool* used) {
  int intValue = 0;
  double doubleValue = 0.0;
  if (ParseModInt(argument, intValue)) {
    doubleValue = intValue;
  } else if (ParseModDouble(argument, doubleValue)) {
    // An integer constant written with a fraction takes its integer part, held at int's limits.
    intValue = plat::ClampToInt(doubleValue);
  } else {
    return SiteResult::None;
  }
  if (used[macro]) return SiteResult::Repeated;
  used[macro] = true;
  SetModValue(macro, fileName, line, intValue, doubleValue);
  return SiteResult::Stored;
}

}  // namespace

ModValueFile& RegisterModValSite(const std::string& fileName) { return Registry().mFiles[fileName]; }

void SetModValue(int macro, const std::string& fileName, int line, int intValue, double doubleValue) {
  if (macro < 0 || macro > 9 || line < 0) return;
  std::vector<ModValue>& list = RegisterModValSite(fileName).mLists[macro];
  if (list.size() < static_cast<std::size_t>(line) + 1) list.resize(static_cast<std::size_t>(line) + 1);
  list[line] = {true, intValue, doubleValue};
}

void SetModSourceFolder(const std::string& folder) { Registry().mSourceFolder = folder; }

std::string FindModSourceFile(const std::string& fileName) {
  if (FileReadable(fileName)) return fileName;
  std::string configured = Registry().mSourceFolder;
  if (configured.empty() && std::getenv("KIT_SOURCE_DIR") != nullptr) configured = std::getenv("KIT_SOURCE_DIR");
  if (!configured.empty() && FileReadable(AddTrailingSlash(configured, false) + fileName))
    return AddTrailingSlash(configured, false) + fileName;
  std::string folder = GetFileDir(ExecutablePath());
  for (int level = 0; level <= kParentLevels && !folder.empty(); ++level) {
    const std::string candidate = AddTrailingSlash(folder, false) + fileName;
    if (FileReadable(candidate)) return candidate;
    folder = GetFileDir(folder);
  }
  return fileName;
}

void ResetModValues() {
  ModRegistry& registry = Registry();
  registry.mFiles.clear();
  registry.mTimeSet = false;
  registry.mLatestTime = 0;
}

bool ParseModInt(const char* text, int& value) {
  value = 0;
  bool negative = false;
  bool hex = false;
  int i = 0;
  if (text[0] == '-') {
    negative = true;
    i = 1;
  }
  // Decimal numbers must fit an int; hexadecimal ones are 32-bit patterns (0xFFFFFFFF reads as -1, and
  // as 0xFFFFFFFF again in an unsigned constant). Anything longer is no integer: a decimal one is then
  // read as a real number.
  std::uint64_t number = 0;
  for (; text[i] != ')'; ++i) {
    const char c = text[i];
    if ((c == 'x' || c == 'X') && i == 1 && number == 0 && !hex) {
      hex = true;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      number = number * (hex ? 16 : 10) + static_cast<unsigned int>(c - '0');
    } else if (hex && std::isxdigit(static_cast<unsigned char>(c))) {
      number = number * 16 + static_cast<unsigned int>(std::tolower(c) - 'a' + 10);
    } else {
      return false;
    }
    if (number > 0xFFFFFFFFull) return false;
  }
  if (number > (hex ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
  const auto bits = static_cast<std::uint32_t>(number);
  value = static_cast<int>(negative ? 0u - bits : bits);
  return true;
}

bool ParseModDouble(const char* text, double& value) {
  value = 0.0;
  int i = 0;
  const bool negative = text[0] == '-';
  if (negative) i = 1;
  double number = 0.0;
  for (; std::isdigit(static_cast<unsigned char>(text[i])); ++i) number = number * 10 + (text[i] - '0');
  if (text[i] == '.') {
    double factor = 0.1;
    for (++i; std::isdigit(static_cast<unsigned char>(text[i])); ++i, factor *= 0.1) number += (text[i] - '0') * factor;
  }
  if (text[i] == 'f') ++i;
  if (text[i] != ')') return false;
  value = negative ? -number : number;
  return true;
}

bool ReparseModValues() {
  ModRegistry& registry = Registry();
  if (!registry.mTimeSet) {
    registry.mLatestTime = GetFileDate(ExecutablePath());
    registry.mTimeSet = true;
  }
  // Every file's old values go first: a reload that stops at one file leaves the files after it
  // empty, not holding numbers of an earlier reload.
  for (auto& [name, file] : registry.mFiles)
    for (auto& list : file.mLists) list.clear();
  bool changed = false;
  std::string parsedNames;
  for (auto& [name, file] : registry.mFiles) {
    file.mReparsed = true;
    const std::string path = FindModSourceFile(name);
    const std::uint32_t date = GetFileDate(path);
    if (date > registry.mLatestTime) {
      changed = true;
      registry.mLatestTime = date;
    }
    if (!parsedNames.empty()) parsedNames += "\r\n  ";
    parsedNames += name;

    std::string source;
    if (plat::ReadWholeFile(plat::MapPath(path), &source, kMaxSourceFileBytes) != plat::FileReadResult::kRead) {
      MessageBox(nullptr, ("ERROR: Unable to open " + name + " for reparsing.").c_str(), "MODVAL ERROR!", MB_ICONSTOP);
      return false;
    }
    std::string_view unread = source;
    std::string text;
    int line = 0;
    while (ReadSourceLine(unread, text)) {
      ++line;
      bool used[10] = {};
      const char* chars = text.c_str();
      const auto length = static_cast<std::ptrdiff_t>(text.size());
      for (std::ptrdiff_t i = 1; i < length; ++i) {
        if (chars[i] != '(') continue;
        int macro = 0;
        std::ptrdiff_t m = i - 1;
        if (chars[m] >= '1' && chars[m] <= '9') {
          macro = chars[m] - '0';
          --m;
        }
        if (m < 1 || chars[m] != 'M' || std::isalpha(static_cast<unsigned char>(chars[m - 1]))) continue;
        if (ParseSite(name, chars + i + 1, macro, line, used) == SiteResult::Repeated) {
          MessageBox(nullptr,
                     StrFormat("ERROR in %s on line %d: If you want to use more than one M() value per line, you must "
                               "use the numbered macros (ie: M1(), M2(), M3(), etc), using each one a maximum of once "
                               "per line.  Alternatively, you may split up your statement into multiple lines.",
                               name.c_str(), line)
                         .c_str(),
                     "MODVAL ERROR", MB_ICONSTOP);
          return false;
        }
      }
    }
  }
  if (changed) return true;
  MessageBox(nullptr,
             ("WARNING: No file changes detected.  Files parsed: \r\n  " + (parsedNames.empty() ? "none" : parsedNames))
                 .c_str(),
             "MODVAL WARNING!", MB_ICONEXCLAMATION);
  return false;
}

}  // namespace Kit
