// The developer overlays drawn over every frame while they are on (F3): the frame rate or the mouse
// position in one small black box at the bottom right, and above it, while a demo plays, the time left
// until the recording ends.
#pragma once

#include <memory>
#include <string>

#include "framework/util/PerfTimer.h"
#include "platform/win/Types.h"

namespace Kit {

class Graphics;
class KitAppBase;
class MemoryImage;
class SysFont;

class DebugOverlays {
 public:
  DebugOverlays();
  ~DebugOverlays();

  // The frame-rate overlay was switched on: the next frame shows 0 and a new second starts.
  void RestartFrameRate();
  // Counts a drawn frame; at most once a second of the stopwatch (or at once after a restart) the
  // rate is worked out anew. True when the shown text changed.
  bool CountFrame();
  std::string FrameRateText() const;
  static std::string MouseText(int x, int y);
  // Whether the demo clock is due again: 1000 / multiplier ms after its last update (tick count).
  bool DemoClockDue(double updateMultiplier);
  // "hh:mm:ss" of the updates left at frameTime ms each.
  static std::string DemoClockText(int updatesLeft, int frameTime);

  // Brings the images up to date for this frame (DrawFrame's first step) and draws them over the
  // screen once the frame was drawn.
  void Prepare(KitAppBase& app);
  void Draw(KitAppBase& app, Graphics& g);

 private:
  void Paint(MemoryImage& image, SysFont& font, const std::string& text);

  PerfTimer mStopwatch;
  int mFrames = 0;
  bool mReset = false;
  int mShownFPS = 0;
  DWORD mLastDemoClock = 0;
  std::unique_ptr<SysFont> mFrameRateFont;
  std::unique_ptr<SysFont> mMouseFont;
  std::unique_ptr<SysFont> mDemoFont;
  std::unique_ptr<MemoryImage> mOverlayImage;
  std::unique_ptr<MemoryImage> mDemoImage;
};

}  // namespace Kit
