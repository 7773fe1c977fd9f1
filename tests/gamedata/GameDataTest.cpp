// The generated game data against the rules the game's code relies on: every resource loads through
// the resource manager, the templates, effects and levels agree with the pictures and with each other,
// and the generator makes the same bytes every time.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "framework/font/Font.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resource/ResourceManager.h"
#include "framework/sound/DSoundManager.h"
#include "game/data/Catalog.h"
#include "game/data/Levels.h"
#include "game/data/ObjectRecords.h"
#include "game/play/EffectFile.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ResourceIdList.h"
#include "platform/win/modules/Modules.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/FileContents.h"
#include "tests/support/ObjectFiles.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using gamedata::ObjectRecord;
using objectfiles::AsRecord;

std::string Code(const std::string& brickName) { return brickName.substr(6, 2); }

class GameDataTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    sData = new Data;
    testsupport::ScopedCurrentFolder inData(QUARVEL_DATA_DIR);
    // Read through the game's own readers.
    ObjectLibrary library;
    library.LoadTemplates("data\\template.dat");
    for (const auto& prototype : library.Prototypes()) sData->templates[prototype->mName] = AsRecord(*prototype);
    LoadEffectFile("data\\effect.txt", sData->effects);
    for (const auto& entry : fs::directory_iterator("data"))
      if (entry.path().extension() == ".vel") {
        auto level = gamedata::DecodeLevel(testsupport::ReadFileContents(entry.path().string()));
        ASSERT_TRUE(level.has_value()) << entry.path();
        library.ClearInstances();
        library.LoadLevel(entry.path().string());
        ASSERT_EQ(library.Instances().size(), level->records.size()) << entry.path();
        for (size_t i = 0; i < level->records.size(); ++i)
          ASSERT_EQ(AsRecord(*library.Instances()[i]), level->records[i]) << entry.path();
        sData->levels[entry.path().filename().string()] = *level;
      }
  }
  static void TearDownTestSuite() { delete sData; }

  const ObjectRecord* Template(const std::string& name) const {
    const auto found = sData->templates.find("template" + name);
    return found == sData->templates.end() ? nullptr : &found->second;
  }

  struct Data {
    std::map<std::string, ObjectRecord> templates;
    EffectTable effects;
    std::map<std::string, gamedata::LevelContents> levels;
  };
  static Data* sData;
  testsupport::ScopedCurrentFolder mInData{QUARVEL_DATA_DIR};
};

GameDataTest::Data* GameDataTest::sData = nullptr;

TEST_F(GameDataTest, EveryGroupLoadsAndEveryTemplateMatchesItsPicture) {
  HMODULE dsound = LoadLibrary("dsound.dll");
  {
    Kit::DSoundManager sounds(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150)), false);
    testresources::TestResourceHost host;
    host.sounds = &sounds;
    Kit::ResourceManager manager(&host);
    ASSERT_TRUE(manager.ParseResourcesFile("properties/resources.xml")) << manager.GetErrorText();
    for (const char* group : {"Init", "FormLoading", "Game"})
      ASSERT_TRUE(manager.LoadResources(group)) << group << ": " << manager.GetErrorText();
    // One table walked at run time: the checks expanded once per id made a function the compiler took
    // minutes over.
    struct Id {
      std::string_view kind;
      const char* name;
    };
#define QUARVEL_ID_ROW(kind, name) Id{#kind, #name},
    static constexpr Id kIds[] = {QUARVEL_RESOURCE_IDS(QUARVEL_ID_ROW)};
