#include "framework/font/SysFont.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/util/ClampToInt.h"

namespace Kit {

namespace {

// The device context fonts are created and measured with. It measures as the main window's would:
// both are the display's.
class MeasuringContext {
 public:
  MeasuringContext() : mDC(GetDC(nullptr)) {}
  ~MeasuringContext() { ReleaseDC(nullptr, mDC); }
  MeasuringContext(const MeasuringContext&) = delete;
  MeasuringContext& operator=(const MeasuringContext&) = delete;
  HDC Get() const { return mDC; }

 private:
  HDC mDC;
};

// Selects a font into a context for as long as it lives.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : mDC(dc), mOld(SelectObject(dc, font)) {}
  ~SelectedFont() {
    if (mOld) SelectObject(mDC, mOld);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC mDC;
  HGDIOBJ mOld;
};

}  // namespace

SysFont::SysFont(KitAppBase* app, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                 bool underline) {
  Init(app, face, pointSize, charSet, bold, italic, underline);
}

SysFont::SysFont(const SysFont& other) : Font(), mApp(other.mApp) {
  LOGFONTA logFont{};
  GetObjectA(other.mHFont, sizeof(logFont), &logFont);
  mHFont = CreateFontIndirectA(&logFont);
  mHeight = other.mHeight;
  mAscent = other.mAscent;
}

SysFont::~SysFont() { DeleteObject(mHFont); }

void SysFont::Init(KitAppBase* app, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                   bool underline, bool useDeviceCaps) {
  mApp = app;
  MeasuringContext dc;
  const int dpi = useDeviceCaps ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
  const int height = -MulDiv(pointSize, dpi, 72);
  mHFont =
      CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, 0, static_cast<DWORD>(charSet),
                  OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  SelectedFont selected(dc.Get(), mHFont);
  TEXTMETRICA metrics{};
  if (GetTextMetricsA(dc.Get(), &metrics)) {
    mHeight = metrics.tmHeight;
    mAscent = metrics.tmAscent;
  }
}

int SysFont::StringWidth(const std::string& text) {
  MeasuringContext dc;
  SelectedFont selected(dc.Get(), mHFont);
  RECT rect{0, 0, 0, 0};
  // DrawTextExA takes a writable string; it does not change it without DT_MODIFYSTRING. Without
  // DT_SINGLELINE it breaks the text at its line breaks and gives the widest line.
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  const int length = plat::ClampToInt(text.size());
  DrawTextExA(dc.Get(), buffer.data(), length, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr);
  return rect.right;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) {
  auto* image = g ? dynamic_cast<DDImage*>(g->mDestImage) : nullptr;
  // An image without a surface (any image drawn in software, as all are with 3D on) gets one made
  // from its pixels: GDI writes only into surfaces.
  if (!image || !image->GetSurface()) return;
  // GDI cannot write into a locked surface: a lock the image holds is lifted around the text and
  // taken again afterwards (the image's count of locks stays as it is). Text reports nothing: a
  // device context that cannot be had draws nothing, and a lock that cannot be taken again is the
  // image's to carry (its later surface draws do nothing).
  static_cast<void>(image->WithSurfaceUnlocked([&](IDirectDrawSurface* surface) {
    // Text on the Direct3D draw surface lands over what the open scene has drawn so far.
    if (image->IsDrawSurface3D()) image->mDisplay->mD3DInterface->Flush();
    HDC dc = nullptr;
    const HRESULT opened = surface->GetDC(&dc);
    if (FAILED(opened)) return opened;
    {
      SelectedFont selected(dc, mHFont);
      SetBkMode(dc, TRANSPARENT);
      IntersectClipRect(dc, clip.mX, clip.mY, plat::ClampToInt(0LL + clip.mX + clip.mWidth),
                        plat::ClampToInt(0LL + clip.mY + clip.mHeight));
      auto channel = [](int value) { return static_cast<BYTE>(std::clamp(value, 0, 255)); };
      SetTextColor(dc, RGB(channel(color.mRed), channel(color.mGreen), channel(color.mBlue)));
      const int left = plat::ClampToInt(x + static_cast<double>(g->mTransX));
      const int top = plat::ClampToInt(static_cast<double>(y) - mAscent + 1 + g->mTransY);
      TextOutA(dc, left, top, text.data(), plat::ClampToInt(text.size()));
    }
    const HRESULT closed = surface->ReleaseDC(dc);
    // The text is in the surface, which is now the image's only copy.
    image->DeleteAllNonSurfaceData();
    // Textures made from the image before the text no longer show it.
    if (image->mD3DData && image->mDisplay) image->mDisplay->Remove3DData(image);
    return closed;
  }));
}

Font* SysFont::Duplicate() { return new SysFont(*this); }

}  // namespace Kit
