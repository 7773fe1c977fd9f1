// The whole game on its generated data, headless on a fake clock: start-up, with the loading thread's
// work run here, counts every resource of the game's group, binds every resource id and shows no
// message box; a damaged picture ends the run with its error; the game deleted while its threads run
// ends them first. (The whole game played, recorded and replayed is the whole-game test of tests/screens.)
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/resource/ResourceManager.h"
#include "framework/widget/EditWidget.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/MainMenuScreen.h"
#include "game/front/ProfileStore.h"
#include "game/play/Board.h"
#include "game/play/EmitterSet.h"
#include "game/play/GlyphFont.h"
#include "game/play/ResourceIds.h"
#include "tests/support/PollUntil.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/UnreadableFile.h"
#include "tests/support/WholeGame.h"

namespace {

using StartUp = testsupport::WholeGameTest;

TEST_F(StartUp, CountsEveryGameResourceAndBindsEveryIdWithoutAMessageBox) {
  testsupport::HeadlessGame game;
  game.Init();
  ASSERT_FALSE(game.mQuit);
  EXPECT_NE(game.mLoadingScreen, nullptr);
  const int total = game.mResourceManager->GetNumResources("Game");
  EXPECT_EQ(game.mNumLoadingThreadTasks, total);
  game.LoadingThreadProc();
  EXPECT_EQ(game.mCompletedLoadingThreadTasks, total) << "the progress reaches the whole group exactly";
  EXPECT_FALSE(game.mShutdownRequested);
  std::set<std::intptr_t> soundIds;
  for (int id = 0; id < kResourceIdCount; ++id) {
    const std::string name = GetResourceNameById(id);
    if (name.starts_with("SOUND_")) {
      soundIds.insert(GetResourceById(id));  // 0 is a sound like any other
    } else {
      EXPECT_NE(GetResourceById(id), 0) << name;
    }
  }
  EXPECT_EQ(soundIds.size(), 34u) << "each sound global holds its own sound";
  EXPECT_TRUE(mBoxes.Shown().empty());
}

// A level named on the command line is played by a player: at a first start the name is asked for and
// the level starts once it is given; started again, the game finds that player and starts the level at
// once. The menu's particles (which a level's image backdrop shows too) run as after a plain start.
TEST_F(StartUp, ALevelNamedOnTheCommandLineStartsOnceAPlayerIsCurrent) {
  const testsupport::ScopedSearchFolders folders = PlayerAndGameFolders();
  for (const bool firstStart : {true, false}) {
    testsupport::HeadlessGame game;
    game.mStartScene = 1;
    game.mStartLevel = 1;
    game.Init();
    game.LoadingThreadProc();
    game.LoadingThreadCompleted();
    for (int tick = 0; tick < 100 && game.mMainMenuScreen == nullptr; ++tick) game.KitAppBase::UpdateFrames();
    ASSERT_NE(game.mMainMenuScreen, nullptr);
    EXPECT_EQ(gEmitterSet.mEmitters.size(), static_cast<std::size_t>(MainMenuScreen::kMenuParticleEmitters));
    auto* nameDialog = dynamic_cast<EnterNameDialog*>(game.GetDialog(kEnterNameDialogId));
    if (firstStart) {
      ASSERT_NE(nameDialog, nullptr) << "a first start asks for the name before the level";
      EXPECT_EQ(game.mPlayField, nullptr) << "no level without a player";
      nameDialog->mEdit->SetText("Anna");
      nameDialog->ButtonDepress(EnterNameDialog::kOkButton);
      ASSERT_NE(gProfileStore.mCurrentProfile, nullptr);
      EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "Anna");
    } else {
      EXPECT_EQ(nameDialog, nullptr);
      ASSERT_NE(gProfileStore.mCurrentProfile, nullptr);
      EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "Anna") << "read back from the player file";
    }
    EXPECT_NE(game.mPlayField, nullptr) << (firstStart ? "the level starts once the name is given" : "at once");
    EXPECT_EQ(game.mScene, 1);
    EXPECT_EQ(game.mLevel, 1);
  }
}

// The settings file and the player's own tables, pictures and manifest, each replaced by something that
// gives no bytes: the game reaches the main menu and leaves them be. A copy that cannot be opened is passed
// over for the game's own; a table that opens but cannot be read is damaged, and the game starts without it
// (the player is told of the effect table, without which no brick plays an effect).
class StartUpWithUnreadableFiles : public StartUp, public testing::WithParamInterface<testsupport::Unreadable> {};