#undef QUARVEL_ID_ROW
    std::map<std::string, Kit::Image*> images;
    for (const Id& id : kIds) {
      if (id.kind == "IMAGE") {
        images[id.name] = manager.GetImageThrow(id.name).GetImage();
      } else if (id.kind == "SOUND") {
        EXPECT_GE(manager.GetSoundThrow(id.name), 0) << id.name;
      } else {
        Kit::Font* font = manager.GetFontThrow(id.name);
        EXPECT_GT(font->StringWidth("Score 10/10"), 0) << id.name;
        EXPECT_EQ(font->StringWidth("a\tb"), font->StringWidth("a b")) << id.name;
      }
    }

    for (const auto& [name, record] : sData->templates) {
      ASSERT_TRUE(images.count(record.imageName)) << name << " shows " << record.imageName;
      Kit::Image* image = images[record.imageName];
      EXPECT_EQ(image->mNumRows * image->mNumCols, record.frameCount) << name;
      EXPECT_EQ(image->GetCelWidth(), record.width) << name;
      EXPECT_EQ(image->GetCelHeight(), record.height) << name;
    }
    // Pixel collisions read cel 0 of balls and paddles: a solid body, and the same outline in every cel.
    for (const char* name : {"largeball", "smallball", "fireball", "paddleshort", "paddlemiddle", "paddlelong"}) {
      auto* image = dynamic_cast<Kit::MemoryImage*>(images[Template(name)->imageName]);
      ASSERT_NE(image, nullptr) << name;
      const std::uint32_t* bits = image->GetBits();
      const int width = image->GetWidth(), celWidth = image->GetCelWidth(), height = image->GetHeight();
      EXPECT_EQ(bits[(height / 2) * width + celWidth / 2] >> 24, 0xFFu) << name << ": the centre is opaque";
      for (int cel = 1; cel < image->mNumCols; ++cel)
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < celWidth; ++x)
            ASSERT_EQ(bits[y * width + x] >> 24 == 0xFF, bits[y * width + cel * celWidth + x] >> 24 == 0xFF)
                << name << " cel " << cel << " at " << x << "," << y;
    }
    // The lightning is drawn anywhere across the sky: nothing of it may touch its picture's sides, where
    // it would end in a straight cut.
    for (const char* name : {"IMAGE_BACK2_LIGHTING1", "IMAGE_BACK2_LIGHTING2"}) {
      auto* image = dynamic_cast<Kit::MemoryImage*>(images[name]);
      ASSERT_NE(image, nullptr) << name;
      const int width = image->GetWidth();
      for (int y = 0; y < image->GetHeight(); ++y)
        for (int x : {0, width - 1})
          ASSERT_EQ(image->GetBits()[y * width + x] >> 24, 0u) << name << " at " << x << "," << y;
    }
  }
  FreeLibrary(dsound);
  // The file list's wide text: every printable ASCII character has a glyph of its own width.
  GlyphFont glyphs;
  glyphs.LoadFile("fonts\\unicode.txt");
  for (char16_t c = u' '; c <= u'~'; ++c) {
    const GlyphRecord* glyph = glyphs.FindGlyph(c);
    ASSERT_NE(glyph, nullptr) << static_cast<char>(c);
    EXPECT_GT(glyph->mWidth, 0) << static_cast<char>(c);
  }
}

