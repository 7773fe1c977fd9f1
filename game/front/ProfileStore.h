// The player profiles (progress and one saved game each, at most one current player) and the table
// of best scores, with their two files in the player's folder. One global instance, gProfileStore,
// lives from start-up to exit; the dialogs and screens of the front end change it and write its files
// after each change. A save that fails is reported to the player once per run and the game goes on;
// a damaged file is read as far as it is whole and kept as "<name>.bak", and the player is told where.
// When that copy cannot be written the damaged file stays where it is, the player is told, and no save
// of this run replaces it. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/front/PlayerFiles.h"
#include "game/front/PlayerProfile.h"

// The paths exactly as the game passes them (the doubled slash is part of the path).
inline const std::string kPlayerFilePath = "userdata//playerdata.dat";
inline const std::string kScoreFilePath = "userdata\\datascore.dat";
// The name a score is recorded under when nobody is the current player.
inline const std::string kAnonymousPlayer = "player";

class ProfileStore {
 public:
  ProfileStore() = default;
  virtual ~ProfileStore();
  ProfileStore(ProfileStore&&) = default;
  ProfileStore& operator=(ProfileStore&&) = default;

  // Delete every record; clearing the profiles also leaves no current player.
  void ClearProfiles();
  void ClearScores();

  // Appends a new profile and makes it the current one; duplicate names are the caller's concern.
  void AddProfile(std::string name);
  // The first profile of that name gets the new one.
  void RenameProfile(std::string oldName, std::string newName);
  // Removes every profile of that name; when the current one went, the first left becomes current.
  void DeleteProfile(std::string name);
  // The first profile of that name becomes current; an unknown name changes nothing.
  void SelectProfile(std::string name);
  bool HasProfile(std::string name) const;

  // Appends the file's profiles to those held; a later current player replaces an earlier one. The
  // temporaries that killed saves left in the file's folder are removed first.
  void LoadProfiles(std::string path);
  // False when the file could not be written, or holds damaged data of which no copy could be kept
  // (the player has been told, once per run).
  bool SaveProfiles(std::string path);
  // Replaces the table with the file's first five records; mLastRank becomes -1. Temporaries are
  // removed first, as for the player file.
  void LoadScores(std::string path);
  bool SaveScores(std::string path);
  // Puts the score above the first entry it equals or beats among the first five, else at the end,
  // and sets mLastRank to the 1-based place it reached (6 or more: not among those shown).
  void InsertScore(std::string name, int score);

  // What the level-complete screen records as soon as it appears: the level raises the current
  // player's progress for the scene (never lowers it) and becomes the saved game, with at least
  // kMinSavedLives lives; the player file is written. Nothing without a current player; custom levels
  // are not recorded (the caller does not call it for them).
  bool RecordLevelComplete(int scene, int level, int score, int lives);
  // What the game-over screen records as soon as it appears: the score goes into the table under the
  // current player's name (or kAnonymousPlayer) and the score file is written. The high-score dialog
  // opened afterwards in record mode takes this entry instead of adding the score a second time.
  bool RecordGameScore(int score);
  // True once after RecordGameScore: the table and mLastRank already hold this game's score.
  bool TakeRecordedGameScore();

  ProfileList mProfiles;                     // in order of adding (file order after loading)
  PlayerProfile* mCurrentProfile = nullptr;  // one of profiles, or null
  ScoreList mScores;                         // best first; may hold more than five in memory
  std::int32_t mLastRank = -1;               // place of the last inserted score; -1 after loading

 private:
  // What the store knows in this run of one of its two files, and what it tells the player about it.
  struct StoredFile {
    StoredFile(const char* readFailure, const char* damaged, const char* saveFailure)
        : mReadFailure(readFailure), mDamaged(damaged), mSaveFailure(saveFailure) {}

    const char* mReadFailure;  // it is there but cannot be read
    const char* mDamaged;      // it was read and is damaged
    const char* mSaveFailure;
    // Damaged or unreadable, and no copy of it could be kept: no save may replace it.
    bool mHeld = false;
    bool mSaveFailureReported = false;
    // The damaged bytes last dealt with, so that reading them again neither copies nor tells twice.
    std::optional<std::vector<std::uint8_t>> mDamagedBytes;
  };

  void MakeCurrent(PlayerProfile* profile);
  // Reads and decodes one of the two files, once the temporaries that killed saves left beside it are
  // removed. A damaged or unreadable file is set aside; nothing is given for one that is missing or
  // cannot be read.
  template <typename Decoded>
  std::optional<Decoded> ReadStoredFile(const std::string& path, StoredFile* file,
                                        Decoded (*decode)(const std::uint8_t* data, std::size_t size));
  // Keeps a copy of a damaged or unreadable file and tells the player where, or that none could be kept.
  void SetAside(const std::string& path, const std::vector<std::uint8_t>& bytes, bool unreadable, StoredFile* file);
  bool Report(bool saved, StoredFile* file);

  StoredFile mPlayerFile{"Could not read player data.", "Player data was damaged.", "Could not save player data."};
  StoredFile mScoreFile{"Could not read heroes data.", "Heroes data was damaged.", "Could not save heroes data."};
  bool mGameScoreRecorded = false;
};

extern ProfileStore gProfileStore;