TEST_P(StartUpWithUnreadableFiles, ReachesTheMainMenuWithTheGamesCopiesOrWithoutAndLeavesThemAlone) {
  const bool opens = GetParam() == testsupport::Unreadable::kReadError;
  const std::filesystem::path player = mHome.Path() / "player";
  std::vector<std::filesystem::path> paths{mHome.Path() / "registry", player / "data" / "effect.txt",
                                           player / "fonts" / "unicode.txt"};
  if (!opens) paths.insert(paths.end(), {player / "images" / "menu.png", player / "properties" / "resources.xml"});
  for (const auto& path : paths) testsupport::MakeUnreadable(path, GetParam());
  const testsupport::ScopedSearchFolders folders = PlayerAndGameFolders();
  {
    testsupport::HeadlessGame game;
    game.Init();
    ASSERT_FALSE(game.mQuit);
    game.LoadingThreadProc();
    game.LoadingThreadCompleted();
    for (int tick = 0; tick < 100 && game.mMainMenuScreen == nullptr; ++tick) game.KitAppBase::UpdateFrames();
    EXPECT_NE(game.mMainMenuScreen, nullptr);
    EXPECT_EQ(gBoard.mEffectRecords.Records().empty(), opens);
    EXPECT_EQ(gGlyphFont.mGlyphs.empty(), opens);
    EXPECT_EQ(mBoxes.Shown().size(), opens ? 1u : 0u);
  }
  for (const auto& path : paths) EXPECT_TRUE(testsupport::UnreadableIsIntact(path, GetParam())) << path;
}

INSTANTIATE_TEST_SUITE_P(Kinds, StartUpWithUnreadableFiles, testing::ValuesIn(testsupport::kUnreadableKinds),
                         [](const auto& info) { return testsupport::UnreadableName(info.param); });

// The game as a player runs it: its main loop ticks while the loading thread loads.
class LoadingWhileTickingGame : public testsupport::HeadlessGame {
 public:
  void UpdateFrames() override { GameApp::UpdateFrames(); }
};

// A picture or a sound of the game's group damaged in the player's folder: the loading thread fails, and
// the main loop shows the error (the loading thread may touch nothing of the main thread's), saying where
// the player's copy lies (a sound's name stands for its files of several kinds: the one read), and ends
// the run without handing over to the menu.
TEST_F(StartUp, ADamagedPictureOrSoundEndsTheRunWithItsErrorShownByTheMainLoop) {
  for (const auto& [file, error] : std::vector<std::pair<std::string, std::string>>{
           {"images/menu.png", "Failed to load image: images/menu.png"},
           {"sounds/finished.wav", "Failed to load sound: sounds/finished"}}) {
    const std::string player = "player-" + file.substr(0, file.find('/'));
    const std::string damaged = mHome.Write(player + "/" + file, "\x89PNG\r\n\x1a\nneither a picture nor a sound");
    const testsupport::ScopedSearchFolders folders(mHome / player, testsupport::GameDataFolder());
    const std::size_t shownBefore = mBoxes.Shown().size();
    LoadingWhileTickingGame game;
    game.Init();
    ASSERT_FALSE(game.mQuit);
    game.Start();
    EXPECT_TRUE(game.mQuit);
    EXPECT_EQ(game.mMainMenuScreen, nullptr) << "no hand-over after a failed load";
    EXPECT_TRUE(game.mLoadingFailed) << "the program ends with a failure status";
    const std::vector<plat::ShownMessageBox> shown = mBoxes.Shown();
    ASSERT_EQ(shown.size(), shownBefore + 1);
    EXPECT_EQ(shown.back().text, error + "\r\n\r\nThe file read is your own copy: " + damaged);
  }
}

// The game deleted while its loading and cursor threads run, with no Shutdown first (a test's or an
// early return's end): both threads end before any of the game is torn down. Until they did, the
// deletion rewrote the game's virtual table and freed its screens and groups under the loading thread's
// feet, and the thread sanitizer reported it. The game's own class, as the program makes it (the
// search folders find the data wherever it changes to).
TEST_F(StartUp, DeletedWhileItsThreadsRunTheGameEndsThemBeforeTearingDown) {
  const testsupport::ScopedSearchFolders folders = PlayerAndGameFolders();
  testsupport::ResetGameObjects();
  auto game = std::make_unique<GameApp>();
  game->mCmdLineParsed = true;
  game->mOnlyAllowOneCopyToRun = false;
  game->Init();
  ASSERT_FALSE(game->mQuit);
  const int total = game->mNumLoadingThreadTasks;
  game->mDrawCount = 1;  // the cursor thread moves the software cursor once a frame is drawn
  game->StartCursorThread();
  game->StartLoadingThread();
  ASSERT_TRUE(testsupport::PollUntil([&] { return game->mCompletedLoadingThreadTasks > 0; }));
  EXPECT_LT(game->mCompletedLoadingThreadTasks, total) << "the group is still loading as the game goes";
  game.reset();
  EXPECT_TRUE(mBoxes.Shown().empty());
}

}  // namespace
