#include "platform/win/files/PathMap.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/win/files/NewFolders.h"

namespace plat {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// A regular file, through any links, that this process may read: not a folder, a pipe or device, a
// dangling or looping link, or a file without read permission.
bool IsReadableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

bool IsFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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

std::mutex gFoldersLock;
std::string gPlayerFolder;
// The player's folder for a fault handler, which can neither lock nor allocate: empty when none is set
// or it does not fit.
char gPlayerFolderForSignals[4096] = {};
std::string gDataFolder;

// Resolves the components of `path` one by one below `resolved` (empty, "/" or a folder ending in
// '/'); *complete tells whether every component exists.
std::string ResolveBelow(std::string resolved, const std::string& path, bool* complete) {
  std::size_t pos = 0;
  bool stillResolving = true;
  while (pos <= path.size()) {
    std::size_t slash = path.find('/', pos);
    std::size_t end = slash == std::string::npos ? path.size() : slash;
    std::string_view component(path.data() + pos, end - pos);
    if (!component.empty()) {
      std::string folder = resolved;
      std::string candidate = resolved + std::string(component);
      if (stillResolving && !Exists(candidate)) {
        std::string match = component == "." || component == ".." ? std::string() : FindIgnoringCase(folder, component);
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
  *complete = stillResolving;
  return resolved;
}

// The folder of the running executable, with a trailing '/'.
const std::string& ProgramFolder() {
  static const std::string folder = [] {
    std::error_code ignored;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
    return program.empty() ? std::string() : program.parent_path().string() + "/";
  }();
  return folder;
}

std::string WithSlash(const std::string& folder) {
  return folder.empty() || folder.back() == '/' ? folder : folder + "/";
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
  if (path.empty()) return path;
  bool complete = false;
  if (path.front() == '/') {
    if (Exists(path)) return path;
    // The game's files lie beside the program it names them by; an installed copy keeps them in its data
    // folder instead, so what is missing beside the program is looked for as a relative path there.
    const std::string& program = ProgramFolder();
    if (!program.empty() && path.starts_with(program) && path.size() > program.size()) {
      std::string data;
      {
        std::lock_guard guard(gFoldersLock);
        data = gDataFolder;
      }
      if (!data.empty() && WithSlash(data) != program) return MapPath(std::string_view(path).substr(program.size()));
    }
    return ResolveBelow("/", path.substr(1), &complete);
  }

  std::string player, data;
  {
    std::lock_guard guard(gFoldersLock);
    player = gPlayerFolder;
    data = gDataFolder;
  }
  if (player.empty()) return Exists(path) ? path : ResolveBelow("", path, &complete);
  const std::string inPlayer = ResolveBelow(WithSlash(player), path, &complete);
  const bool inPlayerFolder = complete;
  if (inPlayerFolder && IsReadableFile(inPlayer)) return inPlayer;
  if (!data.empty()) {
    const std::string inData = ResolveBelow(WithSlash(data), path, &complete);
    // What stands in the player's folder in place of one of the game's files, but cannot be read as a
    // file, is passed over for the game's own.
    if (complete && (!inPlayerFolder || IsFile(inData))) return inData;
  }
  return inPlayer;
}

std::string PlayersOwnCopy(std::string_view programPath) {
  const std::string player = PlayerFolder();
  const std::string path = NormalizeSeparators(programPath);
  if (player.empty() || path.empty() || path.front() == '/') return {};
  const std::string mapped = MapPath(programPath);
  return mapped.starts_with(WithSlash(player)) && Exists(mapped) ? mapped : std::string();
}

std::vector<std::string> MapFolderForListing(std::string_view programFolder) {
  const std::string path = NormalizeSeparators(programFolder);
  std::string player, data;
  {
    std::lock_guard guard(gFoldersLock);
    player = gPlayerFolder;
    data = gDataFolder;
  }
  if (path.empty() || path.front() == '/' || player.empty()) return {MapPath(programFolder)};
  std::vector<std::string> folders;
  for (const std::string& root : {player, data}) {
    if (root.empty()) continue;
    bool complete = false;
    std::string folder = ResolveBelow(WithSlash(root), path, &complete);
    if (complete) folders.push_back(std::move(folder));
  }
  if (folders.empty()) folders.push_back(MapPath(programFolder));
  return folders;
}

void SetSearchFolders(std::string playerFolder, std::string dataFolder) {
  std::lock_guard guard(gFoldersLock);
  gPlayerFolder = std::move(playerFolder);
  gDataFolder = std::move(dataFolder);
  const bool fits = gPlayerFolder.size() < sizeof(gPlayerFolderForSignals);
  const std::size_t length = fits ? gPlayerFolder.size() : 0;
  gPlayerFolder.copy(gPlayerFolderForSignals, length);
  gPlayerFolderForSignals[length] = '\0';
}

bool NewFilePathForSignals(const char* name, char* path, std::size_t room) {
  std::size_t used = 0;
  auto add = [&](const char* text) {
    for (; *text != '\0'; ++text) {
      if (used + 1 >= room) return false;
      path[used++] = *text;
    }
    return true;
  };
  const bool inFolder = gPlayerFolderForSignals[0] != '\0';
  if (room == 0 || (inFolder && !(add(gPlayerFolderForSignals) && add("/"))) || !add(name)) return false;
  path[used] = '\0';
  return true;
}

std::string PlayerFolder() {
  std::lock_guard guard(gFoldersLock);
  return gPlayerFolder;
}

std::string DataFolder() {
  std::lock_guard guard(gFoldersLock);
  return gDataFolder;
}

std::string XdgBaseFolder(const char* variable, const char* homeRelative) {
  const char* value = std::getenv(variable);
  if (value && *value == '/') return value;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/" + homeRelative;
}

std::string ChooseDataFolder(const std::string& programFolder, const std::string& dataFromProgram,
                             const std::string& installedDataFolder) {
  const auto holdsData = [](const std::filesystem::path& folder) {
    return Exists((folder / "properties/resources.xml").string());
  };
  if (!programFolder.empty()) {
    if (holdsData(programFolder)) return programFolder;
    if (!dataFromProgram.empty()) {
      const std::filesystem::path besideProgram =
          (std::filesystem::path(programFolder) / dataFromProgram).lexically_normal();
      if (holdsData(besideProgram)) return besideProgram.string();
    }
  }
  return installedDataFolder;
}

void UseGameFolders(const std::string& game, const std::string& dataFromProgram,
                    const std::string& installedDataFolder) {
  const std::string player = XdgBaseFolder("XDG_DATA_HOME", ".local/share") + "/" + game;
  MakeFolders(player);
  std::error_code ignored;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
  SetSearchFolders(player, ChooseDataFolder(program.parent_path().string(), dataFromProgram, installedDataFolder));
}

}  // namespace plat
