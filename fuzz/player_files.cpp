// The player file and the score file read from arbitrary bytes: the readers must stop at the end of
// the data whatever the counts and lengths say, every saved game they give must be one the rules can
// end, and whatever they accept must write back to a file that reads the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/util/Buffer.h"
#include "game/front/PlayerFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DecodedProfiles profiles = DecodePlayerFile(data, size);
  for (const auto& profile : profiles.mProfiles) {
    const bool playable = profile->mSavedLives >= kMinSavedLives && profile->mSavedScore >= 0;
    if (profile->HasSavedGame() && !playable) std::abort();
  }
  Kit::Buffer playerBytes;
  if (!EncodePlayerFile(profiles.mProfiles, &playerBytes)) std::abort();
  DecodedProfiles again = DecodePlayerFile(playerBytes.GetDataPtr(), static_cast<size_t>(playerBytes.GetDataLen()));
  if (again.mDamaged || again.mProfiles.size() != profiles.mProfiles.size()) std::abort();

  DecodedScores scores = DecodeScoreFile(data, size);
  Kit::Buffer scoreBytes;
  if (!EncodeScoreFile(scores.mScores, &scoreBytes)) std::abort();
  DecodedScores scoresAgain = DecodeScoreFile(scoreBytes.GetDataPtr(), static_cast<size_t>(scoreBytes.GetDataLen()));
  if (scoresAgain.mDamaged || scoresAgain.mScores.size() != scores.mScores.size()) std::abort();
  return 0;
}
