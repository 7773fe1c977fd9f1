// DirectDraw refusing a surface call midway: an image whose lock is lifted for a blit or for text and
// cannot be taken again, a surface lost between the two, and a frame that cannot reach the back buffer.
#include "framework/font/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "platform/ddraw/SurfaceFaults.h"
#include "tests/support/ScreenFixture.h"

namespace testsupport {
namespace {

using Kit::Color;
using Kit::Rect;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;

class SurfaceFailureTest : public RunningScreenTest {
 protected:
  void SetUp() override {
    RunningScreenTest::SetUp();
    target = MakeImage(std::vector<std::uint32_t>(8 * 8, kBlack), 8, 8);
    sprite = MakeImage(std::vector<std::uint32_t>(4 * 4, kRed), 4, 4);
    ASSERT_NE(target->GetSurface(), nullptr);
    ASSERT_NE(sprite->GetSurface(), nullptr);
  }
  void TearDown() override {
    plat::FailNextLocks(0);
    static_cast<void>(plat::TakeSurfaceLostFault());
    RunningScreenTest::TearDown();
  }

  // The target's pixel at (x, y) read back through its surface, once nothing holds it locked.
  std::uint32_t TargetPixel(int x, int y) {
    const std::uint32_t* bits = target->GetBits();
    return bits ? bits[y * 8 + x] : 0;
  }
  // The surface itself is unlocked: anyone else may lock it.
  bool SurfaceFree() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    if (target->mSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    target->mSurface->Unlock(nullptr);
    return true;
  }
  // DirectDraw's copy of the sprite into the target, which lifts the target's lock around it.
  void CopySprite() { target->Blt(sprite.get(), 0, 0, Rect(0, 0, 4, 4), Color::White, 0); }

  std::unique_ptr<Kit::DDImage> target;
  std::unique_ptr<Kit::DDImage> sprite;
};

// The lock is taken again, so the draws that follow the copy still land.
TEST_P(SurfaceFailureTest, ASurfaceLostDuringACopyIsRestoredAndLockedAgain) {
  ASSERT_TRUE(target->LockSurface());
  plat::FailNextWithSurfaceLost();
  CopySprite();
  EXPECT_FALSE(plat::TakeSurfaceLostFault()) << "the lock after the copy met the lost surface";
  EXPECT_FALSE(target->mLockBroken);
  target->FillRect(Rect(5, 5, 2, 2), Color(0, 255, 0), 0);
  EXPECT_TRUE(target->UnlockSurface());
  EXPECT_EQ(target->mLockCount, 0);
  EXPECT_TRUE(SurfaceFree());
  EXPECT_EQ(TargetPixel(1, 1), kRed);
  EXPECT_EQ(TargetPixel(5, 5), kGreen);
  EXPECT_EQ(TargetPixel(7, 7), kBlack);
}

// A lock refused once after the copy is taken by the next draw.
TEST_P(SurfaceFailureTest, ALockRefusedAfterACopyIsTakenByTheNextDraw) {
  ASSERT_TRUE(target->LockSurface());
  plat::FailNextLocks(1);
  CopySprite();
  EXPECT_TRUE(target->mLockBroken);
  EXPECT_EQ(target->mLockedSurfaceDesc.lpSurface, nullptr);
  target->FillRect(Rect(5, 5, 2, 2), Color(0, 255, 0), 0);
  EXPECT_FALSE(target->mLockBroken);
  EXPECT_TRUE(target->UnlockSurface());
  EXPECT_TRUE(SurfaceFree());
  EXPECT_EQ(TargetPixel(1, 1), kRed);
  EXPECT_EQ(TargetPixel(5, 5), kGreen);
}

// While the lock cannot be had the image's draws and read-backs do nothing: the surface keeps the only
// copy of its pixels, and they come back once it can be locked.
TEST_P(SurfaceFailureTest, ALockThatCannotBeTakenAgainLosesNoPixels) {
  ASSERT_TRUE(target->LockSurface());
  plat::FailNextLocks(3);
  CopySprite();  // the lock after it fails
  ASSERT_TRUE(target->mLockBroken);
  target->FillRect(Rect(5, 5, 2, 2), Color(0, 255, 0), 0);  // its lock fails: nothing drawn
  EXPECT_EQ(target->GetBits(), nullptr) << "pixels read from a surface that is not locked";
  EXPECT_NE(target->mSurface, nullptr);
  EXPECT_TRUE(target->UnlockSurface());
  EXPECT_FALSE(target->mLockBroken);
  EXPECT_EQ(target->mLockCount, 0);
  EXPECT_TRUE(SurfaceFree());
  EXPECT_EQ(TargetPixel(1, 1), kRed);
  EXPECT_EQ(TargetPixel(5, 5), kBlack);
  EXPECT_EQ(TargetPixel(7, 7), kBlack);
}

// System-font text lifts the lock too: the draws after it land on the locked surface.
TEST_P(SurfaceFailureTest, TextOnALockedImageLeavesItLockedForTheDrawsThatFollow) {
  Kit::SysFont font(nullptr, "Arial", 8);
  Kit::Graphics g(target.get());
  g.SetFont(&font);
  g.SetColor(Color(255, 255, 255));
  ASSERT_TRUE(target->LockSurface());
  plat::FailNextLocks(1);
  g.DrawString("W", 0, 7);
  EXPECT_TRUE(target->mLockBroken);
  target->FillRect(Rect(6, 6, 2, 2), Color(0, 255, 0), 0);
  EXPECT_FALSE(target->mLockBroken);
  EXPECT_TRUE(target->UnlockSurface());
  EXPECT_TRUE(SurfaceFree());
  EXPECT_EQ(TargetPixel(7, 7), kGreen);
}

// Full screen, a frame that did not reach the back buffer is not flipped onto the screen: the present
// fails and says why, and the application restarts the display.
using FullScreenFailureTest = ScreenTest;

TEST_P(FullScreenFailureTest, AFrameThatCannotReachTheBackBufferIsNotShown) {
  ASSERT_EQ(Start(false), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  Kit::DDImage* screen = mDisplay->GetScreenImage();
  screen->FillRect(Rect(0, 0, kWidth, kHeight), Color(255, 255, 0), 0);
  ASSERT_TRUE(mDisplay->Redraw()) << mDisplay->mErrorString;
  // Held locked, the frame cannot be copied.
  ASSERT_TRUE(screen->LockSurface());
  EXPECT_FALSE(mDisplay->Redraw());
  EXPECT_EQ(mDisplay->mErrorString, "Redraw FullScreen BackBuffer Blt: DDERR_SURFACEBUSY");
  EXPECT_TRUE(screen->UnlockSurface());
  EXPECT_TRUE(mDisplay->Redraw()) << mDisplay->mErrorString;
}

INSTANTIATE_TEST_SUITE_P(Roads, SurfaceFailureTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);
INSTANTIATE_TEST_SUITE_P(Roads, FullScreenFailureTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
