// Presenting a frame (flip, blit, or a blit split around the beam) and the software cursor drawn
// over the presented frame.
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/util/AutoCrit.h"
#include "platform/win/threads/Time.h"

#include <algorithm>

namespace Kit {
namespace {

constexpr DWORD kScanWaitMillis = 200;
// The beam is polled at most this often per wait, so that a display whose scan line never moves
// (a stopped test clock) cannot hold the present forever.
constexpr int kScanPollLimit = 200000;

RECT Offset(RECT r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

RECT Intersect(RECT a, RECT b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

bool DDInterface::Redraw(const Rect* clip) {
  AutoCrit lock(Lock());
  if (!mInitialized) return false;
  // Set while the frame is presented, on every way out: the cursor thread leaves the cursor alone.
  struct Presenting {
    std::atomic<int>& flag;
    explicit Presenting(std::atomic<int>& inRedraw) : flag(inRedraw) { flag = 1; }
    ~Presenting() { flag = 0; }
  } presenting(mInRedraw);
  if (mIs3D && !Finish3DFrame()) return false;
  const Rect area = clip ? *clip : Rect(0, 0, mWidth, mHeight);
  const RECT source{area.mX, area.mY, area.mX + area.mWidth, area.mY + area.mHeight};
  const POINT origin = ClientOrigin();
  const RECT dest = Offset(source, origin);
  const bool popupShown = mApp && mApp->IsPopupShown();
  const bool pageFlipping = !mApp || mApp->IsPageFlipping();
  const bool waitForVSync = mApp && mApp->WaitsForVerticalSync() && !mApp->IsSoftwareVerticalSync();

  if (!mIsWindowed) {
    if (popupShown || !pageFlipping) {
      RECT from = source, to = dest;
      return !CheckDXError(mPrimarySurface->Blt(&to, mDrawSurface, &from, DDBLT_WAIT, nullptr),
                           "Redraw FullScreen Blt");
    }
    if (!mVideoOnlyDraw) {
      // A back buffer that did not get the frame is not shown: the present fails, and the application
      // restarts the display, which restores its surfaces.
      RECT from = source, to = source;
      if (CheckDXError(mSecondarySurface->Blt(&to, mDrawSurface, &from, DDBLT_WAIT, nullptr),
                       "Redraw FullScreen BackBuffer Blt"))
        return false;
    }
    mCursorOldX = mCursorX;
    mCursorOldY = mCursorY;
    // A cursor that could not be drawn leaves the frame without it; the frame is still shown.
    DrawCursorTo(mSecondarySurface, true);
    return !CheckDXError(mPrimarySurface->Flip(nullptr, DDFLIP_WAIT), "Redraw FullScreen Flip");
  }

  // Windowed, the frame goes from the surface it was drawn in (the video-memory secondary in
  // video-only mode) to the window; the cursor is drawn into it in client coordinates and its
  // background put back afterwards, so it never becomes part of the next frame.
  IDirectDrawSurface* frame = mVideoOnlyDraw ? mSecondarySurface : mDrawSurface;
  mCursorOldX = mCursorX;
  mCursorOldY = mCursorY;
  DrawCursorTo(frame, false);
  const bool cursorDrawn = mHasOldCursorArea;
  bool presented;
  if (mVideoOnlyDraw) {
    if (waitForVSync) WaitForVerticalBlank();
    presented = PresentWindowed(source, dest);
  } else if (!waitForVSync) {
    presented = PresentWindowed(source, dest);
  } else if (mVSyncFailures >= 3) {
    WaitForVerticalBlank();
    presented = PresentWindowed(source, dest);
  } else {
    presented = SplitBlit(frame, source, dest);
  }
  if (cursorDrawn) {
    // A background that cannot be put back leaves the cursor in the frame the next one is drawn
    // over: the present fails, so that the application restarts the display and draws it all anew.
    const HRESULT restored = RestoreOldCursorArea(frame, false);
    mHasOldCursorArea = true;
    if (CheckDXError(restored, "Redraw Windowed Cursor")) presented = false;
  }
  return presented;
}

void DDInterface::WaitForVerticalBlank() {
  // A display that cannot wait for its vertical blank is presented at once: the frame matters more
  // than its timing.
  static_cast<void>(mDirectDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr));
}

bool DDInterface::PresentWindowed(RECT source, RECT dest) {
  IDirectDrawSurface* frame = mVideoOnlyDraw ? mSecondarySurface : mDrawSurface;
  return !CheckDXError(mPrimarySurface->Blt(&dest, frame, &source, DDBLT_WAIT, nullptr), "Redraw Windowed");
}

bool DDInterface::WaitForScanLine(int middle, DWORD& lastLine) {
  DDSURFACEDESC mode{};
  mode.dwSize = sizeof(mode);
  const int screenHeight =
      SUCCEEDED(mDirectDraw->GetDisplayMode(&mode)) ? static_cast<int>(mode.dwHeight) : mHeight + middle;
  const DWORD start = GetTickCount();
  bool seenAbove = false;
  for (int polls = 0; polls < kScanPollLimit && GetTickCount() - start < kScanWaitMillis; ++polls) {
    DWORD line = 0;
    const HRESULT result = mDirectDraw->GetScanLine(&line);
    if (result == DDERR_VERTICALBLANKINPROGRESS) {
      if (seenAbove) return true;
      continue;
    }
    if (FAILED(result)) return false;
    lastLine = line;
    const int at = static_cast<int>(line);
    if (at < middle && at < screenHeight)
      seenAbove = true;
    else if (seenAbove)
      return true;
  }
  return false;
}

bool DDInterface::SplitBlit(IDirectDrawSurface* from, RECT source, RECT dest) {
  // The rectangle is split at its own middle, so both halves cover the same rows of the frame and
  // of the window whatever rectangle is presented.
  const int halfRows = (source.bottom - source.top) / 2;
  const int middle = dest.top + halfRows;
  DWORD lastLine = 0;
  if (!WaitForScanLine(middle, lastLine)) {
    ++mVSyncFailures;
    WaitForVerticalBlank();
    return PresentWindowed(source, dest);
  }
  mVSyncFailures = 0;
  RECT topTo{dest.left, dest.top, dest.right, middle};
  RECT topFrom{source.left, source.top, source.right, source.top + halfRows};
  HRESULT result = mPrimarySurface->Blt(&topTo, from, &topFrom, DDBLT_WAIT, nullptr);
  if (CheckDXError(result, "Redraw Windowed")) return false;
  const DWORD start = GetTickCount();
  for (int polls = 0; polls < kScanPollLimit && GetTickCount() - start < kScanWaitMillis; ++polls) {
    DWORD line = 0;
    if (FAILED(mDirectDraw->GetScanLine(&line))) continue;
    if (line < lastLine || static_cast<int>(line) >= dest.bottom) break;
  }
  RECT bottomTo{dest.left, middle, dest.right, dest.bottom};
  RECT bottomFrom{source.left, source.top + halfRows, source.right, source.bottom};
  return !CheckDXError(mPrimarySurface->Blt(&bottomTo, from, &bottomFrom, DDBLT_WAIT, nullptr), "Redraw Windowed");
}

// ---- Software cursor ----

DDInterface::CursorRects DDInterface::CursorRectsAt(int x, int y, bool adjust) const {
  CursorRects rects{};
  const int areaLeft = x - mCursorWidth / 2, areaTop = y - mCursorHeight / 2;
  const RECT whole{areaLeft, areaTop, areaLeft + mCursorWidth, areaTop + mCursorHeight};
  const RECT clipped = Intersect(whole, RECT{0, 0, mWidth, mHeight});
  rects.inside = Offset(clipped, POINT{-areaLeft, -areaTop});
  rects.area = adjust ? Offset(clipped, ClientOrigin()) : clipped;
  const int imageWidth = mCursorImage ? mCursorImage->mWidth : 0;
  const int imageHeight = mCursorImage ? mCursorImage->mHeight : 0;
  rects.imageAt = POINT{(mCursorWidth - imageWidth) / 2, (mCursorHeight - imageHeight) / 2};
  rects.empty = IsEmpty(clipped);
  return rects;
}

bool DDInterface::SaveUnderCursor(IDirectDrawSurface* surface, IDirectDrawSurface* area, CursorRects& rects) {
  if (rects.empty) return false;
  RECT to = rects.inside, from = rects.area;
  if (SUCCEEDED(area->Blt(&to, surface, &from, DDBLT_WAIT, nullptr))) return true;
  // Off the primary's own edge (a window partly off the desktop): cut to it and try again.
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  if (FAILED(mPrimarySurface->GetSurfaceDesc(&desc))) return false;
  const RECT cut = Intersect(rects.area, RECT{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)});
  if (IsEmpty(cut)) return false;
  rects.inside =
      RECT{rects.inside.left + (cut.left - rects.area.left), rects.inside.top + (cut.top - rects.area.top),
           rects.inside.right - (rects.area.right - cut.right), rects.inside.bottom - (rects.area.bottom - cut.bottom)};
  rects.area = cut;
  to = rects.inside;
  from = rects.area;
  return SUCCEEDED(area->Blt(&to, surface, &from, DDBLT_WAIT, nullptr));
}

void DDInterface::DrawCursorImageInto(DDImage& areaImage, POINT at) {
  if (!mCursorImage) return;
  areaImage.Blt(mCursorImage, at.x, at.y, Rect(0, 0, mCursorImage->mWidth, mCursorImage->mHeight), Color::White, 0);
}

void DDInterface::DrawCursorTo(IDirectDrawSurface* surface, bool adjust) {
  if (!mCursorImage || !mPrimarySurface || !surface || !mOldCursorArea) {
    mHasOldCursorArea = false;
    return;
  }
  CursorRects rects = CursorRectsAt(mCursorOldX, mCursorOldY, adjust);
  mHasOldCursorArea = SaveUnderCursor(surface, mOldCursorArea, rects);
  if (!mHasOldCursorArea) return;
  if (surface == mDrawSurface && !mIs3D && mScreenImage && !adjust) {
    const int left = mCursorOldX - mCursorWidth / 2 + rects.imageAt.x;
    const int top = mCursorOldY - mCursorHeight / 2 + rects.imageAt.y;
    mScreenImage->Blt(mCursorImage, left, top, Rect(0, 0, mCursorImage->mWidth, mCursorImage->mHeight), Color::White,
                      0);
    return;
  }
  // The cursor goes over a copy of the background; without the copy (or when the copy cannot be
  // shown) the surface keeps its pixels and the frame goes without the cursor. The saved background
  // matches the surface either way.
  RECT whole{0, 0, mCursorWidth, mCursorHeight};
  if (FAILED(mNewCursorArea->Blt(&whole, mOldCursorArea, &whole, DDBLT_WAIT, nullptr))) return;
  DrawCursorImageInto(*mNewCursorAreaImage, rects.imageAt);
  RECT to = rects.area, from = rects.inside;
  static_cast<void>(surface->Blt(&to, mNewCursorArea, &from, DDBLT_WAIT, nullptr));
}

HRESULT DDInterface::RestoreOldCursorArea(IDirectDrawSurface* surface, bool adjust) {
  if (!mHasOldCursorArea || !mPrimarySurface || !surface) return DD_OK;
  CursorRects rects = CursorRectsAt(mCursorOldX, mCursorOldY, adjust);
  HRESULT result = DD_OK;
  if (!rects.empty) {
    RECT to = rects.area, from = rects.inside;
    result = surface->Blt(&to, mOldCursorArea, &from, DDBLT_WAIT, nullptr);
  }
  mHasOldCursorArea = false;
  return result;
}

void DDInterface::MoveCursorTo(IDirectDrawSurface* surface, bool adjust, int x, int y) {
  CursorRects oldRects = CursorRectsAt(mCursorOldX, mCursorOldY, adjust);
  CursorRects newRects = CursorRectsAt(x, y, adjust);
  // (1) The background at the new place. Without it the old place gets its background back and the
  // cursor is drawn anew on a later move; a surface that refuses even that is lost, and the next
  // present restarts the display, which shows the whole frame again.
  if (!SaveUnderCursor(surface, mNewCursorArea, newRects)) {
    static_cast<void>(RestoreOldCursorArea(surface, adjust));
    mCursorOldX = x;
    mCursorOldY = y;
    return;
  }
  const POINT oldOrigin{oldRects.area.left - oldRects.inside.left, oldRects.area.top - oldRects.inside.top};
  const POINT newOrigin{newRects.area.left - newRects.inside.left, newRects.area.top - newRects.inside.top};
  // (2) Where the two places overlap the screen shows the old cursor: that part of the new
  // background comes from the old one, and the old area gets the cursor at its new place. When the
  // patch fails nothing has changed yet: the cursor stays where it is until the next move.
  const RECT overlap = Intersect(oldRects.area, newRects.area);
  if (!IsEmpty(overlap)) {
    RECT to = Offset(overlap, POINT{-newOrigin.x, -newOrigin.y});
    RECT from = Offset(overlap, POINT{-oldOrigin.x, -oldOrigin.y});
    if (FAILED(mNewCursorArea->Blt(&to, mOldCursorArea, &from, DDBLT_WAIT, nullptr))) return;
    DrawCursorImageInto(*mOldCursorAreaImage, POINT{newOrigin.x - oldOrigin.x + newRects.imageAt.x,
                                                    newOrigin.y - oldOrigin.y + newRects.imageAt.y});
  }
  mCursorOldX = x;
  mCursorOldY = y;
  // (3) The old place gets its background back (with the cursor's new part where they overlap).
  // From here on a failure leaves no saved background that matches the surface: the cursor is
  // drawn anew, from the surface as it is, by the next move or present.
  if (!oldRects.empty) {
    RECT to = oldRects.area, from = oldRects.inside;
    if (FAILED(surface->Blt(&to, mOldCursorArea, &from, DDBLT_WAIT, nullptr))) {
      mHasOldCursorArea = false;
      return;
    }
  }
  // (4) The new background becomes the saved one; (5) the cursor goes to its new place.
  RECT whole{0, 0, mCursorWidth, mCursorHeight};
  if (FAILED(mOldCursorArea->Blt(&whole, mNewCursorArea, &whole, DDBLT_WAIT, nullptr))) {
    mHasOldCursorArea = false;
    return;
  }
  mHasOldCursorArea = true;
  DrawCursorImageInto(*mNewCursorAreaImage, newRects.imageAt);
  RECT to = newRects.area, from = newRects.inside;
  // Not shown, the cursor is missing until the next move; the saved background still matches.
  static_cast<void>(surface->Blt(&to, mNewCursorArea, &from, DDBLT_WAIT, nullptr));
}

void DDInterface::SetCursorPos(int x, int y) {
  mCursorX = x;
  mCursorY = y;
  if (mInRedraw) return;
  AutoCrit lock(Lock());
  if (!mInitialized || mInRedraw) return;
  if (!mHasOldCursorArea) {
    mCursorOldX = x;
    mCursorOldY = y;
    DrawCursorTo(mPrimarySurface, true);
  } else {
    MoveCursorTo(mPrimarySurface, true, x, y);
  }
}

}  // namespace Kit
