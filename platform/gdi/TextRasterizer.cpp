#include "platform/gdi/TextRasterizer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/util/ClampToInt.h"

namespace plat::gdi {

namespace {

struct Channel {
  DWORD mask = 0;
  int shift = 0;
  int bits = 0;

  constexpr explicit Channel(DWORD channelMask)
      : mask(channelMask), shift(mask ? std::countr_zero(mask) : 0), bits(std::popcount(mask)) {}

  // The channel as 0..255, its high bits repeated into the low ones.
  constexpr int Read(DWORD pixel) const {
    if (bits == 0) return 0;
    DWORD value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<int>(value >> (bits - 8));
    DWORD wide = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) wide |= value << (8 - bits) >> filled;
    return static_cast<int>(wide & 0xFF);
  }
  constexpr DWORD Write(int value) const {
    if (bits == 0) return 0;
    const DWORD scaled = bits >= 8 ? static_cast<DWORD>(value) << (bits - 8) : static_cast<DWORD>(value) >> (8 - bits);
    return (scaled << shift) & mask;
  }
};

// A surface's pixel layout as read from its format.
struct SurfaceLayout {
  explicit SurfaceLayout(const DDPIXELFORMAT& format)
      : bytes(static_cast<int>(format.dwRGBBitCount / 8)),
        red(format.dwRBitMask),
        green(format.dwGBitMask),
        blue(format.dwBBitMask) {}
  int bytes;
  Channel red, green, blue;
};

// The layouts of the common surfaces, known when compiling: the same per-pixel work folds to shifts.
template <int kBytes, DWORD kRed, DWORD kGreen, DWORD kBlue>
struct FixedLayout {
  explicit FixedLayout(const DDPIXELFORMAT&) {}
  static bool Fits(const DDPIXELFORMAT& format) {
    return format.dwRGBBitCount == kBytes * 8 && format.dwRBitMask == kRed && format.dwGBitMask == kGreen &&
           format.dwBBitMask == kBlue;
  }
  static constexpr int bytes = kBytes;
  static constexpr Channel red{kRed}, green{kGreen}, blue{kBlue};
};
using Layout565 = FixedLayout<2, 0xF800, 0x07E0, 0x001F>;
using Layout555 = FixedLayout<2, 0x7C00, 0x03E0, 0x001F>;
using Layout888 = FixedLayout<4, 0xFF0000, 0x00FF00, 0x0000FF>;

template <typename Layout>
class PixelWriter {
 public:
  explicit PixelWriter(const SurfaceDC& surface) : mSurface(surface), mLayout(surface.format) {}

  bool Usable() const {
    return (mLayout.bytes == 2 || mLayout.bytes == 3 || mLayout.bytes == 4) && mLayout.red.bits && mLayout.green.bits &&
           mLayout.blue.bits && mSurface.pixels;
  }

  // Blends colour (0x00BBGGRR) at coverage over the pixel at (x, y), which lies on the surface.
  void Blend(int x, int y, COLORREF color, int coverage) {
    if (coverage <= 0) return;
    BYTE* at = mSurface.pixels + static_cast<std::ptrdiff_t>(y) * mSurface.pitch +
               static_cast<std::ptrdiff_t>(x) * mLayout.bytes;
    DWORD pixel = 0;
    std::memcpy(&pixel, at, static_cast<std::size_t>(mLayout.bytes));
    auto mix = [coverage](int under, int over) { return (under * (255 - coverage) + over * coverage + 127) / 255; };
    const int red = mix(mLayout.red.Read(pixel), GetRValue(color));
    const int green = mix(mLayout.green.Read(pixel), GetGValue(color));
    const int blue = mix(mLayout.blue.Read(pixel), GetBValue(color));
    const DWORD keep = pixel & ~(mLayout.red.mask | mLayout.green.mask | mLayout.blue.mask);
    pixel = keep | mLayout.red.Write(red) | mLayout.green.Write(green) | mLayout.blue.Write(blue);
    std::memcpy(at, &pixel, static_cast<std::size_t>(mLayout.bytes));
  }

  void Fill(const RECT& rect, COLORREF color) {
    for (LONG y = rect.top; y < rect.bottom; ++y)
      for (LONG x = rect.left; x < rect.right; ++x) Blend(x, y, color, 255);
  }

 private:
  const SurfaceDC& mSurface;
  Layout mLayout;
};

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

// The rectangle (left, top) .. (right, bottom) in long long, cut to the clip.
RECT Cut(long long left, long long top, long long right, long long bottom, const RECT& clip) {
  return Intersect(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)}, clip);
}

template <typename Layout>
bool RasterizeIn(const SurfaceDC& surface, const DeviceContextState& state, int x, int y, const char* text,
                 int length) {
  PixelWriter<Layout> writer(surface);
  if (!writer.Usable()) return false;
  RECT clip{0, 0, surface.width, surface.height};
  if (state.clipped) clip = Intersect(clip, state.clip);
  if (!state.font || length <= 0) return true;
  GdiFont& font = *state.font;
  const TEXTMETRICA& metrics = font.Metrics();
  const long long width = font.TextWidth(text, length);
  const long long baseline = static_cast<long long>(y) + metrics.tmAscent;

  if (state.bkMode == OPAQUE) writer.Fill(Cut(x, y, x + width, y + metrics.tmHeight, clip), state.bkColor);

  long long pen = x;
  for (int i = 0; i < length; ++i) {
    const GdiFont::Glyph& glyph = font.GlyphOf(static_cast<unsigned char>(text[i]));
    const long long left = pen + glyph.left, top = baseline - glyph.top;
    const RECT area = Cut(left, top, left + glyph.width, top + glyph.height, clip);
    for (LONG py = area.top; py < area.bottom; ++py) {
      const std::uint8_t* row = glyph.coverage.data() + (py - top) * glyph.width;
      for (LONG px = area.left; px < area.right; ++px) writer.Blend(px, py, state.textColor, row[px - left]);
    }
    pen += glyph.advance;
  }

  if (font.LogFont().lfUnderline) {
    const long long top = baseline + font.UnderlineOffset() - font.LineThickness() / 2;
    writer.Fill(Cut(x, top, x + width, top + font.LineThickness(), clip), state.textColor);
  }
  if (font.LogFont().lfStrikeOut) {
    const long long top = baseline + font.StrikeOutOffset() - font.LineThickness() / 2;
    writer.Fill(Cut(x, top, x + width, top + font.LineThickness(), clip), state.textColor);
  }
  return true;
}

}  // namespace

bool RasterizeText(const SurfaceDC& surface, const DeviceContextState& state, int x, int y, const char* text,
                   int length) {
  if (Layout565::Fits(surface.format)) return RasterizeIn<Layout565>(surface, state, x, y, text, length);
  if (Layout555::Fits(surface.format)) return RasterizeIn<Layout555>(surface, state, x, y, text, length);
  if (Layout888::Fits(surface.format)) return RasterizeIn<Layout888>(surface, state, x, y, text, length);
  return RasterizeIn<SurfaceLayout>(surface, state, x, y, text, length);
}

}  // namespace plat::gdi
