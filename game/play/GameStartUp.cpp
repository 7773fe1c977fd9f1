// The game application's life from Init to its destructor: the start-up groups, the loading thread
// with its progress counters, the hand-over to the game and the end.
#include <string>

#include "framework/resource/ResourceManager.h"
#include "framework/sound/MusicInterface.h"
#include "framework/util/StringUtil.h"
#include "framework/widget/WidgetManager.h"
#include "game/play/GameApp.h"

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
  RegisterMusic();
  mNumLoadingThreadTasks = mResourceManager->GetNumResources(kGameGroup);
}

void GameApp::LoadStartUpGroups() {
  LoadGroupOrExit(kInitGroup, nullptr);
  LoadGroupOrExit(kFormLoadingGroup, nullptr);
}

void GameApp::LoadGroupOrExit(const char* group, bool (*bind)(Kit::ResourceManager*)) {
  if (mResourceManager->LoadResources(group) && (bind == nullptr || bind(mResourceManager.get()))) return;
  mShutdownRequested = true;
  ShowResourceError(true);
}

void GameApp::LoadingThreadProc() {
  mResourceManager->StartLoadResources(kGameGroup);
  while (mResourceManager->LoadNextResource()) {
    ++mCompletedLoadingThreadTasks;
    if (mQuit) return;
  }
  if (mResourceManager->HadError()) {
    ShowResourceError(false);
    mShutdownRequested = true;
    Shutdown();
  }
}

void GameApp::LoadingThreadCompleted() {
  KitAppBase::LoadingThreadCompleted();
  if (mShutdownRequested) return;
  LoadGameData();
}

void GameApp::LoadGameData() {
  mResourceManager->DeleteResources(kFormLoadingGroup);
  mMusicTrack = kMenuTrack;
  if (mMusicInterface) mMusicInterface->FadeIn(kMenuTrack, 0, kMusicFadePerTick, false);
}

GameApp::~GameApp() {
  for (const char* group : {kInitGroup, kFormLoadingGroup, kGameGroup}) mResourceManager->DeleteResources(group);
  mCustomLevelPaths.clear();
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
