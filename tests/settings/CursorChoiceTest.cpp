#include <gtest/gtest.h>

#include <string>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Threads.h"
#include "tests/support/HeadlessApp.h"

namespace {

class CursorGame : public testsupport::HeadlessApp {
 public:
  CursorGame() : HeadlessApp("CursorGame", 200, 150) {}
};

class CursorChoice : public testsupport::AppFixture {
 protected:
  CursorChoice() {
    mGame.Init();
    mGame.mMouseIn = true;
    mArrow.Create(8, 8);
  }

  Kit::Image* DrawnCursor() { return mGame.mDDInterface->mCursorImage; }

  CursorGame mGame;
  Kit::MemoryImage mArrow;
};

TEST_F(CursorChoice, NumbersShowTheirSystemCursors) {
  ASSERT_NE(mGame.mDDInterface, nullptr);
  mGame.SetCursor(Kit::CURSOR_POINTER);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32512);  // IDC_ARROW
  mGame.SetCursor(Kit::CURSOR_TEXT);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32513);  // IDC_IBEAM
  mGame.SetCursor(Kit::CURSOR_SIZE_WE);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32644);
  mGame.SetCursor(Kit::CURSOR_WAIT);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32514);
  mGame.SetCursor(Kit::CURSOR_HAND);
  EXPECT_EQ(GetCursor(), mGame.mHandCursor);
  EXPECT_TRUE(plat::IsMaskCursor(GetCursor()));
  mGame.SetCursor(Kit::CURSOR_NONE);
  EXPECT_EQ(GetCursor(), nullptr);
  mGame.SetCursor(77);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32512);
  EXPECT_TRUE(mGame.mSystemCursorInUse);
  mGame.mOverrideCursor = LoadCursor(nullptr, IDC_CROSS);  // replaces the system's cursors
  mGame.SetCursor(Kit::CURSOR_HAND);
  EXPECT_EQ(GetCursor(), mGame.mOverrideCursor);
  mGame.mOverrideCursor = nullptr;
}

TEST_F(CursorChoice, ACursorImageIsDrawnOnlyWithCustomCursorsOn) {
  mGame.mCursorImages[Kit::CURSOR_DRAGGING] = &mArrow;
  mGame.SetCursor(Kit::CURSOR_DRAGGING);
  EXPECT_EQ(GetCursor(), mGame.mDraggingCursor);  // custom cursors are off
  EXPECT_EQ(DrawnCursor(), nullptr);

  mGame.mForceDraw = false;
  mGame.EnableCustomCursors(true);
  EXPECT_EQ(GetCursor(), nullptr);  // the system's pointer disappears
  EXPECT_EQ(DrawnCursor(), &mArrow);
  EXPECT_FALSE(mGame.mSystemCursorInUse);
  EXPECT_TRUE(mGame.mForceDraw);

  mGame.SetCursor(Kit::CURSOR_TEXT);  // no image for it: back to the system's
  EXPECT_EQ(DrawnCursor(), nullptr);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32513);
  mGame.mCursorImages[Kit::CURSOR_DRAGGING] = nullptr;
}

TEST_F(CursorChoice, TheCustomNumberDrawsItsImageButOutsideTheWindowOrAfterACrashThePointerIsTheArrow) {
  mGame.mCursorImages[Kit::CURSOR_CUSTOM] = &mArrow;
  mGame.SetCursor(Kit::CURSOR_CUSTOM);  // even with custom cursors off
  EXPECT_EQ(DrawnCursor(), &mArrow);
  mGame.mMouseIn = false;
  mGame.SetCursor(Kit::CURSOR_CUSTOM);
  EXPECT_EQ(plat::SystemCursorId(GetCursor()), 32512);
  EXPECT_EQ(DrawnCursor(), nullptr);
  mGame.mMouseIn = true;
  mGame.mCrashShutdown = true;
  mGame.SetCursor(Kit::CURSOR_CUSTOM);
  EXPECT_EQ(DrawnCursor(), nullptr);
  mGame.mCrashShutdown = false;
  mGame.mCursorImages[Kit::CURSOR_CUSTOM] = nullptr;
}

}  // namespace
