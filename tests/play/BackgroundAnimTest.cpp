// The three animated backgrounds stepping tick by tick, and the black they are drawn over.
#include "game/play/BackgroundAnim.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "game/play/ResourceIds.h"
#include "tests/support/Canvas.h"

namespace {

class BackgroundAnimTest : public testing::Test {
 protected:
  BackgroundAnimTest() : mSprite(testsupport::Canvas(10, 30, 0xFFFFFFFF)) { IMAGE_BACK3_VFLASH2 = mSprite.get(); }
  ~BackgroundAnimTest() override { ResetResourceIds(); }

  void Run(int updates) {
    for (int i = 0; i < updates; ++i) mAnim.Update();
  }

  std::unique_ptr<Kit::MemoryImage> mSprite;
  BackgroundAnim mAnim;
};

TEST_F(BackgroundAnimTest, AfterEightHundredUpdatesTheCloudCopiesHaveTradedPlaces) {
  mAnim.SetKind(BackgroundAnim::kScrollKind);
  Run(800);
  EXPECT_EQ(mAnim.mCloudX1, 0);
  EXPECT_EQ(mAnim.mCloudX2, 800);
  Run(1);
  EXPECT_EQ(mAnim.mCloudX2, mAnim.mCloudX1 - 800) << "the copy that left on the right comes back on the left";
}

TEST_F(BackgroundAnimTest, LightningStrikesAfterItsPauseAndFadesOneAlphaStepPerUpdate) {
  mAnim.SetKind(BackgroundAnim::kScrollKind);
  const int pause = mAnim.mLightningDelay;
  ASSERT_GE(pause, 500);
  ASSERT_LE(pause, 1000);
  Run(pause - 1);
  EXPECT_FALSE(mAnim.mLightningVisible);
  Run(1);
  ASSERT_TRUE(mAnim.mLightningVisible);
  const int alpha = mAnim.mLightningAlpha;
  EXPECT_GE(alpha, 100);
  EXPECT_LE(alpha, 255);
  Run(alpha);
  EXPECT_TRUE(mAnim.mLightningVisible) << "at alpha 0";
  Run(1);
  EXPECT_FALSE(mAnim.mLightningVisible);
  EXPECT_GE(mAnim.mLightningDelay, 500);
  EXPECT_LE(mAnim.mLightningDelay, 1000);
}

TEST_F(BackgroundAnimTest, TheFlashShowsEachOfItsTwentyNineCelsForOneUpdate) {
  mAnim.SetKind(BackgroundAnim::kFallKind);
  Run(mAnim.mFlashDelay);
  std::vector<int> shown;
  while (mAnim.mFlashOn) {
    shown.push_back(mAnim.mFlashCel);
    Run(1);
  }
  ASSERT_EQ(shown.size(), 29u);
  for (int cel = 0; cel < 29; ++cel) EXPECT_EQ(shown[cel], cel);
}

TEST_F(BackgroundAnimTest, AFallenObjectRestartsAboveTheTopAfterALongerPause) {
  mAnim.SetKind(BackgroundAnim::kFallKind);
  BackgroundAnim::FallingObject& first = mAnim.mObjects[0];
  Run(first.mDelay);
  ASSERT_TRUE(first.mActive);
  EXPECT_EQ(first.mY, 0.0f) << "the first fall starts at the top edge";
  while (first.mActive) Run(1);
  EXPECT_EQ(first.mX, 106.0f);
  EXPECT_EQ(first.mY, -30.0f);
  EXPECT_GE(first.mDelay, 600);
  EXPECT_LE(first.mDelay, 1100);
}

TEST_F(BackgroundAnimTest, EachKindResumesWhereItStoodAfterAnotherKindRan) {
  mAnim.SetKind(BackgroundAnim::kFallKind);
  Run(mAnim.mObjects[0].mDelay + 10);
  const float y = mAnim.mObjects[0].mY;
  mAnim.SetKind(BackgroundAnim::kScrollKind);
  Run(50);
  mAnim.SetKind(BackgroundAnim::kFallKind);
  EXPECT_EQ(mAnim.mObjects[0].mY, y);
  EXPECT_EQ(mAnim.mCloudX2, 50) << "the clouds moved only while theirs was the kind";
}

// The backdrop drawn over black onto a white screen shows exactly what it shows drawn onto a black one:
// the black is left out only where the picture hides all of it.
struct OverBlackCase {
  const char* name;
  int kind;
  int pictureWidth, pictureHeight;
  std::uint32_t picture;  // 0xAARRGGBB of every pixel but the last
  std::uint32_t last;     // of the last pixel
  int drawMode;
};

void PrintTo(const OverBlackCase& c, std::ostream* out) { *out << c.name; }

class BackdropOverBlackTest : public BackgroundAnimTest, public testing::WithParamInterface<OverBlackCase> {};

TEST_P(BackdropOverBlackTest, ShowsTheBackdropOverBlackWhateverTheScreenHeld) {
  const OverBlackCase& c = GetParam();
  constexpr int kWidth = 12, kHeight = 8;
  const auto picture = testsupport::Canvas(c.pictureWidth, c.pictureHeight, c.picture);
  picture->GetBits()[c.pictureWidth * c.pictureHeight - 1] = c.last;
  picture->BitsChanged();
  IMAGE_BACK = picture.get();
  IMAGE_BACK3 = picture.get();
  mAnim.SetKind(c.kind);
  const auto draw = [&](std::uint32_t screenFill, bool overBlack) {
    auto screen = testsupport::Canvas(kWidth, kHeight, screenFill);
    Kit::Graphics g(screen.get());
    g.SetDrawMode(c.drawMode);
    if (overBlack) {
      mAnim.DrawOverBlack(&g, kWidth, kHeight);
    } else {
      g.SetColor(Kit::Color(0, 0, 0));
      mAnim.Draw(&g);
    }
    return std::vector<std::uint32_t>(screen->GetBits(), screen->GetBits() + kWidth * kHeight);
  };
  EXPECT_EQ(draw(0xFFFFFFFF, true), draw(0xFF000000, false));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BackdropOverBlackTest,
    testing::Values(OverBlackCase{"Opaque", BackgroundAnim::kFallKind, 12, 8, 0xFF3060C0, 0xFF3060C0, 0},
                    OverBlackCase{"OpaqueStill", BackgroundAnim::kImageKind, 14, 9, 0xFF3060C0, 0xFF102030, 0},
                    OverBlackCase{"SeeThroughPixel", BackgroundAnim::kFallKind, 12, 8, 0xFF3060C0, 0x00FFFFFF, 0},
                    OverBlackCase{"TranslucentPixel", BackgroundAnim::kImageKind, 12, 8, 0xFF3060C0, 0x80FF8040, 0},
                    OverBlackCase{"Narrower", BackgroundAnim::kFallKind, 11, 8, 0xFF3060C0, 0xFF3060C0, 0},
                    OverBlackCase{"Shorter", BackgroundAnim::kImageKind, 12, 7, 0xFF3060C0, 0xFF3060C0, 0},
                    OverBlackCase{"Additive", BackgroundAnim::kFallKind, 12, 8, 0xFF3060C0, 0xFF3060C0,
                                  Kit::Graphics::kDrawModeAdditive}),
    testing::PrintToStringParamName());

}  // namespace
