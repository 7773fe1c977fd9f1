#include "framework/app/devtools/DebugOverlays.h"

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/font/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/util/StringUtil.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/threads/Time.h"

namespace Kit {

namespace {
constexpr int kOverlayWidth = 50;
constexpr int kMargin = 10;
}  // namespace

DebugOverlays::DebugOverlays() = default;
DebugOverlays::~DebugOverlays() = default;

void DebugOverlays::RestartFrameRate() {
  mStopwatch.Start();
  mReset = true;
  mFrames = 0;
  mShownFPS = 0;
}

bool DebugOverlays::CountFrame() {
  ++mFrames;
  const double elapsed = mStopwatch.GetDuration();
  if (!mReset && elapsed < 1000.0) return false;
  if (mReset) {
    mReset = false;
    mShownFPS = 0;
  } else {
    mShownFPS = static_cast<int>(mFrames * 1000.0 / elapsed + 0.5);
  }
  mFrames = 0;
  mStopwatch.Start();
  return true;
}

std::string DebugOverlays::FrameRateText() const { return StrFormat("FPS: %d", mShownFPS); }

std::string DebugOverlays::MouseText(int x, int y) { return StrFormat("%d,%d", x, y); }

bool DebugOverlays::DemoClockDue(double updateMultiplier) {
  const DWORD now = GetTickCount();
  if (updateMultiplier > 0.0 && static_cast<double>(now - mLastDemoClock) < 1000.0 / updateMultiplier) return false;
  mLastDemoClock = now;
  return true;
}

std::string DebugOverlays::DemoClockText(int updatesLeft, int frameTime) {
  const long long seconds = static_cast<long long>(updatesLeft) * frameTime / 1000;
  return StrFormat("%02d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                   static_cast<int>(seconds % 60));
}

void DebugOverlays::Paint(MemoryImage& image, SysFont& font, const std::string& text) {
  Graphics g(&image);
  g.SetColor(Color(0, 0, 0));
  g.FillRect(0, 0, image.GetWidth(), image.GetHeight());
  g.SetColor(Color(255, 255, 255));
  g.SetFont(&font);
  g.DrawString(text, 2, font.GetAscent());
}

void DebugOverlays::Prepare(KitAppBase& app) {
  if (!app.mDDInterface) return;
  if (!mFrameRateFont) {
    mFrameRateFont = std::make_unique<SysFont>(&app, "Tahoma", 8);
    mMouseFont = std::make_unique<SysFont>(&app, "Tahoma", 8);
    mDemoFont = std::make_unique<SysFont>(&app, "Tahoma", 8);
    const int height = mFrameRateFont->GetHeight() + 4;
    for (auto* image : {&mOverlayImage, &mDemoImage}) {
      auto made = std::make_unique<DDImage>(app.mDDInterface.get());
      made->Create(kOverlayWidth, height);
      *image = std::move(made);
    }
  }
  if (app.mFpsMode == 0) {
    if (CountFrame()) Paint(*mOverlayImage, *mFrameRateFont, FrameRateText());
  } else {
    Paint(*mOverlayImage, *mMouseFont, MouseText(app.mWidgetManager->mLastMouseX, app.mWidgetManager->mLastMouseY));
  }
  if (app.DemoPlaying() && DemoClockDue(app.mUpdateMultiplier))
    Paint(*mDemoImage, *mDemoFont, DemoClockText(app.DemoEndUpdate() - app.mUpdateCount, app.mFrameTime));
}

void DebugOverlays::Draw(KitAppBase& app, Graphics& g) {
  if (!mOverlayImage) return;
  const int overlayHeight = mOverlayImage->GetHeight();
  g.DrawImage(mOverlayImage.get(), app.mWidth - mOverlayImage->GetWidth() - kMargin,
              app.mHeight - overlayHeight - kMargin);
  if (app.DemoPlaying())
    g.DrawImage(mDemoImage.get(), app.mWidth - mDemoImage->GetWidth() - kMargin,
                app.mHeight - overlayHeight - mDemoImage->GetHeight() - 15);
}

}  // namespace Kit
