// Shows frames in a window: the frame is written once in the window's own 32-bit format, widened on the
// way (5-6-5 and 5-5-5 frames). With a software renderer of its own the presenter writes (and, full
// screen, scales) it straight into the window's surface, which that renderer draws into; otherwise into
// a streaming texture the renderer copies and scales. The renderer is SDL's choice, bar an OpenGL that
// the CPU runs (RendererChoice.h). Puts the window into and out of the emulated full-screen mode. Main
// thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <SDL_rect.h>

#include "platform/ddraw/Blitter.h"
#include "platform/ddraw/ChangedRuns.h"
#include "platform/ddraw/FrameRows.h"
#include "platform/ddraw/PixelLayout.h"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

namespace plat::ddraw {

// The part of a surface a present shows.
struct FrameSource {
  PixelView surface;
  PixelLayout layout;
  RECT area{};  // in surface coordinates; what lies outside the surface is shown black
};

// Where a present writes a 32-bit frame's rows made opaque: the pixel at row y, column x of the surface
// (inside area) goes to origin + (y - area.top) x pitch + (x - area.left) x 4.
struct OpaqueRows {
  BYTE* origin;
  int pitch;
  RECT area;
};

// Puts a surface's rows in place just before a present reads them, so that a blit onto the primary and
// its present pass over each row while it is still in the cache.
class RowFeed {
 public:
  // From now on (until given nothing), the feed may write the rows it puts in place wholly inside
  // `rows`' area into `rows` too, from the same reads; a feed that does not ignores it.
  virtual void AlsoOpaqueInto(std::optional<OpaqueRows> rows) { static_cast<void>(rows); }
  // Whether the feed wrote `row`'s changed columns into the OpaqueRows it was given.
  [[nodiscard]] virtual bool WroteOpaque(LONG row) const {
    static_cast<void>(row);
    return false;
  }
  // Every row above `row` (surface coordinates) is in place on return.
  virtual void Through(LONG row) = 0;
  // The columns of `row` whose pixels the feed changed, once Through has put the row in place.
  virtual std::span<const ColumnRun> ChangedColumns(LONG row) const = 0;

 protected:
  ~RowFeed() = default;
};

class Presenter {
 public:
  Presenter() = default;
  ~Presenter();
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Writes the frame into the window's texture: only the part inside `changed` (surface coordinates)
  // when the texture already holds the rest of this frame, all of it when `changed` is null. False
  // when there is nothing new to show. The source is read only during the call (its owner's lock
  // held); SDL's drawing is left to Show. With a feed, the source's rows are put in place by it: row
  // by row ahead of writing them where the frame goes unscaled into the window, else all at first.
  // When the feed's rows are all that changed since the last present (`feedHoldsAllChanges`), only
  // their changed columns are written there.
  bool Prepare(HWND window, const FrameSource& frame, const RECT* changed, RowFeed* feed = nullptr,
               bool feedHoldsAllChanges = false);
  // Shows the prepared frame filling the window (scaled with its aspect kept in full screen).
  void Show();
  // The window's pixels are gone (resized, uncovered): the next frame is written whole, black around it.
  void WindowLostPixels();
  // Full screen shows the window over the whole screen with a logical size of width x height.
  void SetScreenMode(HWND window, bool fullScreen, int width, int height);

 private:
  bool Attach(HWND window);
  // The texture's format for a frame layout: the window's own 32-bit format when the frame can be
  // widened into it, else the frame's format (the renderer converts).
  unsigned TextureFormatFor(const PixelLayout& layout) const;
  bool HoldTexture(unsigned format, int width, int height);
  // The part of the frame's area to write: what changed, when the target already holds the rest.
  std::optional<RECT> PartToWrite(const RECT& area, const RECT* changed) const;
  // Where the frame shows in a window surface of this size: all of it, or the logical size's place.
  SDL_Rect ShownRect(int width, int height) const;
  bool PrepareInWindow(SDL_Surface& surface, const FrameSource& frame, FrameFormat widen, const RECT* changed,
                       RowFeed* feed, bool feedHoldsAllChanges);
  // Writes the feed's changed columns of the part's rows into the window's surface, where `origin`
  // (at `to` in the surface) shows the top left of `area`; the part lies inside the frame's surface.
  // Each band of rows that changed is noted for Show as one rectangle.
  void WriteChangedColumns(const FrameSource& part, FrameFormat widen, BYTE* origin, const RECT& area,
                           const SDL_Rect& to, int pitch, RowFeed& feed);
  void WriteScaled(const FrameSource& frame, FrameFormat widen, BYTE* out, int pitch, int width, int height);
  void Detach();
  void EnterFullScreen();
  void LeaveFullScreen();
  // Drops every handle and the window's mode without touching SDL.
  void Forget();

  HWND mWindow = nullptr;
  SDL_Window* mSdlWindow = nullptr;
  SDL_Renderer* mRenderer = nullptr;
  bool mOwnsRenderer = false;
  SDL_Texture* mTexture = nullptr;
  int mTextureWidth = 0;
  int mTextureHeight = 0;
  unsigned mTextureFormat = 0;
  // The 32-bit format frames are widened into; unknown when the renderer takes none.
  unsigned mWideFormat = 0;
  // A software renderer keeps the window's pixels from frame to frame: the black around a scaled
  // frame needs clearing only when the output or the layout changed.
  bool mSoftware = false;
  int mClearedWidth = -1;
  int mClearedHeight = -1;
  bool mPrepared = false;
  // The texture (or the window's surface) holds the frame of this area, bar what changed since.
  bool mFilled = false;
  RECT mFilledArea{};
  // Frames go straight into the window's surface; where they went last, and how a scaled row is spread.
  bool mInWindow = false;
  const SDL_Surface* mShownSurface = nullptr;
  SIZE mShownSize{};
  SDL_Rect mShownRect{};
  // What Show sends to the screen of a frame written into the window's surface: all of the window, or
  // only these rectangles of it (none when nothing changed). A window that lost its pixels is given
  // all of them again (WindowLostPixels).
  static constexpr LONG kWindowRectRows = 8;
  bool mWholeWindow = true;
  std::vector<SDL_Rect> mWindowRects;
  std::vector<int> mColumns;
  LONG mColumnsFrameWidth = 0;
  std::vector<std::uint32_t> mRow;
  bool mFullScreen = false;
  // Where the window was, and whether it had a frame, before full screen took it over.
  int mWindowedX = 0;
  int mWindowedY = 0;
  int mWindowedWidth = 0;
  int mWindowedHeight = 0;
  bool mWindowedBorderless = false;
  int mLogicalWidth = 0;
  int mLogicalHeight = 0;
};

// The screen's size as SDL reports it, when SDL video runs and the caller is the main thread.
[[nodiscard]] std::optional<SIZE> ScreenSize();

}  // namespace plat::ddraw
