#include "game/data/Levels.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "game/data/Catalog.h"
#include "game/data/GameObjects.h"

namespace gamedata {
namespace {

// The play field: walls at x 0 and 800, the hint bar down to y 22; bricks stay above y 500, where
// the move-down power-up stops.
constexpr float kFieldRight = 800, kFieldTop = 22, kLowestBrickBottom = 500;

std::string Code(const std::string& name) { return name.size() >= 8 ? name.substr(6, 2) : std::string(); }

const Animation* BrickAnimation(const std::string& name) {
  for (const BrickKind& brick : Bricks())
    if (brick.Name() == name) return &AnimationNamed(name);
  return nullptr;
}

struct Source {
  std::string name;
  int line = 0;
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(name + ":" + std::to_string(line) + ": " + what);
  }
};

}  // namespace

std::string CheckLevel(const LevelContents& level) {
  int targets = 0, teleports = 0;
  const std::set<std::string> powerUps(PowerUps().begin(), PowerUps().end());
  for (const ObjectRecord& r : level.records) {
    const std::string code = Code(r.name);
    if (code == "aa" || code == "bb" || code == "cc" || code == "ee") ++targets;
    if (code == "ii") ++teleports;
    if (r.x < 0 || r.y < kFieldTop || r.x + r.width > kFieldRight || r.y + r.height > kLowestBrickBottom)
      return r.name + " lies outside the field";
    if (!r.code.empty() && r.code != "none" && !powerUps.count(r.code)) return "unknown drop " + r.code;
  }
  if (targets == 0) return "no brick to clear";
  if (teleports == 1) return "a single teleport brick";
  if (level.background < 1 || level.background > 3) return "no background";
  return {};
}

std::vector<CompiledLevel> CompileLevelSource(const std::string& text, const std::string& sourceName) {
  std::vector<CompiledLevel> levels;
  std::map<char, std::string> palette;
  Source source{sourceName};
  std::istringstream lines(text);
  std::string line;
  int scene = 0, cellWidth = 50, cellHeight = 24, top = 60;
  CompiledLevel* level = nullptr;
  std::vector<std::string> grid;
  bool inGrid = false;
  auto placeGrid = [&] {
    for (size_t row = 0; row < grid.size(); ++row)
      for (size_t col = 0; col < grid[row].size(); ++col) {
        const char c = grid[row][col];
        if (c == '.') continue;
        if (!palette.count(c)) source.Fail(std::string("no palette entry for '") + c + "'");
        const Animation* animation = BrickAnimation(palette[c]);
        ObjectRecord record = RecordOf(*animation);
        record.x = static_cast<float>(col * cellWidth + (cellWidth - animation->celWidth) / 2);
        record.y = static_cast<float>(top + row * cellHeight + (cellHeight - animation->celHeight) / 2);
        level->contents.records.push_back(record);
      }
  };
  while (std::getline(lines, line)) {
    ++source.line;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (inGrid) {
      if (line == "end") {
        inGrid = false;
        placeGrid();
        continue;
      }
      if (static_cast<int>(line.size()) * cellWidth > kFieldRight) source.Fail("grid row wider than the field");
      grid.push_back(line);
      continue;
    }
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword) || keyword[0] == '#') continue;
    if (keyword == "scene") {
      words >> scene;
    } else if (keyword == "brick") {
      char symbol;
      std::string name;
      words >> symbol >> name;
      if (!BrickAnimation(name)) source.Fail("unknown brick " + name);
      palette[symbol] = name;
    } else if (keyword == "level") {
      int number = 0;
      words >> number;
      levels.push_back({"data/level" + std::to_string(scene) + "_" + std::to_string(number) + ".vel", {}});
      level = &levels.back();
    } else if (!level) {
      source.Fail("'" + keyword + "' before the first level");
    } else if (keyword == "background") {
      words >> level->contents.background;
    } else if (keyword == "cell") {
      if (!(words >> cellWidth >> cellHeight) || cellWidth < 1 || cellWidth > kFieldRight || cellHeight < 1 ||
          cellHeight > kLowestBrickBottom)
        source.Fail("a cell must fit the field");
    } else if (keyword == "top") {
      if (!(words >> top) || top < 0 || top > kLowestBrickBottom) source.Fail("the top must lie in the field");
    } else if (keyword == "grid") {
      grid.clear();
      inGrid = true;
    } else if (keyword == "drop") {
      // drop <row> <column> <power-up>, counted from 1 in the grid just read.
      size_t row = 0, col = 0;
      std::string powerUp;
      words >> row >> col >> powerUp;
      const float x = static_cast<float>((col - 1) * cellWidth), y = static_cast<float>(top + (row - 1) * cellHeight);
      auto found =
          std::find_if(level->contents.records.begin(), level->contents.records.end(), [&](const ObjectRecord& r) {
            return r.x >= x && r.x < x + cellWidth && r.y >= y - 6 && r.y < y + cellHeight;
          });
      if (found == level->contents.records.end()) source.Fail("no brick to drop from");
      found->code = powerUp;
    } else {
      source.Fail("unknown keyword " + keyword);
    }
  }
  for (const CompiledLevel& compiled : levels)
    if (const std::string fault = CheckLevel(compiled.contents); !fault.empty())
      throw std::runtime_error(sourceName + ": " + compiled.file + ": " + fault);
  return levels;
}

}  // namespace gamedata
