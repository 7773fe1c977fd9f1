// The level compiler: reads the reviewable level sources of game/data/levels (one file per scene,
// a palette of brick pictures and ten grids with their power-up drops) and writes the binary level
// files data/level<scene>_<level>.vel, checking every rule the game relies on as it goes.
#pragma once

#include <string>
#include <vector>

#include "game/data/ObjectRecords.h"

namespace gamedata {

struct CompiledLevel {
  std::string file;  // relative to the data folder
  LevelContents contents;
};

// The levels of one source text; throws std::runtime_error naming the source line on any fault.
std::vector<CompiledLevel> CompileLevelSource(const std::string& text, const std::string& sourceName);
// Empty when the level keeps every rule; otherwise what is wrong.
std::string CheckLevel(const LevelContents& level);

}  // namespace gamedata
