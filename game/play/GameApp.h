// GameApp: the game's one application object. It gives the framework this game's settings, runs the
// start-up (the groups "Init" and "FormLoading", the loading screen, the music tracks), loads the group
// "Game" on the loading thread, hands over to the game when loading is done, and carries the game state
// that the play field, the rules and every screen read and write. It owns each screen while that
// screen's pointer is set. Main thread only, but for LoadingThreadProc, which runs on the loading thread.
#pragma once

#include <atomic>
#include <list>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"

class PlayField;
class LoadingScreen;
class MainMenuScreen;
class SceneSelectScreen;
class LevelStartScreen;
class LevelCompleteScreen;
class GameOverScreen;
class HelpScreen;

// The music tracks, registered under these ids at start-up.
enum MusicTrack : int {
  kMenuTrack = 0,
  kFirstLevelTrack = 1,  // a level plays the track of its background kind: 1 to 3
  kEndTrack = 4,
};
// A level plays the track of its background kind; the still picture's is this one.
constexpr int kImageKindTrack = 3;
// Every music change fades the old track out and the new one in by this much per tick.
constexpr double kMusicFadePerTick = 0.002;

// The last level of a scene; a level number one above it means the scene is finished.
constexpr int kLevelsPerScene = 10;
constexpr int kSceneFinished = 11;
constexpr int kLastScene = 10;
constexpr int kLivesAtNewGame = 3;
// The dialog id of the in-game menu.
constexpr int kInGameMenuDialogId = 4;

class GameApp : public Kit::KitAppBase {
 public:
  GameApp();
  ~GameApp() override;

  void LoadingThreadCompleted() override;
  void LoadingThreadProc() override;
  void Init() override;

  // The hand-over after loading: frees the loading screen's group, reads the game's data files and opens
  // the first screen with the menu music.
  void LoadGameData();
  // Keeps mShowHelp in the registry value "ShowHelp".
  void SaveShowHelp();
  // Adds points to mScore, which stops at the int's limits rather than overflow.
  void AddScore(int points);
  // Fades the track now playing out (stopping it once silent) and the given one in from its start,
  // looping, and makes it the current track.
  void ChangeMusic(int track);

  // The road of a level. StartLevel loads the current level (scene and level, or the next queued custom
  // level) and puts its play field up with every brick showing, or tells the player why a level without
  // bricks is not played and returns false; OpenPlayField puts up the play field for the level already loaded. The
  // other three are where the play field hands over: after a cleared level (the level-complete screen), after the last
  // life (the game-over screen), and to pause (the in-game menu).
  bool StartLevel();
  void OpenPlayField();
  void OpenLevelComplete();
  void OpenGameOver();
  void OpenInGameMenu();
  // Plays the sound once; further starts of the same sound in the same update are dropped (see the
  // definition).
  void PlaySample(int soundId) override;

  // The level the command line asked for ("-level=<scene>_<level>" or "-level=<path of a level file>"),
  // played straight after loading (at a first start once the new player has been named); 0 when none was
  // asked for.
  int mStartScene = 0;
  int mStartLevel = 0;
  std::string mStartLevelPath;
  // Set by the loading thread when the group "Game" failed: the run ends after its error, and the
  // program with a failure status.
  std::atomic<bool> mLoadingFailed{false};

  // Game state, read and written by the play field, the rules and the screens.
  int mMusicTrack = kMenuTrack;
  int mScore = 0;  // +2 per ball hit on a brick, +3 per caught power-up; 0 at a new game
  int mLives = 0;  // 3 at a new game
  int mScene = 0;  // 1 to 10
  int mLevel = 0;  // 1 to 10; kSceneFinished when the scene is done
  // The paddle's angle scale: one unit in the last place below the float nearest to pi, as the game
  // has always used it.
  float mPaddleAngleFactor = 3.1415925f;
  bool mCustomLevel = false;
  // Paths of custom levels still to play: the custom-level dialog appends, level loading takes the front.
  std::list<std::string> mCustomLevelPaths;
  bool mShowHelp = true;

  // The screens, each owned by the application while its pointer is set; whoever removes a screen
  // clears its pointer.
  PlayField* mPlayField = nullptr;
  LoadingScreen* mLoadingScreen = nullptr;
  MainMenuScreen* mMainMenuScreen = nullptr;
  SceneSelectScreen* mSceneSelectScreen = nullptr;
  LevelStartScreen* mLevelStartScreen = nullptr;
  LevelCompleteScreen* mLevelCompleteScreen = nullptr;
  GameOverScreen* mGameOverScreen = nullptr;
  HelpScreen* mHelpScreen = nullptr;

 protected:
  void HandleCmdLineParam(const std::string& name, const std::string& value) override;

 private:
  // The update whose sound starts mSoundsStarted holds.
  int mSoundsUpdate = -1;
  std::vector<int> mSoundsStarted;

  void ReadShowHelp();
  void LoadStartUpGroups();
  void RegisterMusic();
  void OpenLoadingScreen();
  void OpenMainMenu();
  bool StartFirstGame();
  // Takes a screen still held out of the widget manager and deletes it.
  template <class Screen>
  void DeleteScreen(Screen*& screen);
  // Loads a group on the main thread and binds its identifiers; ends the program with the resource
  // error when either fails.
  void LoadGroupOrExit(const char* group, bool (*bind)(Kit::ResourceManager*));
};

// The running application as the game's own type (the framework's global application pointer).
GameApp* TheGame();

// The folder of the program file, with its final separator, so that a name appended to it lies beside
// the program.
std::string GetProgramDirectory();