TEST_F(GameDataTest, EveryReachableBrickHasItsPictureTemplateAndEffects) {
  std::set<std::string> reachable;
  for (const auto& [file, level] : sData->levels)
    for (const ObjectRecord& r : level.records) reachable.insert(r.name);
  for (const gamedata::IronConversion& conversion : gamedata::IronConversions()) reachable.insert(conversion.becomes);
  // Weakening: "cc" becomes the "bb" brick of the same number, "bb" the "aa" one.
  for (std::string name : std::set<std::string>(reachable))
    for (const char* weaker : {"bb", "aa"})
      if (Code(name) == "cc" || (Code(name) == "bb" && std::string(weaker) == "aa"))
        reachable.insert(name.replace(6, 2, weaker));
  for (const std::string& name : reachable) {
    const ObjectRecord* prototype = Template(name);
    ASSERT_NE(prototype, nullptr) << name;
    EXPECT_TRUE(std::any_of(sData->effects.Records().begin(), sData->effects.Records().end(),
                            [&](const BrickEffectRecord& r) { return r.mBrickName == name; }))
        << name << " has no effect record";
    for (const std::string key : {"hitname", "deadname", "explodename", "fireballname"}) {
      const std::string value = sData->effects.Lookup(name, key);
      // Each effect value names up to two animations that play once and end by their frames.
      for (const std::string& effect :
           {value.substr(0, value.find(':')),
            value.find(':') == std::string::npos ? std::string() : value.substr(value.find(':') + 1)}) {
        if (effect.empty()) continue;
        const ObjectRecord* animation = Template(effect);
        ASSERT_NE(animation, nullptr) << name << " " << key << " " << effect;
        EXPECT_EQ(animation->frameMode, 0) << effect;
        EXPECT_EQ(animation->frameStep, 1) << effect;
      }
      // The first animation of an explosive brick is a bomb: it blasts at frame 5.
      if (Code(name) == "ee" && key != "hitname") {
        EXPECT_GE(Template(value.substr(0, value.find(':')))->frameCount, 6) << name << " " << key;
      }
    }
  }
  for (const gamedata::IronConversion& conversion : gamedata::IronConversions()) {
    ASSERT_NE(Template(conversion.iron), nullptr);
    EXPECT_EQ(Template(conversion.iron)->width, Template(conversion.becomes)->width)
        << "a converted brick keeps its place";
  }
  for (const char* name : {"largeball", "smallball", "fireball", "fire", "makeball", "newball", "paddleshort",
                           "paddlemiddle", "paddlelong", "bounce", "smallyellowbom"})
    EXPECT_NE(Template(name), nullptr) << name;
  for (const std::string& name : gamedata::PowerUps()) EXPECT_NE(Template(name), nullptr) << name;
}

TEST_F(GameDataTest, HundredLevelsKeepTheRulesAndUseEveryKindPowerUpAndBackground) {
  std::set<std::string> codes, drops;
  std::set<int> backgrounds;
  for (int scene = 1; scene <= 10; ++scene)
    for (int level = 1; level <= 10; ++level)
      EXPECT_TRUE(sData->levels.count("level" + std::to_string(scene) + "_" + std::to_string(level) + ".vel"));
  for (const auto& [file, level] : sData->levels) {
    EXPECT_EQ(gamedata::CheckLevel(level), "") << file;
    backgrounds.insert(level.background);
    for (const ObjectRecord& r : level.records) {
      codes.insert(Code(r.name));
      if (!r.code.empty()) drops.insert(r.code);
      EXPECT_EQ(r.imageName, Template(r.name)->imageName) << file;
    }
  }
  EXPECT_EQ(codes, (std::set<std::string>{"aa", "bb", "cc", "dd", "ee", "ff", "gg", "hh", "ii"}));
  EXPECT_EQ(drops, std::set<std::string>(gamedata::PowerUps().begin(), gamedata::PowerUps().end()));
  EXPECT_EQ(backgrounds, (std::set<int>{1, 2, 3}));
}

// The help page names each capsule by the word the player sees on it, never by the game's internal name.
TEST_F(GameDataTest, TheHelpPageNamesEveryCapsuleByTheWordOnIt) {
  const std::string page = testsupport::ReadFileContents("doc/gamehelp.htm");
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(page.find("ups_"), std::string::npos);
  EXPECT_EQ(gamedata::PowerUpLabel("ups_addlive"), "+1");
  EXPECT_EQ(gamedata::PowerUpLabel("ups_threeball"), "x3");
  for (const std::string& name : gamedata::PowerUps())
    EXPECT_NE(page.find("<td><b>" + gamedata::PowerUpLabel(name) + "</b></td>"), std::string::npos) << name;
}

