// One player's profile and one row of the score table: plain records that the profile store owns and
// the screens read. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "game/play/GameApp.h"

// One character per scene 1..10: '0' + the highest level of that scene the player has completed, ':'
// (the character after '9') once all ten are done.
constexpr int kSceneCount = 10;
constexpr char kNoLevelDone = '0';
constexpr char kAllLevelsDone = '0' + kLevelsPerScene;
inline const std::string kNewProgress(kSceneCount, kNoLevelDone);

// A saved game always gives the player at least this many lives back.
constexpr int kMinSavedLives = 3;

inline const std::string kCurrentYes = "yes";
inline const std::string kCurrentNo = "no";

struct PlayerProfile {
  std::string mName;  // compared exactly, letter case included
  std::string mProgress = kNewProgress;
  std::string mCurrent = kCurrentNo;  // "yes" for the current player
  // The game that scene selection offers to continue; all 0 in a new profile.
  std::int32_t mSavedScene = 0;
  std::int32_t mSavedLevel = 0;
  std::int32_t mSavedScore = 0;
  std::int32_t mSavedLives = 0;

  // A saved game counts only when it names a real scene and level; anything else (a new profile, a
  // damaged file) is no saved game at all.
  bool HasSavedGame() const {
    return mSavedScene >= 1 && mSavedScene <= kSceneCount && mSavedLevel >= 1 && mSavedLevel <= kLevelsPerScene;
  }
};

struct HighScoreEntry {
  std::string mName;
  std::int32_t mScore = 0;
};
