// The one place where a program path (Windows style: '\' separators, any letter case) becomes a real
// Linux path. Every file open, listing and folder call of the project goes through MapPath. The game
// sets two search folders: its player's own folder, where everything it writes goes, and its read-only
// data folder; relative paths then resolve there instead of in the working folder. Safe from any
// thread once the folders are set (the game sets them before it starts any thread).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// '\' becomes '/', runs of separators collapse to one, and each component that does not exist with
// the given letter case is matched case-insensitively against the real entries of its folder (the
// first match in sorted order wins). Components that match nothing are kept as written, so a path of
// a file about to be created maps to where it will be made.
//
// With search folders set, a relative path is the first of: the path in the player's folder, when it
// exists there (as a file that can be read, where the data folder holds a file of that name: a folder,
// pipe, broken link or unreadable file standing for one of the game's files is passed over); the path
// in the data folder, when it exists there; the path in the player's folder, where a new file is made.
// Absolute paths are not redirected, but for one inside the running program's own folder that is missing
// there while a data folder elsewhere is set (an installed copy, whose files do not lie beside the
// program): it maps as the same path relative to the search folders.
[[nodiscard]] std::string MapPath(std::string_view programPath);

// The real path of the player's own copy that a relative program path reads (MapPath's, when that lies
// in the player's folder and something is there), or an empty string: for telling the player that a
// file which could not be used was theirs, not the game's.
[[nodiscard]] std::string PlayersOwnCopy(std::string_view programPath);

// The real folders a listing of a program folder reads, in order. With search folders set, a relative
// folder is its copy in the player's folder and its copy in the data folder, each where it exists, so
// that a listing shows the player's own files and the game's together (the player's first); where
// neither exists, and otherwise, the one folder MapPath gives.
[[nodiscard]] std::vector<std::string> MapFolderForListing(std::string_view programFolder);

// Sets the two search folders; empty strings turn the redirection off (relative paths then resolve in
// the working folder, as in tests and tools).
void SetSearchFolders(std::string playerFolder, std::string dataFolder);
[[nodiscard]] std::string PlayerFolder();
// Where a new file of that plain name is made (in the player's folder when one is set, else in the
// working folder), with async-signal-safe code only: for a fault handler. False when it does not fit.
[[nodiscard]] bool NewFilePathForSignals(const char* name, char* path, std::size_t room);
[[nodiscard]] std::string DataFolder();

// $<variable> when it holds an absolute path, else $HOME/<homeRelative> (/tmp when HOME is unset):
// the XDG base folders, such as XDG_DATA_HOME with ".local/share".
[[nodiscard]] std::string XdgBaseFolder(const char* variable, const char* homeRelative);

// The game's data folder: the first of these that holds properties/resources.xml: the program's own
// folder (a build tree); `dataFromProgram` taken from the program's folder (an installed copy, wherever
// its prefix has been put: "../share/<game>"); `installedDataFolder` (where the build meant to install
// it). When none does, installedDataFolder.
[[nodiscard]] std::string ChooseDataFolder(const std::string& programFolder, const std::string& dataFromProgram,
                                           const std::string& installedDataFolder);

// The game's folders: the player's folder is $XDG_DATA_HOME/<game> (~/.local/share/<game> when the
// variable is unset or relative), made when missing; the data folder is ChooseDataFolder's for the
// running executable's folder.
void UseGameFolders(const std::string& game, const std::string& dataFromProgram,
                    const std::string& installedDataFolder);

// Only the separator rewrite and collapse, without looking at the file system.
[[nodiscard]] std::string NormalizeSeparators(std::string_view programPath);

}  // namespace plat
