#include "game/front/ProfileStore.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/util/Buffer.h"
#include "game/front/PlayerFolder.h"

ProfileStore gProfileStore;

namespace {

const std::string kPlayerReadFailure = "Could not read player data.";
const std::string kScoreReadFailure = "Could not read heroes data.";
const std::string kPlayerSaveFailure = "Could not save player data.";
const std::string kScoreSaveFailure = "Could not save heroes data.";

void ShowError(const std::string& text) {
  if (Kit::gKitApp != nullptr) Kit::gKitApp->Popup(text);
}

// The file's bytes; nothing when it is missing or unreadable (which is reported, and the file kept aside).
std::optional<std::vector<std::uint8_t>> ReadStoredFile(const std::string& path, const std::string& failureText) {
  std::vector<std::uint8_t> bytes;
  const PlayerFolder::ReadResult result = PlayerFolder::ReadFile(path, &bytes);
  if (result == PlayerFolder::ReadResult::Read) return bytes;
  if (result == PlayerFolder::ReadResult::Unreadable) {
    ShowError(failureText);
    PlayerFolder::KeepDamagedCopy(path, bytes, result);
  }
  return std::nullopt;
}

}  // namespace

ProfileStore::~ProfileStore() {
  ClearProfiles();
  ClearScores();
}

void ProfileStore::ClearProfiles() { profiles.clear(); }

void ProfileStore::ClearScores() { scores.clear(); }

void ProfileStore::AddProfile(std::string name) {
  auto profile = std::make_unique<PlayerProfile>();
  profile->name = name;
  profiles.push_back(std::move(profile));
  SelectProfile(std::move(name));
}

void ProfileStore::RenameProfile(std::string oldName, std::string newName) {
  for (auto& profile : profiles) {
    if (profile->name == oldName) {
      profile->name = std::move(newName);
      return;
    }
  }
}

void ProfileStore::DeleteProfile(std::string name) {
  if (currentProfile != nullptr && currentProfile->name == name) currentProfile = nullptr;
  std::erase_if(profiles, [&](const auto& profile) { return profile->name == name; });
  if (currentProfile == nullptr && !profiles.empty()) MakeCurrent(profiles.front().get());
}

void ProfileStore::SelectProfile(std::string name) {
  for (auto& profile : profiles) {
    if (profile->name == name) {
      MakeCurrent(profile.get());
      return;
    }
  }
}

bool ProfileStore::HasProfile(std::string name) const {
  return std::any_of(profiles.begin(), profiles.end(), [&](const auto& profile) { return profile->name == name; });
}

void ProfileStore::MakeCurrent(PlayerProfile* profile) {
  if (currentProfile != nullptr) currentProfile->current = kCurrentNo;
  currentProfile = profile;
  profile->current = kCurrentYes;
}

void ProfileStore::LoadProfiles(std::string path) {
  const auto bytes = ReadStoredFile(path, kPlayerReadFailure);
  if (!bytes) return;
  DecodedProfiles decoded = DecodePlayerFile(bytes->data(), bytes->size());
  if (decoded.damaged) PlayerFolder::KeepDamagedCopy(path, *bytes, PlayerFolder::ReadResult::Read);
  for (auto& profile : decoded.profiles) {
    // Two current players cannot both be: the later one wins and the earlier is no longer current.
    if (profile->current == kCurrentYes) MakeCurrent(profile.get());
    profiles.push_back(std::move(profile));
  }
}

bool ProfileStore::SaveProfiles(std::string path) {
  Kit::Buffer contents;
  const bool saved = EncodePlayerFile(profiles, &contents) && PlayerFolder::WriteFile(path, contents);
  return Report(saved, kPlayerSaveFailure, &mPlayerSaveFailureReported);
}

void ProfileStore::LoadScores(std::string path) {
  ClearScores();
  lastRank = -1;
  const auto bytes = ReadStoredFile(path, kScoreReadFailure);
  if (!bytes) return;
  DecodedScores decoded = DecodeScoreFile(bytes->data(), bytes->size());
  if (decoded.damaged) PlayerFolder::KeepDamagedCopy(path, *bytes, PlayerFolder::ReadResult::Read);
  scores = std::move(decoded.scores);
}

bool ProfileStore::SaveScores(std::string path) {
  Kit::Buffer contents;
  const bool saved = EncodeScoreFile(scores, &contents) && PlayerFolder::WriteFile(path, contents);
  return Report(saved, kScoreSaveFailure, &mScoreSaveFailureReported);
}

void ProfileStore::InsertScore(std::string name, int score) {
  auto entry = std::make_unique<HighScoreEntry>();
  entry->name = std::move(name);
  entry->score = score;
  std::size_t place = 0;
  while (place < scores.size() && place < kShownScores && scores[place]->score > score) ++place;
  // Past the fifth entry the walk gives up and the score goes to the end of the list.
  if (place == kShownScores) place = scores.size();
  lastRank = static_cast<std::int32_t>(std::min<std::size_t>(place, kShownScores) + 1);
  scores.insert(scores.begin() + static_cast<std::ptrdiff_t>(place), std::move(entry));
}

bool ProfileStore::RecordLevelComplete(int scene, int level, int score, int lives) {
  if (currentProfile == nullptr || scene < 1 || scene > kSceneCount || level < 1 || level > kLevelsPerScene)
    return true;
  std::string& progress = currentProfile->progress;
  if (progress.size() >= static_cast<std::size_t>(scene)) {
    char& done = progress[static_cast<std::size_t>(scene - 1)];
    done = std::max(done, static_cast<char>(kNoLevelDone + level));
  }
  currentProfile->savedScene = scene;
  currentProfile->savedLevel = level;
  currentProfile->savedScore = score;
  currentProfile->savedLives = std::max(lives, kMinSavedLives);
  return SaveProfiles(kPlayerFilePath);
}

bool ProfileStore::RecordGameScore(int score) {
  LoadScores(kScoreFilePath);
  InsertScore(currentProfile != nullptr ? currentProfile->name : kAnonymousPlayer, score);
  mGameScoreRecorded = true;
  return SaveScores(kScoreFilePath);
}

bool ProfileStore::TakeRecordedGameScore() { return std::exchange(mGameScoreRecorded, false); }

bool ProfileStore::Report(bool saved, const std::string& failureText, bool* reported) {
  if (!saved && !*reported) {
    *reported = true;
    ShowError(failureText);
  }
  return saved;
}
