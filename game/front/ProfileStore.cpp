#include "game/front/ProfileStore.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/util/Buffer.h"
#include "game/front/PlayerFolder.h"

ProfileStore gProfileStore;

namespace {

// A file that could not be read is told in the game's error box, as it always was, although the game goes
// on; a damaged file kept aside or a failed save is a notice of this store's own.
void ShowError(const std::string& text) {
  if (Kit::gKitApp != nullptr) Kit::gKitApp->Popup(text);
}

void ShowNotice(const std::string& text) {
  if (Kit::gKitApp != nullptr) Kit::gKitApp->Notice(text);
}

}  // namespace

ProfileStore::~ProfileStore() {
  ClearProfiles();
  ClearScores();
}

void ProfileStore::ClearProfiles() {
  // The current player goes with the records: the pointer must not outlive its profile.
  mCurrentProfile = nullptr;
  mProfiles.clear();
}

void ProfileStore::ClearScores() { mScores.clear(); }

void ProfileStore::AddProfile(std::string name) {
  auto profile = std::make_unique<PlayerProfile>();
  profile->mName = name;
  mProfiles.push_back(std::move(profile));
  SelectProfile(std::move(name));
}

void ProfileStore::RenameProfile(std::string oldName, std::string newName) {
  for (auto& profile : mProfiles) {
    if (profile->mName == oldName) {
      profile->mName = std::move(newName);
      return;
    }
  }
}

void ProfileStore::DeleteProfile(std::string name) {
  if (mCurrentProfile != nullptr && mCurrentProfile->mName == name) mCurrentProfile = nullptr;
  std::erase_if(mProfiles, [&](const auto& profile) { return profile->mName == name; });
  if (mCurrentProfile == nullptr && !mProfiles.empty()) MakeCurrent(mProfiles.front().get());
}

void ProfileStore::SelectProfile(std::string name) {
  for (auto& profile : mProfiles) {
    if (profile->mName == name) {
      MakeCurrent(profile.get());
      return;
    }
  }
}

bool ProfileStore::HasProfile(std::string name) const {
  return std::any_of(mProfiles.begin(), mProfiles.end(), [&](const auto& profile) { return profile->mName == name; });
}

void ProfileStore::MakeCurrent(PlayerProfile* profile) {
  if (mCurrentProfile != nullptr) mCurrentProfile->mCurrent = kCurrentNo;
  mCurrentProfile = profile;
  profile->mCurrent = kCurrentYes;
}

template <typename Decoded>
std::optional<Decoded> ProfileStore::ReadStoredFile(const std::string& path, StoredFile* file,
                                                    Decoded (*decode)(const std::uint8_t* data, std::size_t size)) {
  PlayerFolder::RemoveLeftoverTemporaries(path);
  std::vector<std::uint8_t> bytes;
  const PlayerFolder::ReadResult read = PlayerFolder::ReadFile(path, &bytes);
  if (read == PlayerFolder::ReadResult::Missing) return std::nullopt;
  if (read == PlayerFolder::ReadResult::Unreadable) {
    SetAside(path, bytes, true, file);
    return std::nullopt;
  }
  Decoded decoded = decode(bytes.data(), bytes.size());
  if (decoded.mDamaged) SetAside(path, bytes, false, file);
  return decoded;
}

void ProfileStore::LoadProfiles(std::string path) {
  // The player's folder is first opened here when the game starts.
  std::optional<DecodedProfiles> decoded = ReadStoredFile(path, &mPlayerFile, DecodePlayerFile);
  if (!decoded) return;
  for (auto& profile : decoded->mProfiles) {
    // Two current players cannot both be: the later one wins and the earlier is no longer current.
    if (profile->mCurrent == kCurrentYes) MakeCurrent(profile.get());
    mProfiles.push_back(std::move(profile));
  }
}

