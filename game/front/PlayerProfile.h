// One player's profile and one row of the score table: plain records that the profile store owns and
// the screens read. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// One character per scene 1..10: '0' + the highest level of that scene the player has completed, ':'
// (the character after '9') once all ten are done.
constexpr int kSceneCount = 10;
constexpr int kLevelsPerScene = 10;
constexpr char kNoLevelDone = '0';
constexpr char kAllLevelsDone = '0' + kLevelsPerScene;
inline const std::string kNewProgress(kSceneCount, kNoLevelDone);

inline const std::string kCurrentYes = "yes";
inline const std::string kCurrentNo = "no";

struct PlayerProfile {
  std::string name;  // compared exactly, letter case included
  std::string progress = kNewProgress;
  std::string current = kCurrentNo;  // "yes" for the current player
  // The game that scene selection offers to continue; all 0 in a new profile.
  std::int32_t savedScene = 0;
  std::int32_t savedLevel = 0;
  std::int32_t savedScore = 0;
  std::int32_t savedLives = 0;

  // A saved game counts only when it names a real scene and level; anything else (a new profile, a
  // damaged file) is no saved game at all.
  bool HasSavedGame() const {
    return savedScene >= 1 && savedScene <= kSceneCount && savedLevel >= 1 && savedLevel <= kLevelsPerScene;
  }
};

struct HighScoreEntry {
  std::string name;
  std::int32_t score = 0;
};
