#include "tests/display/SurfaceFixture.h"

#include "framework/graphics/NativePixel.h"

namespace surftest {

std::string FormatName(const surfref::Format& format) {
  if (format.bitCount == 32) return "888";
  return format.gMask == 0x07E0 ? "565" : "555";
}

FormatDisplay::FormatDisplay(const surfref::Format& format) {
  mRGBBits = format.bitCount;
  mRedMask = static_cast<int>(format.rMask);
  mGreenMask = static_cast<int>(format.gMask);
  mBlueMask = static_cast<int>(format.bMask);
  const surfref::Field r = surfref::FieldOf(format.rMask), g = surfref::FieldOf(format.gMask),
                       b = surfref::FieldOf(format.bMask);
  mRedShift = r.shift;
  mRedBits = r.bits;
  mGreenShift = g.shift;
  mGreenBits = g.bits;
  mBlueShift = b.shift;
  mBlueBits = b.bits;
}

surfref::Surface MakeSurface(const surfref::Format& format, int width, int height, int padPixels, std::mt19937& rng) {
  surfref::Surface s;
  s.format = format;
  s.width = width;
  s.height = height;
  s.pitch = (width + padPixels) * format.bitCount / 8;
  s.bytes.resize(static_cast<std::size_t>(s.pitch) * height);
  for (auto& byte : s.bytes) byte = static_cast<std::uint8_t>(rng());
  return s;
}

Target::Target(surfref::Surface& surface, const Kit::NativeDisplay& display) {
  tables.Build(display);
  Kit::SurfacePixels pixels;
  pixels.mBits = surface.bytes.data();
  pixels.mPitch = surface.pitch;
  pixels.mWidth = surface.width;
  pixels.mHeight = surface.height;
  pixels.mBitCount = surface.format.bitCount;
  pixels.mRedMask = surface.format.rMask;
  pixels.mGreenMask = surface.format.gMask;
  pixels.mBlueMask = surface.format.bMask;
  target = Kit::MakeSurfaceTarget(pixels, display, tables);
}

std::vector<std::uint32_t> MakeSpritePixels(int width, int height, std::mt19937& rng) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * height);
  std::size_t i = 0;
  while (i < px.size()) {
    const int kind = static_cast<int>(rng() % 4);
    const std::size_t run = 1 + rng() % 9;
    for (std::size_t k = 0; k < run && i < px.size(); ++k, ++i) {
      const std::uint32_t colour = kind == 3 ? 0 : rng() & 0xFFFFFF;
      const std::uint32_t alpha = kind == 0 ? 0 : kind == 2 ? 1 + rng() % 254 : 255;
      px[i] = (alpha << 24) | colour;
    }
  }
  return px;
}

surfref::Source ReferenceSource(Kit::MemoryImage& image, const Kit::NativeDisplay& display) {
  surfref::Source src;
  src.width = image.mWidth;
  src.height = image.mHeight;
  const std::size_t n = static_cast<std::size_t>(src.width) * src.height;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t argb = image.mBits ? image.mBits[i] : image.mColorTable[image.mColorIndices[i]];
    src.argb.push_back(argb);
    src.native.push_back(Kit::ToNativePixel(argb, display));
  }
  return src;
}

}  // namespace surftest
