// The byte layouts of the player file and the score file, and their checked readers. Both files are
// little-endian and byte-aligned, without header, version or checksum:
//   player file: int32 count, then count times: name, progress, current (strings), mSavedScene,
//                mSavedLevel, mSavedScore, mSavedLives (int32);
//   score file:  up to five records of name (string) and score (int32), best first, no count.
// A string is a 16-bit length (least significant byte first) and that many bytes, no terminator.
// The readers trust nothing: counts and lengths are checked against the bytes left, reading stops at
// the first record that is not whole, and anything that is not as the writer makes it (progress, the
// current flag, a saved game's level, score and lives) is put right and marks the file damaged, so that
// the caller keeps a copy before it is overwritten. Pure functions, any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/front/PlayerProfile.h"

namespace Kit {
class Buffer;
}

using ProfileList = std::vector<std::unique_ptr<PlayerProfile>>;
using ScoreList = std::vector<std::unique_ptr<HighScoreEntry>>;

// The score file holds the five best, and the table shows as many.
constexpr int kShownScores = 5;
// The longest string a 16-bit length field can describe.
constexpr std::size_t kMaxStoredString = 0xFFFF;

struct DecodedProfiles {
  ProfileList mProfiles;  // every whole record, in file order, with progress and current repaired
  bool mDamaged = false;
};

struct DecodedScores {
  ScoreList mScores;
  bool mDamaged = false;
};

// False, with nothing appended, when a string is too long for its length field.
bool EncodePlayerFile(const ProfileList& profiles, Kit::Buffer* out);
// The first five records at most.
bool EncodeScoreFile(const ScoreList& scores, Kit::Buffer* out);

DecodedProfiles DecodePlayerFile(const std::uint8_t* data, std::size_t size);
DecodedScores DecodeScoreFile(const std::uint8_t* data, std::size_t size);
