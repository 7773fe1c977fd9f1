// Which cursor shows: a software cursor image drawn by the display, or a system cursor.
#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/input/Cursor.h"

namespace Kit {

namespace {

// The system cursor of a cursor number when no image is drawn for it; null for "no cursor".
HCURSOR SystemCursorFor(int number, HCURSOR hand, HCURSOR dragging) {
  switch (number) {
    case CURSOR_HAND:
      return hand;
    case CURSOR_DRAGGING:
      return dragging;
    case CURSOR_TEXT:
      return LoadCursor(nullptr, IDC_IBEAM);
    case CURSOR_CIRCLE_SLASH:
      return LoadCursor(nullptr, IDC_NO);
    case CURSOR_SIZE_ALL:
      return LoadCursor(nullptr, IDC_SIZEALL);
    case CURSOR_SIZE_NESW:
      return LoadCursor(nullptr, IDC_SIZENESW);
    case CURSOR_SIZE_NS:
      return LoadCursor(nullptr, IDC_SIZENS);
    case CURSOR_SIZE_NWSE:
      return LoadCursor(nullptr, IDC_SIZENWSE);
    case CURSOR_SIZE_WE:
      return LoadCursor(nullptr, IDC_SIZEWE);
    case CURSOR_WAIT:
      return LoadCursor(nullptr, IDC_WAIT);
    case CURSOR_NONE:
    case CURSOR_CUSTOM:
      return nullptr;
    default:
      return LoadCursor(nullptr, IDC_ARROW);
  }
}

}  // namespace

void KitAppBase::EnforceCursor() {
  if (mDDInterface == nullptr) return;
  const bool playing = mDemoStream != nullptr && mDemoStream->mDemoPlaying;
  const bool inside = !mCrashShutdown && mMouseIn;
  if (inside) {
    Image* image = mCursorNum >= 0 && mCursorNum < kCursorImageCount ? mCursorImages[mCursorNum] : nullptr;
    if (image != nullptr && (playing || mCustomCursorsEnabled || mCursorNum == CURSOR_CUSTOM)) {
      if (mDDInterface->SetCursorImage(image)) mForceDraw = true;
      // While a demo plays the user's own pointer shows that it has no say.
      ::SetCursor(playing ? LoadCursor(nullptr, IDC_NO) : nullptr);
      mSystemCursorInUse = false;
      return;
    }
    ::SetCursor(mOverrideCursor != nullptr ? mOverrideCursor
                                           : SystemCursorFor(mCursorNum, mHandCursor, mDraggingCursor));
  } else {
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }
  if (mDDInterface->SetCursorImage(nullptr)) mForceDraw = true;
  mSystemCursorInUse = true;
}

}  // namespace Kit
