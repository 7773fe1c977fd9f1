// Sets the program's two search folders (the player's and the game's data) for the object's lifetime
// and turns the redirection off again afterwards, also when a failed assertion ends the test early, so
// that no later test runs with a folder that is gone. Main thread, before the program's threads start.
#pragma once

#include <filesystem>

#include "platform/win/files/PathMap.h"

namespace testsupport {

class ScopedSearchFolders {
 public:
  ScopedSearchFolders(const std::filesystem::path& player, const std::filesystem::path& data) {
    plat::SetSearchFolders(player.string(), data.string());
  }
  ~ScopedSearchFolders() { plat::SetSearchFolders("", ""); }
  ScopedSearchFolders(const ScopedSearchFolders&) = delete;
  ScopedSearchFolders& operator=(const ScopedSearchFolders&) = delete;
};

}  // namespace testsupport
