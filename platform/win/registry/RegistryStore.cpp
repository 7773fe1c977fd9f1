#include "platform/win/registry/RegistryStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <utility>

#include "platform/win/files/FileErrorText.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/DebugOutput.h"

namespace plat {
namespace {

constexpr std::string_view kHeader = "KitRegistry 1";
// Far beyond any settings file: a bigger one is a file that cannot be read.
constexpr std::size_t kMaxRegistryFileBytes = 16u << 20;
// Names tried for a damaged file set aside, from the first that nothing held when the file was read:
// others may take names meanwhile, but never without end.
constexpr int kAsideNamesTried = 100;

// The write groups open on this thread.
thread_local int tOpenGroups = 0;

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// Every field starts with '=' so that an empty one is visible; bytes that are not plain printable
// characters become %XX.
std::string Escape(std::string_view text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = "=";
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c > 0x20 && c < 0x7F && c != '%') {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Unescape(std::string_view field) {
  if (field.empty() || field[0] != '=') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < field.size(); ++i) {
    if (field[i] != '%') {
      out.push_back(field[i]);
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    int high = HexDigit(field[i + 1]), low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return out;
}

std::string Hex(const std::vector<BYTE>& data) {
  static const char* hex = "0123456789abcdef";
  std::string out = "=";
  for (BYTE b : data) {
    out.push_back(hex[b >> 4]);
    out.push_back(hex[b & 15]);
  }
  return out;
}

std::optional<std::vector<BYTE>> Unhex(std::string_view field) {
  if (field.empty() || field[0] != '=' || (field.size() - 1) % 2) return std::nullopt;
  std::vector<BYTE> out;
  out.reserve((field.size() - 1) / 2);
  for (std::size_t i = 1; i < field.size(); i += 2) {
    int high = HexDigit(field[i]), low = HexDigit(field[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out.push_back(static_cast<BYTE>(high * 16 + low));
  }
  return out;
}

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t space = line.find(' ', start);
    if (space == std::string_view::npos) space = line.size();
    fields.push_back(line.substr(start, space - start));
    start = space + 1;
  }
  return fields;
}

bool ParseDecimal(std::string_view text, std::uint64_t limit, std::uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  std::uint64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<std::uint64_t>(c - '0');
    if (result > limit) return false;
  }
  *value = result;
  return true;
}

}  // namespace

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string SerializeRegistry(const RegistryData& data) {
  std::string body(kHeader);
  body.push_back('\n');
  std::size_t lines = 1;
  for (const auto& [lowerPath, key] : data.keys) {
    body += "key " + Escape(key.path) + "\n";
    ++lines;
    for (const auto& [lowerName, named] : key.values) {
      body += "value " + Escape(named.first) + " " + std::to_string(named.second.type) + " " + Hex(named.second.data) +
              "\n";
      ++lines;
    }
  }
  char end[64];
  std::snprintf(end, sizeof(end), "end %zu %016llx\n", lines, static_cast<unsigned long long>(Fnv1a(body)));
  return body + end;
}

std::optional<RegistryData> ParseRegistry(std::string_view text) {
  std::size_t endLine = text.rfind("end ");
  if (endLine == std::string_view::npos || (endLine > 0 && text[endLine - 1] != '\n')) return std::nullopt;
  std::string_view body = text.substr(0, endLine);
  std::string_view trailer = text.substr(endLine);
  if (trailer.empty() || trailer.back() != '\n') return std::nullopt;
  std::vector<std::string_view> endFields = Split(trailer.substr(0, trailer.size() - 1));
  std::uint64_t expectedLines = 0;
  if (endFields.size() != 3 || !ParseDecimal(endFields[1], 1ull << 40, &expectedLines)) return std::nullopt;
  char hash[32];
  std::snprintf(hash, sizeof(hash), "%016llx", static_cast<unsigned long long>(Fnv1a(body)));
  if (endFields[2] != hash) return std::nullopt;

  RegistryData data;
  RegistryData::Key* current = nullptr;
  std::size_t lines = 0;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t newline = body.find('\n', start);
    if (newline == std::string_view::npos) return std::nullopt;
    std::string_view line = body.substr(start, newline - start);
    start = newline + 1;
    ++lines;
    if (lines == 1) {
      if (line != kHeader) return std::nullopt;
      continue;
    }
    std::vector<std::string_view> fields = Split(line);
    if (fields[0] == "key" && fields.size() == 2) {
      auto path = Unescape(fields[1]);
      if (!path) return std::nullopt;
      RegistryData::Key& key = data.keys[LowerAscii(*path)];
      key.path = *path;
      current = &key;
    } else if (fields[0] == "value" && fields.size() == 4 && current) {
      auto name = Unescape(fields[1]);
      std::uint64_t type = 0;
      auto bytes = Unhex(fields[3]);
      if (!name || !bytes || !ParseDecimal(fields[2], 0xFFFFFFFFull, &type)) return std::nullopt;
      current->values[LowerAscii(*name)] = {*name, RegistryValue{static_cast<DWORD>(type), std::move(*bytes)}};
    } else {
      return std::nullopt;
    }
  }
  if (lines != expectedLines) return std::nullopt;
  return data;
}

std::string DefaultRegistryFile() { return XdgBaseFolder("XDG_CONFIG_HOME", ".config") + "/quarvel/registry"; }

RegistryStore& RegistryStore::Instance() {
  static RegistryStore store;
  return store;
}

void RegistryStore::SetFile(std::string path) {
  std::lock_guard guard(mLock);
  mFile = std::move(path);
  mLoaded = false;
  mWriteFailureReported = false;
  mProblems.clear();
  mData = RegistryData{};
  mSaved = RegistryData{};
  mUnsaved = false;
}

std::string RegistryStore::File() {
  std::lock_guard guard(mLock);
  if (mFile.empty()) mFile = DefaultRegistryFile();
  return mFile;
}

std::string RegistryStore::TakeProblems() {
  std::lock_guard guard(mLock);
  return std::exchange(mProblems, std::string());
}

void RegistryStore::Report(const std::string& problem) {
  OutputDebugString((problem + "\n").c_str());
  mProblems += (mProblems.empty() ? "" : "\n") + problem;
}

void RegistryStore::EnsureLoaded() {
  if (mLoaded) return;
  mLoaded = true;
  mData = RegistryData{};
  mSaved = RegistryData{};
  mUnreadable = false;
  if (mFile.empty()) mFile = DefaultRegistryFile();
  RemoveStaleTemporaries(mFile);
  std::string text;
  switch (ReadWholeFile(mFile, &text, kMaxRegistryFileBytes)) {
    case FileReadResult::kMissing:
      return;
    case FileReadResult::kUnreadable:
      // Whatever is there may still hold the player's settings: it is left alone, and so are saves.
      mUnreadable = true;
      Report("The settings file " + mFile + " cannot be read (" + FileErrorText(mFile, errno) +
             "); settings start empty and are not saved.");
      return;
    case FileReadResult::kRead:
      break;
  }
  if (auto data = ParseRegistry(text)) {
    mData = std::move(*data);
    mSaved = mData;
    return;
  }
  SetAside(text);
}

void RegistryStore::SetAside(const std::string& text) {
  const auto asideName = [this](int number) {
    return mFile + ".damaged" + (number == 0 ? std::string() : "." + std::to_string(number));
  };
  // Whatever holds a name, a dangling or looping link included, keeps it: what holds one now is passed by
  // here, and what takes one meanwhile, as the file is put aside.
  int first = 0;
  while (AnythingAt(asideName(first))) ++first;
  std::vector<std::string> names;
  for (int number = first; number < first + kAsideNamesTried; ++number) names.push_back(asideName(number));
  std::error_code error;
  // A linked file keeps its link: its bytes are copied aside, and the next write goes through the link.
  const std::optional<std::string> aside = std::filesystem::is_symlink(std::filesystem::symlink_status(mFile, error))
                                               ? WriteCopyOf(mFile, names, text)
                                               : MoveAside(mFile, names);
  if (aside) {
    Report("The settings file " + mFile + " is damaged; it was kept as " + *aside + " and settings start empty.");
    return;
  }
  // Still the only copy of whatever it held: no write may replace it.
  mUnreadable = true;
  Report("The settings file " + mFile + " is damaged and could not be moved aside (" +
         std::generic_category().message(errno) + "); settings start empty and are not saved.");
}

bool RegistryStore::Keep(RegistryData next) {
  if (mUnreadable) return false;  // reported when it was read
  if (tOpenGroups > 0) {
    mData = std::move(next);
    mUnsaved = true;
    return true;
  }
  if (!Write(next)) return false;
  mSaved = next;
  mData = std::move(next);
  mUnsaved = false;  // whatever a group of another thread kept went into the file too
  return true;
}

void RegistryStore::BeginGroup() { ++tOpenGroups; }

bool RegistryStore::EndGroup() {
  std::lock_guard guard(mLock);
  if (--tOpenGroups > 0 || !mUnsaved) return true;
  mUnsaved = false;
  if (Write(mData)) {
    mSaved = mData;
    return true;
  }
  mData = mSaved;
  return false;
}

RegistryWriteGroup::RegistryWriteGroup() { RegistryStore::Instance().BeginGroup(); }

RegistryWriteGroup::~RegistryWriteGroup() { static_cast<void>(End()); }

bool RegistryWriteGroup::End() { return !std::exchange(mOpen, false) || RegistryStore::Instance().EndGroup(); }

bool RegistryStore::Write(const RegistryData& data) {
  if (mUnreadable) return false;  // reported when it was read
  std::filesystem::path target(mFile);
  if (target.has_parent_path()) MakeFolders(target.parent_path().string());
  if (ReplaceFileContents(mFile, SerializeRegistry(data))) return true;
  if (!std::exchange(mWriteFailureReported, true))
    Report("The settings file " + mFile + " could not be written (" + FileErrorText(mFile, errno) +
           "); settings are not saved.");
  return false;
}

std::string SetRegistryFile(std::string path) {
  std::string previous = RegistryStore::Instance().File();
  RegistryStore::Instance().SetFile(std::move(path));
  return previous;
}

}  // namespace plat