TEST_F(GameDataTest, LevelRulesRejectWhatTheGameCannotPlay) {
  const auto level = [](std::vector<std::pair<std::string, float>> bricks, int background = 1) {
    gamedata::LevelContents contents;
    contents.background = background;
    for (const auto& [name, x] : bricks) {
      ObjectRecord r;
      r.name = name;
      r.x = x;
      r.y = 100;
      r.width = 40;
      r.height = 20;
      contents.records.push_back(r);
    }
    return contents;
  };
  EXPECT_EQ(gamedata::CheckLevel(level({{"brick_aa_020", 0}, {"brick_ii_001", 100}, {"brick_ii_001", 200}})), "");
  EXPECT_NE(gamedata::CheckLevel(level({{"brick_dd_001", 0}})), "") << "nothing to clear";
  EXPECT_NE(gamedata::CheckLevel(level({{"brick_aa_020", 0}, {"brick_ii_001", 100}})), "") << "one portal";
  EXPECT_NE(gamedata::CheckLevel(level({{"brick_aa_020", 770}})), "") << "past the right wall";
  EXPECT_NE(gamedata::CheckLevel(level({{"brick_aa_020", 0}}, 4)), "") << "no such background";
  EXPECT_THROW(gamedata::CompileLevelSource("scene 1\nbrick a brick_zz_001\n", "bad"), std::runtime_error);
}

TEST_F(GameDataTest, FilesReadBackToTheSameBytesAndTheFolderStaysSmall) {
  const std::string templates = testsupport::ReadFileContents("data/template.dat");
  EXPECT_EQ(gamedata::EncodeTemplates(*gamedata::DecodeTemplates(templates)), templates);
  const std::string level = testsupport::ReadFileContents("data/level3_10.vel");
  EXPECT_EQ(gamedata::EncodeLevel(*gamedata::DecodeLevel(level)), level);
  EXPECT_FALSE(gamedata::DecodeTemplates(templates.substr(0, templates.size() - 1)).has_value());

  std::uintmax_t total = 0;
  for (const char* folder : {"properties", "images", "fonts", "sounds", "music", "data", "doc", "custom", "icons"})
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.is_regular_file()) total += entry.file_size();
  EXPECT_LT(total, 20u * 1024 * 1024);
}

// Runs the generator on the level sources into `folder` with the arguments after them; its exit status.
int Generate(const fs::path& folder, const std::string& parts) {
  const std::string command =
      std::string(QUARVEL_DATA_GENERATOR) + " " + QUARVEL_LEVEL_SOURCES + " " + folder.string() + " " + parts;
  return std::system(command.c_str());
}

// A second run makes the same bytes as the build's. It redoes every part but the two slow ones, the
// screens and the music, whose files tools/check compares between the builds it makes.
TEST_F(GameDataTest, TheGeneratorRepeatsItself) {
  testsupport::TempDir again;
  ASSERT_EQ(Generate(again.Path(), "sprites fonts help sounds records levels icons"), 0);
  std::set<std::string> made;
  for (const auto& entry : fs::recursive_directory_iterator(again.Path())) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), again.Path());
    made.insert(relative.generic_string());
    EXPECT_EQ(testsupport::ReadFileContents(entry.path().string()), testsupport::ReadFileContents(relative.string()))
        << relative;
  }
  for (const char* file :
       {"images/largeball.png", "fonts/arial.png", "doc/gamehelp.htm", "sounds/addlive.wav", "data/template.dat",
        "vhwb.dat", "data/level3_10.vel", "custom/sample1.lvx", "icons/48/quarvel.png"})
    EXPECT_EQ(made.count(file), 1u) << file;
  EXPECT_EQ(made.count("properties/resources.xml"), 0u) << "a part of the data has no manifest";
  EXPECT_EQ(made.count("images/back.png"), 0u) << "a screen";
  EXPECT_EQ(made.count("music/start.ogg"), 0u);
}

TEST_F(GameDataTest, TheGeneratorRefusesAPartItDoesNotKnow) {
  testsupport::TempDir folder;
  const int status = Generate(folder.Path(), "sprites pictures");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_TRUE(fs::is_empty(folder.Path()));
}

}  // namespace
