#include "tests/play/PlayFixture.h"

#include <algorithm>
#include <cstdio>

#include "framework/widget/WidgetManager.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "tests/support/Canvas.h"
#include "tests/support/WholeGame.h"

namespace playtest {

namespace {

void NumberSound(int& sound, int& next) { sound = next++; }
template <class Resource>
void NumberSound(Resource*&, int&) {}

}  // namespace

void MusicLog::FadeIn(int songId, int, double, bool) { mFades.push_back("in " + std::to_string(songId)); }
void MusicLog::FadeOut(int songId, bool, double) { mFades.push_back("out " + std::to_string(songId)); }

SoundLoggingGame::SoundLoggingGame() {
  mWidgetManager->Resize(mWidth, mHeight);
  mMusicInterface = std::make_unique<MusicLog>();
}

int SoundLoggingGame::CountSounds(int soundId) const {
  return static_cast<int>(std::count(mSounds.begin(), mSounds.end(), soundId));
}

PlayFieldTest::PlayFieldTest() {
  // Sound ids are told apart by their number; images only need a size here.
  int soundId = 1;
#define PLAYTEST_NUMBER_SOUND(kind, name) NumberSound(name, soundId);
  QUARVEL_RESOURCE_IDS(PLAYTEST_NUMBER_SOUND)
#undef PLAYTEST_NUMBER_SOUND
  mImages.push_back(testsupport::Canvas(100, 40, 0xFFFFFFFF));
  IMAGE_FLARE = mImages.back().get();
  IMAGE_HINTBAR = mImages.back().get();
  gBackgroundAnim.SetKind(-1);  // no background: these tests are about the field
  AddPrototype("paddlemiddle", kPaddleWidthPx, kPaddleHeightPx, 0xFFFFFFFF);
  AddPrototype("largeball", kBallSizePx, kBallSizePx, 0xFFFFFFFF);
}

PlayFieldTest::~PlayFieldTest() {
  CloseField();
  mGame.ProcessSafeDeleteList();
  testsupport::ResetGameObjects();
}

void PlayFieldTest::AddPrototype(const std::string& name, int width, int height, std::uint32_t fill) {
  mImages.push_back(testsupport::Canvas(width, height, fill));
  ObjectTemplate* prototype = gObjectLibrary.AppendPrototype();
  prototype->mName = ObjectLibrary::kPrototypePrefix + name;
  prototype->mImage = mImages.back().get();
  prototype->mWidth = static_cast<float>(width);
  prototype->mHeight = static_cast<float>(height);
}

Actor* PlayFieldTest::AddBrick(const std::string& name, float x, float y, int width, int height) {
  ObjectTemplate* record = gObjectLibrary.AppendInstance();
  record->mName = name;
  record->mX = x;
  record->mY = y;
  record->mWidth = static_cast<float>(width);
  record->mHeight = static_cast<float>(height);
  Actor* brick = gActorScene.CreateActor(record, kBrickKind);
  brick->mName = name;
  return brick;
}

void PlayFieldTest::StartLevelWithBallOnPaddle() {
  mGame.mLives = kLivesAtNewGame;
  mGame.OpenPlayField();
  RunTicks(PlayField::kReadyTicks);
  ASSERT_EQ(Field().mState, PlayField::kBallOnPaddle);
}

void PlayFieldTest::Launch() {
  Field().MouseUp(400, 300, 1);
  ASSERT_EQ(Field().mState, PlayField::kPlaying);
}

void PlayFieldTest::CloseField() {
  if (mGame.mPlayField == nullptr) return;
  mGame.mWidgetManager->RemoveWidget(mGame.mPlayField);
  delete mGame.mPlayField;
  mGame.mPlayField = nullptr;
}

std::string PlayFieldTest::DescribeField() const {
  std::string state = "score " + std::to_string(mGame.mScore) + " lives " + std::to_string(mGame.mLives) + " sounds " +
                      std::to_string(mGame.mSounds.size()) + "\n";
  char line[256];
  for (const auto& actor : gActorScene.mAllActors) {
    std::snprintf(line, sizeof line, "%d %s %.3f %.3f %.3f %.3f %d %d\n", actor->mKind, actor->mName.c_str(), actor->mX,
                  actor->mY, actor->mVelX, actor->mVelY, actor->mHitPoints, actor->mAlive);
    state += line;
  }
  return state;
}

void PlayFieldTest::RunTickWith(const testsupport::PointerInput& input) {
  mGame.mWidgetManager->MouseMoveEntry(input.x, 300);
  if (input.click) Field().MouseUp(input.x, 300, 1);
  RunTicks(1);
}

void PlayFieldTest::RunTicks(int ticks) {
  for (int i = 0; i < ticks && mGame.mPlayField != nullptr; ++i) {
    PlayField* field = mGame.mPlayField;
    field->Update();
    if (mGame.mPlayField == field) field->UpdateF(1.0f);
  }
}

}  // namespace playtest
