// Nine-slice boxes and cel draws with arbitrary rectangles, translations and clips: nothing may read
// outside the source image or write outside the destination, and huge boxes must finish quickly.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

int Int(const uint8_t* data) {
  int32_t value;
  std::memcpy(&value, data, sizeof(value));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 * 12) return 0;
  static Kit::MemoryImage* canvas = [] {
    auto* image = new Kit::MemoryImage();
    image->Create(40, 30);
    return image;
  }();
  static Kit::MemoryImage* source = [] {
    auto* image = new Kit::MemoryImage();
    image->Create(13, 11);
    for (int i = 0; i < 13 * 11; ++i) image->GetBits()[i] = 0x80000000u | static_cast<uint32_t>(i * 0x010203);
    image->BitsChanged();
    return image;
  }();
  Kit::Graphics g(canvas);
  g.Translate(static_cast<float>(Int(data)) / 65536.0f, static_cast<float>(Int(data + 4)) / 65536.0f);
  g.ClipRect(Int(data + 8) % 64, Int(data + 12) % 64, Int(data + 16) % 64, Int(data + 20) % 64);
  const Kit::Rect dest(Int(data + 24), Int(data + 28), Int(data + 32), Int(data + 36));
  const Kit::Rect src(Int(data + 40) % 16, Int(data + 44) % 16, data[24] % 16, data[28] % 16);
  g.DrawImageBox(dest, src, source);
  source->mNumCols = data[32] % 5;
  source->mNumRows = data[36] % 5;
  g.DrawImageCel(source, dest.mX, dest.mY, Int(data + 40));
  g.DrawImageMirror(source, dest.mX, dest.mY, src, true);
  g.DrawLine(dest.mX, dest.mY, dest.mWidth, dest.mHeight);
  g.DrawRect(dest.mX, dest.mY, dest.mWidth, dest.mHeight);
  return 0;
}
