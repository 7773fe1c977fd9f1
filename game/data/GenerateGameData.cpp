// The game's data generator: writes every file the game reads (manifest, pictures, fonts, sounds,
// music, object templates, brick effects, levels, help) into a data folder, and the desktop's icons
// (icons/, installed into the icon theme), from nothing but the level sources and this program. The
// same sources give the same bytes.
//   gamedata_generator <level source folder> <data folder> [part...]
// Named parts (screens sprites fonts help sounds music records levels icons) make only their own files
// and no manifest, which needs them all: a check that the generator repeats itself redoes the quick ones.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "game/data/DataOutput.h"
#include "game/data/DesktopIcon.h"
#include "game/data/Fonts.h"
#include "game/data/GameObjects.h"
#include "game/data/HelpPages.h"
#include "game/data/Levels.h"
#include "game/data/Music.h"
#include "game/data/Screens.h"
#include "game/data/SoundEffects.h"
#include "game/data/Sprites.h"

namespace {

// Compiles every level source of the folder: the scenes' files to data/, the sample custom levels
// (sources named custom*) to custom/sample<n>.lvx.
void MakeLevels(gamedata::DataOutput& out, const std::string& sourceFolder) {
  std::vector<std::filesystem::path> sources;
  for (const auto& entry : std::filesystem::directory_iterator(sourceFolder))
    if (entry.path().extension() == ".txt") sources.push_back(entry.path());
  std::sort(sources.begin(), sources.end());
  for (const auto& path : sources) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const bool custom = path.filename().string().rfind("custom", 0) == 0;
    int sample = 0;
    for (const gamedata::CompiledLevel& level : gamedata::CompileLevelSource(text.str(), path.filename().string())) {
      // Sample custom levels have the same layout under the custom folder's extension.
      const std::string file = custom ? "custom/sample" + std::to_string(++sample) + ".lvx" : level.file;
      out.WriteFile(file, gamedata::EncodeLevel(level.contents));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::set<std::string> kParts = {"screens", "sprites", "fonts",  "help", "sounds",
                                        "music",   "records", "levels", "icons"};
  const std::set<std::string> parts(argv + std::min(argc, 3), argv + argc);
  if (argc < 3 || !std::includes(kParts.begin(), kParts.end(), parts.begin(), parts.end())) {
    std::fprintf(stderr, "usage: gamedata_generator <level source folder> <data folder> [part...]\n");
    return 2;
  }
  const auto make = [&parts](const char* part) { return parts.empty() || parts.count(part) != 0; };
  try {
    gamedata::DataOutput out(argv[2]);
    if (make("screens")) gamedata::MakeScreens(out);
    if (make("sprites")) gamedata::MakeSprites(out);
    if (make("fonts")) gamedata::MakeFonts(out);
    if (make("help")) gamedata::MakeHelp(out);
    if (make("sounds")) gamedata::MakeSoundEffects(out);
    if (make("music")) gamedata::MakeMusic(out);
    if (make("records")) {
      out.WriteFile("data/template.dat", gamedata::TemplateFile());
      out.WriteFile("data/effect.txt", gamedata::EffectTable());
      // Adapters on which the display's 3D self-test advises against Direct3D: the platform's own
      // software device draws a busy frame slower than the 2D path, so the game starts in 2D there
      // and the player may still turn 3D on.
      out.WriteFile("vhwb.dat", "Software DirectDraw on SDL2\r\n");
    }
    if (make("levels")) MakeLevels(out, argv[1]);
    if (make("icons")) gamedata::MakeDesktopIcons(out);
    if (parts.empty()) out.WriteFile("properties/resources.xml", out.Manifest());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "gamedata_generator: %s\n", error.what());
    return 1;
  }
  return 0;
}