bool ProfileStore::SaveProfiles(std::string path) {
  Kit::Buffer contents;
  const bool saved =
      !mPlayerFile.mHeld && EncodePlayerFile(mProfiles, &contents) && PlayerFolder::WriteFile(path, contents);
  return Report(saved, &mPlayerFile);
}

void ProfileStore::LoadScores(std::string path) {
  ClearScores();
  mLastRank = -1;
  std::optional<DecodedScores> decoded = ReadStoredFile(path, &mScoreFile, DecodeScoreFile);
  if (decoded) mScores = std::move(decoded->mScores);
}

bool ProfileStore::SaveScores(std::string path) {
  Kit::Buffer contents;
  const bool saved =
      !mScoreFile.mHeld && EncodeScoreFile(mScores, &contents) && PlayerFolder::WriteFile(path, contents);
  return Report(saved, &mScoreFile);
}

void ProfileStore::InsertScore(std::string name, int score) {
  auto entry = std::make_unique<HighScoreEntry>();
  entry->mName = std::move(name);
  entry->mScore = score;
  std::size_t place = 0;
  while (place < mScores.size() && place < kShownScores && mScores[place]->mScore > score) ++place;
  // Past the fifth entry the walk gives up and the score goes to the end of the list.
  if (place == kShownScores) place = mScores.size();
  mLastRank = static_cast<std::int32_t>(std::min<std::size_t>(place, kShownScores) + 1);
  mScores.insert(mScores.begin() + static_cast<std::ptrdiff_t>(place), std::move(entry));
}

bool ProfileStore::RecordLevelComplete(int scene, int level, int score, int lives) {
  if (mCurrentProfile == nullptr || scene < 1 || scene > kSceneCount || level < 1 || level > kLevelsPerScene)
    return true;
  std::string& progress = mCurrentProfile->mProgress;
  if (progress.size() >= static_cast<std::size_t>(scene)) {
    char& done = progress[static_cast<std::size_t>(scene - 1)];
    done = std::max(done, static_cast<char>(kNoLevelDone + level));
  }
  mCurrentProfile->mSavedScene = scene;
  mCurrentProfile->mSavedLevel = level;
  mCurrentProfile->mSavedScore = score;
  mCurrentProfile->mSavedLives = std::max(lives, kMinSavedLives);
  return SaveProfiles(kPlayerFilePath);
}

bool ProfileStore::RecordGameScore(int score) {
  LoadScores(kScoreFilePath);
  InsertScore(mCurrentProfile != nullptr ? mCurrentProfile->mName : kAnonymousPlayer, score);
  mGameScoreRecorded = true;
  return SaveScores(kScoreFilePath);
}

bool ProfileStore::TakeRecordedGameScore() { return std::exchange(mGameScoreRecorded, false); }

void ProfileStore::SetAside(const std::string& path, const std::vector<std::uint8_t>& bytes, bool unreadable,
                            StoredFile* file) {
  if (file->mDamagedBytes == bytes) return;
  file->mDamagedBytes = bytes;
  const PlayerFolder::ReadResult how =
      unreadable ? PlayerFolder::ReadResult::Unreadable : PlayerFolder::ReadResult::Read;
  const PlayerFolder::DamagedCopy copy = PlayerFolder::KeepDamagedCopy(path, bytes, how);
  file->mHeld = !copy.mKept;
  std::string text = unreadable ? file->mReadFailure : file->mDamaged;
  if (copy.mKept) {
    text += (unreadable ? "\nIt was moved to " : "\nA copy was kept as ") + copy.mWhere + ".";
  } else {
    text += "\nNo copy of it could be kept (" + copy.mWhere +
            "), so nothing is saved over it until the game is started again.";
    // That is the one report of the saves this refuses.
    file->mSaveFailureReported = true;
  }
  if (unreadable)
    ShowError(text);
  else
    ShowNotice(text);
}

bool ProfileStore::Report(bool saved, StoredFile* file) {
  if (!saved && !file->mSaveFailureReported) {
    file->mSaveFailureReported = true;
    ShowNotice(file->mSaveFailure);
  }
  return saved;
}
