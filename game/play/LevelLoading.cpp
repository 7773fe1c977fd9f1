#include "game/play/LevelLoading.h"

#include <algorithm>

#include "framework/sound/MusicInterface.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/GameApp.h"
#include "game/play/LevelHud.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"

namespace {

constexpr float kSwirlBrickRadius = 5.0f;
constexpr float kPowerUpBrickRadius = 15.0f;

bool NamedBrickExactly(const ObjectTemplate& record) { return record.mName.compare(0, 5, "brick") == 0; }
// Level files name their bricks in lower case; a capital letter is still taken for a brick here.
bool IsBrickObject(const ObjectTemplate& record) { return ToLowerCopy(record.mName.substr(0, 5)) == "brick"; }

void MakeBrickActor(ObjectTemplate* record) {
  if (Kit::Image* image = gObjectLibrary.FindImageByName(record->mImageName)) record->mImage = image;
  record->mVisible = false;
  Actor* brick = gActorScene.CreateActor(record, kBrickKind);
  brick->mName = record->mName;
  brick->mCode = record->mCode;
  const std::string_view code = brick->ColourCode();
  if (IsSwirlCode(code)) brick->mRadius = kSwirlBrickRadius;
  if (code == "ff") brick->mRadius = kPowerUpBrickRadius;
  gBoard.SetBrickHitPoints(brick);
}

// A level plays the track of its background: kind 1 track 1, kind 2 track 2, kind 0 track 3.
void PlayLevelMusic(GameApp& app) {
  switch (gBackgroundAnim.mKind) {
    case BackgroundAnim::kScrollKind:
    case BackgroundAnim::kFallKind:
      app.ChangeMusic(gBackgroundAnim.mKind);
      break;
    case BackgroundAnim::kImageKind:
      app.ChangeMusic(kImageKindTrack);
      break;
    default:
      if (app.mMusicInterface) app.mMusicInterface->FadeOut(app.mMusicTrack, true, kMusicFadePerTick);
      break;
  }
}

}  // namespace

void ClearPreviousLevel() {
  gObjectLibrary.RemoveInstancesIf(NamedBrickExactly);
  gObjectLibrary.mLastCreated = nullptr;
  gActorScene.Clear();
  for (const auto& record : gObjectLibrary.Instances()) record->mRunning = false;
}

std::string PeekLevelPath(const GameApp& app) {
  if (app.mCustomLevel) return app.mCustomLevelPaths.empty() ? std::string() : app.mCustomLevelPaths.front();
  return "data\\level" + FormatIntDecimal(app.mScene) + "_" + FormatIntDecimal(app.mLevel) + ".vel";
}

std::string TakeLevelPath(GameApp& app) {
  std::string path = PeekLevelPath(app);
  if (app.mCustomLevel && !app.mCustomLevelPaths.empty()) app.mCustomLevelPaths.pop_front();
  return path;
}

LevelContents ReadLevelFile(GameApp& app) {
  const int kind = gObjectLibrary.LoadLevel(TakeLevelPath(app));
  if (kind >= 0) gBackgroundAnim.SetKind(kind);
  // Records appended by the file come after every record kept from before; all of them are walked.
  bool anyBrick = false;
  for (const auto& record : gObjectLibrary.Instances()) {
    if (!IsBrickObject(*record)) continue;
    MakeBrickActor(record.get());
    anyBrick = true;
  }
  PlayLevelMusic(app);
  if (anyBrick) return LevelContents::kBricks;
  return kind == ObjectLibrary::kUnreadableLevel ? LevelContents::kUnreadable : LevelContents::kNoBricks;
}

LevelContents LoadLevelObjects(GameApp& app) {
  ClearPreviousLevel();
  return ReadLevelFile(app);
}

std::string UnplayableLevelText(const std::string& path, LevelContents contents) {
  switch (contents) {
    case LevelContents::kUnreadable:
      return "The level " + path + " could not be read.";
    case LevelContents::kNoBricks:
      return "The level " + path + " has no bricks.";
    case LevelContents::kBricks:
      break;
  }
  return {};
}
