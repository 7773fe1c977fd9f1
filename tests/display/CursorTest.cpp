// The software cursor: drawn centred on its position and clipped to the display, moved without
// leaving trails, kept out of the frames, and driven from a thread of its own while frames present.
#include "platform/ddraw/PresentedFrame.h"
#include "tests/support/ScreenFixture.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace testsupport {
namespace {

using Kit::Color;
using Kit::Rect;

class CursorTest : public RunningScreenTest {
 protected:
  void SetUp() override {
    RunningScreenTest::SetUp();
    cursor.SetBits(std::vector<std::uint32_t>(32 * 32, 0xFFFF0000).data(), 32, 32);
    mDisplay->GetScreenImage()->FillRect(Rect(0, 0, kWidth, kHeight), Color(0, 0, 255), 0);
    ASSERT_TRUE(mDisplay->Redraw());
  }

  plat::PresentedFrame Shown() {
    Pump();
    return plat::ReadPresentedFrame(mHost.window);
  }

  // Rows of the window that show the cursor's red between the given columns and nowhere else.
  void ExpectCursorAt(const plat::PresentedFrame& shown, int left, int top, int right, int bottom) {
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = x >= left && x < right && y >= top && y < bottom;
        if ((shown.At(x, y) == 0xFF0000u) != inside && wrong++ < 5)
          ADD_FAILURE() << "pixel " << x << "," << y << " shows " << std::hex << shown.At(x, y);
      }
    EXPECT_EQ(wrong, 0);
  }

  Kit::MemoryImage cursor;
};

TEST_P(CursorTest, TheCursorIsCentredClippedAndMovedWithoutTrails) {
  ASSERT_TRUE(mDisplay->SetCursorImage(&cursor));
  EXPECT_FALSE(mDisplay->SetCursorImage(&cursor));
  mDisplay->SetCursorPos(2, 3);
  ExpectCursorAt(Shown(), 0, 0, 18, 19);  // the image's top-left corner at (-14, -13)
  mDisplay->SetCursorPos(100, 100);
  ExpectCursorAt(Shown(), 84, 84, 116, 116);
  mDisplay->SetCursorPos(110, 95);  // overlapping the old place
  ExpectCursorAt(Shown(), 94, 79, 126, 111);
  mDisplay->SetCursorPos(250, 200);  // apart from it
  ExpectCursorAt(Shown(), 234, 184, 266, 216);
  mDisplay->SetCursorPos(319, 239);  // half off the display
  ExpectCursorAt(Shown(), 303, 223, 320, 240);
}

TEST_P(CursorTest, AFrameShowsTheCursorButDoesNotKeepIt) {
  mDisplay->SetCursorImage(&cursor);
  mDisplay->SetCursorPos(60, 50);
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, kWidth, kHeight), Color(0, 255, 0), 0);
  ASSERT_TRUE(mDisplay->Redraw());
  ExpectCursorAt(Shown(), 44, 34, 76, 66);
  EXPECT_EQ(ScreenPixel(60, 50), Native(0xFF00FF00));
  // Moving after the frame leaves the frame's pixels behind, not the old background.
  mDisplay->SetCursorPos(200, 150);
  const plat::PresentedFrame shown = Shown();
  ExpectCursorAt(shown, 184, 134, 216, 166);
  EXPECT_EQ(shown.At(60, 50), plat::ShownColorOf(Native(0xFF00FF00), PrimaryFormat()));
}

TEST_P(CursorTest, VideoOnlyFramesShowTheCursorInPlaceAndDoNotKeepIt) {
  mDisplay->SetVideoOnlyDraw(true);
  ASSERT_TRUE(mDisplay->mVideoOnlyDraw);
  auto green = MakeImage(std::vector<std::uint32_t>(kWidth * kHeight, 0xFF00FF00), kWidth, kHeight);
  ASSERT_NE(green->GetSurface(), nullptr);  // the video-only screen takes DirectDraw's copies only
  mDisplay->GetScreenImage()->Blt(green.get(), 0, 0, Rect(0, 0, kWidth, kHeight), Color::White, 0);
  mDisplay->SetCursorImage(&cursor);
  mDisplay->SetCursorPos(60, 50);
  ASSERT_TRUE(mDisplay->Redraw());
  // In client coordinates, not moved by the window's place on the screen.
  ExpectCursorAt(Shown(), 44, 34, 76, 66);
  EXPECT_EQ(ScreenPixel(60, 50), Native(0xFF00FF00));
}

TEST_P(CursorTest, FullScreenDrawsTheCursorIntoTheFlippedFrame) {
  ASSERT_EQ(Start(false), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  mDisplay->SetCursorImage(&cursor);
  mDisplay->SetCursorPos(160, 120);
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, kWidth, kHeight), Color(0, 255, 0), 0);
  ASSERT_TRUE(mDisplay->Redraw());
  IDirectDrawSurface* shownSurface = mDisplay->mPrimarySurface;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(shownSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  auto at = [&](int x, int y) {
    std::uint16_t v;
    std::memcpy(&v, static_cast<std::uint8_t*>(desc.lpSurface) + y * desc.lPitch + 2 * x, 2);
    return static_cast<std::uint32_t>(v);
  };
  EXPECT_EQ(at(160, 120), Native(0xFFFF0000));
  EXPECT_EQ(at(10, 10), Native(0xFF00FF00));
  shownSurface->Unlock(nullptr);
  EXPECT_EQ(ScreenPixel(160, 120), Native(0xFF00FF00));
}

TEST_P(CursorTest, TheCursorThreadMovesItWhileFramesArePresented) {
  mDisplay->SetCursorImage(&cursor);
  {
    std::atomic<bool> stop{false};
    // Moves come faster than frames, with a pause between them as the application's cursor thread
    // makes: a thread that takes the display's lock again the moment it lets it go can keep a frame
    // waiting for it for seconds on end.
    std::jthread cursorThread([&] {
      for (int i = 0; !stop; ++i) {
        mDisplay->SetCursorPos((i * 7) % kWidth, (i * 3) % kHeight);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    });
    // Each move asks the main thread for a present: the pump must still return between frames.
    for (int frame = 0; frame < 30 && !HasFailure(); ++frame) {
      mDisplay->GetScreenImage()->FillRect(Rect(frame, frame, 20, 20), Color(frame * 4, 0, 0), 0);
      EXPECT_TRUE(mDisplay->Redraw()) << mDisplay->mErrorString << " in frame " << frame;
      Pump();
    }
    stop = true;
  }
  ASSERT_FALSE(HasFailure());
  Pump();
  // Taken off the display entirely, the cursor leaves nothing behind.
  mDisplay->SetCursorPos(-200, -200);
  ASSERT_TRUE(mDisplay->Redraw());
  ExpectWindowShowsScreen();
}

INSTANTIATE_TEST_SUITE_P(Roads, CursorTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
