#include "game/front/PlayerFiles.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "framework/util/Buffer.h"

namespace {

// Reads little-endian fields from bytes it does not trust: a field that is not wholly there is not
// read, and the reader says so instead of inventing zeros.
class CheckedReader {
 public:
  CheckedReader(const std::uint8_t* data, std::size_t size) : mData(data), mSize(data == nullptr ? 0 : size) {}

  bool ReadLong(std::int32_t* value) {
    if (Left() < 4) return false;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(mData[mPosition + i]) << (8 * i);
    mPosition += 4;
    *value = static_cast<std::int32_t>(bits);
    return true;
  }

  bool ReadString(std::string* text) {
    if (Left() < 2) return false;
    const std::size_t length = mData[mPosition] | (static_cast<std::size_t>(mData[mPosition + 1]) << 8);
    if (Left() - 2 < length) return false;
    text->assign(reinterpret_cast<const char*>(mData + mPosition + 2), length);
    mPosition += 2 + length;
    return true;
  }

  std::size_t Left() const { return mSize - mPosition; }

 private:
  const std::uint8_t* mData;
  std::size_t mSize;
  std::size_t mPosition = 0;
};

bool Fits(const std::string& text) { return text.size() <= kMaxStoredString; }

bool ReadProfile(CheckedReader& reader, PlayerProfile* profile) {
  return reader.ReadString(&profile->mName) && reader.ReadString(&profile->mProgress) &&
         reader.ReadString(&profile->mCurrent) && reader.ReadLong(&profile->mSavedScene) &&
         reader.ReadLong(&profile->mSavedLevel) && reader.ReadLong(&profile->mSavedScore) &&
         reader.ReadLong(&profile->mSavedLives);
}

bool IsProgressChar(char c) { return c >= kNoLevelDone && c <= kAllLevelsDone; }

// A saved game is none (all four values 0) or one the game can have written: a level of the ten scenes, a
// score of at least 0 and at least the lives it gives back, so that a continued game can end. A score or
// lives below that are raised to it; a saved game without a real level is dropped.
bool RepairSavedGame(PlayerProfile* profile) {
  std::int32_t* const values[] = {&profile->mSavedScene, &profile->mSavedLevel, &profile->mSavedScore,
                                  &profile->mSavedLives};
  if (!profile->HasSavedGame()) {
    const bool none = std::all_of(std::begin(values), std::end(values), [](const std::int32_t* v) { return *v == 0; });
    for (std::int32_t* value : values) *value = 0;
    return !none;
  }
  const std::int32_t score = std::max(profile->mSavedScore, 0);
  const std::int32_t lives = std::max(profile->mSavedLives, kMinSavedLives);
  const bool repaired = score != profile->mSavedScore || lives != profile->mSavedLives;
  profile->mSavedScore = score;
  profile->mSavedLives = lives;
  return repaired;
}

// A progress string of ten level characters and a current flag of "yes" or "no" are what the screens
// index and compare; anything else is put right here (and the file counts as damaged).
bool RepairProfile(PlayerProfile* profile) {
  bool repaired = false;
  std::string& progress = profile->mProgress;
  if (progress.size() != kNewProgress.size() || !std::all_of(progress.begin(), progress.end(), IsProgressChar)) {
    progress.resize(kNewProgress.size(), kNoLevelDone);
    std::replace_if(
        progress.begin(), progress.end(), [](char c) { return !IsProgressChar(c); }, kNoLevelDone);
    repaired = true;
  }
  if (profile->mCurrent != kCurrentYes && profile->mCurrent != kCurrentNo) {
    profile->mCurrent = kCurrentNo;
    repaired = true;
  }
  return RepairSavedGame(profile) || repaired;
}

}  // namespace

bool EncodePlayerFile(const ProfileList& profiles, Kit::Buffer* out) {
  for (const auto& profile : profiles)
    if (!Fits(profile->mName) || !Fits(profile->mProgress) || !Fits(profile->mCurrent)) return false;
  out->WriteLong(static_cast<std::int32_t>(profiles.size()));
  for (const auto& profile : profiles) {
    out->WriteString(profile->mName);
    out->WriteString(profile->mProgress);
    out->WriteString(profile->mCurrent);
    out->WriteLong(profile->mSavedScene);
    out->WriteLong(profile->mSavedLevel);
    out->WriteLong(profile->mSavedScore);
    out->WriteLong(profile->mSavedLives);
  }
  return true;
}

bool EncodeScoreFile(const ScoreList& scores, Kit::Buffer* out) {
  const std::size_t count = std::min<std::size_t>(scores.size(), kShownScores);
  for (std::size_t i = 0; i < count; ++i)
    if (!Fits(scores[i]->mName)) return false;
  for (std::size_t i = 0; i < count; ++i) {
    out->WriteString(scores[i]->mName);
    out->WriteLong(scores[i]->mScore);
  }
  return true;
}

DecodedProfiles DecodePlayerFile(const std::uint8_t* data, std::size_t size) {
  DecodedProfiles result;
  CheckedReader reader(data, size);
  std::int32_t count = 0;
  if (!reader.ReadLong(&count) || count < 0) {
    result.mDamaged = true;
    return result;
  }
  // Each record is whole or not read: the count cannot make the reader invent profiles.
  for (std::int32_t i = 0; i < count; ++i) {
    auto profile = std::make_unique<PlayerProfile>();
    if (!ReadProfile(reader, profile.get())) {
      result.mDamaged = true;
      return result;
    }
    if (RepairProfile(profile.get())) result.mDamaged = true;
    result.mProfiles.push_back(std::move(profile));
  }
  if (reader.Left() != 0) result.mDamaged = true;
  return result;
}

DecodedScores DecodeScoreFile(const std::uint8_t* data, std::size_t size) {
  DecodedScores result;
  CheckedReader reader(data, size);
  while (reader.Left() != 0 && result.mScores.size() < kShownScores) {
    auto entry = std::make_unique<HighScoreEntry>();
    if (!reader.ReadString(&entry->mName) || !reader.ReadLong(&entry->mScore)) {
      result.mDamaged = true;
      return result;
    }
    result.mScores.push_back(std::move(entry));
  }
  if (reader.Left() != 0) result.mDamaged = true;
  return result;
}
