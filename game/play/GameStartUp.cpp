// The game application's life from Init to its destructor: the start-up groups, the loading thread
// with its progress counters, the hand-over to the game and the end.
#include <string>

#include "framework/resource/ResourceManager.h"
#include "framework/sound/MusicInterface.h"
#include "framework/util/StringUtil.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/GameOverScreen.h"
#include "game/front/HelpScreen.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/LevelStartScreen.h"
#include "game/front/LoadingScreen.h"
#include "game/front/MainMenuScreen.h"
#include "game/front/ProfileStore.h"
#include "game/front/SceneSelectScreen.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/GameApp.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr const char* kInitGroup = "Init";
constexpr const char* kFormLoadingGroup = "FormLoading";
constexpr const char* kGameGroup = "Game";

}  // namespace

void GameApp::Init() {
  KitAppBase::Init();
  if (mQuit) return;
  ReadShowHelp();
  LoadResourceManifest("resources.xml");
  LoadStartUpGroups();
  OpenLoadingScreen();
  RegisterMusic();
  mNumLoadingThreadTasks = mResourceManager->GetNumResources(kGameGroup);
}

void GameApp::LoadStartUpGroups() {
  LoadGroupOrExit(kInitGroup, ExtractInitResources);
  LoadGroupOrExit(kFormLoadingGroup, ExtractFormLoadingResources);
}

void GameApp::OpenLoadingScreen() {
  mLoadingScreen = new LoadingScreen(this);
  mLoadingScreen->Resize(0, 0, mWidth, mHeight);
  mWidgetManager->AddWidget(mLoadingScreen);
}

void GameApp::LoadGroupOrExit(const char* group, bool (*bind)(Kit::ResourceManager*)) {
  if (mResourceManager->LoadResources(group) && (bind == nullptr || bind(mResourceManager.get()))) return;
  mShutdownRequested = true;
  ShowResourceError(true);
}

// The loading thread shares only the resource manager (which nothing else uses meanwhile) and the atomic
// progress counters with the main thread; the loading screen follows the counter on its own ticks.
void GameApp::LoadingThreadProc() {
  mResourceManager->StartLoadResources(kGameGroup);
  while (mResourceManager->LoadNextResource()) {
    ++mCompletedLoadingThreadTasks;
    if (mQuit) return;
  }
  if (mResourceManager->HadError() || !ExtractGameResources(mResourceManager.get())) {
    mLoadingFailed = true;
    ShowResourceError(false);
    mShutdownRequested = true;
    Shutdown();
  }
}

void GameApp::LoadingThreadCompleted() {
  KitAppBase::LoadingThreadCompleted();
  // A failed load has asked for the shutdown, or the main loop has already begun it.
  if (mShutdownRequested || mQuit || mLoadingScreen == nullptr) return;
  mLoadingScreen->OnLoadingDone();
}

void GameApp::LoadGameData() {
  mLoadingScreen = nullptr;
  mResourceManager->DeleteResources(kFormLoadingGroup);
  gBackgroundAnim.SetKind(BackgroundAnim::kFallKind);
  gProfileStore.LoadProfiles("userdata//playerdata.dat");
  gObjectLibrary.LoadTemplates("data\\template.dat");
  gBoard.LoadEffects("data\\effect.txt");
  gGlyphFont.LoadFile("fonts\\unicode.txt");
  gGlyphFont.SetImage(IMAGE_CNFONT);
  OpenMainMenu();
  EnterNameDialog* nameDialog = mMainMenuScreen->PromptForName();
  mMusicTrack = kMenuTrack;
  if (mMusicInterface) mMusicInterface->FadeIn(kMenuTrack, 0, kMusicFadePerTick, false);
  if (mStartScene <= 0 && mStartLevelPath.empty()) return;
  // A level named on the command line is played by a player, so that its progress and its score are
  // kept: at a first start it waits for the name. One that is refused leaves the player at the menu.
  if (nameDialog != nullptr)
    nameDialog->mAfterNewPlayer = [this] { StartFirstGame(); };
  else
    StartFirstGame();
}

// The menu takes the focus before it joins the manager, and stays there, under every other screen,
// until the program ends.
void GameApp::OpenMainMenu() {
  mMainMenuScreen = new MainMenuScreen(this);
  mMainMenuScreen->Resize(0, 0, mWidth, mHeight);
  mWidgetManager->SetFocus(mMainMenuScreen);
  mWidgetManager->AddWidget(mMainMenuScreen);
}

// The level the command line named goes straight into play, over the menu; false when it was refused.
bool GameApp::StartFirstGame() {
  mScore = 0;
  mLives = kLivesAtNewGame;
  mCustomLevel = !mStartLevelPath.empty();
  mScene = mStartScene > 0 ? mStartScene : 1;
  mLevel = mStartLevel > 0 ? mStartLevel : 1;
  return StartLevel();
}

// Deletes the screens still held, in a fixed order, then frees the groups (also a "Game" that never
// finished loading).
GameApp::~GameApp() {
  // The loading thread runs this class's LoadingThreadProc: it ends before any of this goes.
  EndThreads();
  DeleteScreen(mGameOverScreen);
  DeleteScreen(mLevelCompleteScreen);
  DeleteScreen(mLevelStartScreen);
  DeleteScreen(mSceneSelectScreen);
  DeleteScreen(mLoadingScreen);
  DeleteScreen(mMainMenuScreen);
  DeleteScreen(mPlayField);
  DeleteScreen(mHelpScreen);
  for (const char* group : {kInitGroup, kFormLoadingGroup, kGameGroup}) mResourceManager->DeleteResources(group);
  mCustomLevelPaths.clear();
}

template <class Screen>
void GameApp::DeleteScreen(Screen*& screen) {
  if (screen == nullptr) return;
  mWidgetManager->RemoveWidget(screen);
  delete screen;
  screen = nullptr;
}

void GameApp::HandleCmdLineParam(const std::string& name, const std::string& value) {
  if (name != "-level") {
    KitAppBase::HandleCmdLineParam(name, value);
    return;
  }
  int scene = 0;
  int level = 0;
  const std::size_t cut = value.find('_');
  if (cut != std::string::npos && Kit::StringToInt(value.substr(0, cut), scene) &&
      Kit::StringToInt(value.substr(cut + 1), level) && scene >= 1 && level >= 1 && level <= kLevelsPerScene) {
    mStartScene = scene;
    mStartLevel = level;
  } else {
    mStartLevelPath = value;
  }
}
