// Copies of images, made as surface-backed images of the display.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"

namespace Kit {

namespace {

// The rectangle's pixels, transparent where it reaches beyond the image.
std::vector<std::uint32_t> PixelsOf(MemoryImage& image, const Rect& rect) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(rect.mWidth) * static_cast<std::size_t>(rect.mHeight));
  const std::uint32_t* bits = image.GetBits();
  if (bits == nullptr) return pixels;
  const int left = std::max(rect.mX, 0);
  const int right = std::min(rect.mX + rect.mWidth, image.GetWidth());
  for (int y = std::max(rect.mY, 0); y < std::min(rect.mY + rect.mHeight, image.GetHeight()); ++y) {
    if (left >= right) break;
    std::copy(bits + static_cast<std::size_t>(y) * image.GetWidth() + left,
              bits + static_cast<std::size_t>(y) * image.GetWidth() + right,
              pixels.begin() + static_cast<std::ptrdiff_t>(y - rect.mY) * rect.mWidth + (left - rect.mX));
  }
  return pixels;
}

}  // namespace

std::unique_ptr<DDImage> KitAppBase::CopyImageRect(Image* image, const Rect& rect) {
  auto copy = std::make_unique<DDImage>(mDDInterface.get());
  const Rect size(0, 0, std::max(rect.mWidth, 0), std::max(rect.mHeight, 0));
  if (auto* memoryImage = dynamic_cast<MemoryImage*>(image)) {
    // Pixels are taken as they are: drawing them onto a fresh, transparent image would blend every
    // opaque pixel a shade darker.
    const std::vector<std::uint32_t> pixels = PixelsOf(*memoryImage, Rect(rect.mX, rect.mY, size.mWidth, size.mHeight));
    copy->SetBits(pixels.data(), size.mWidth, size.mHeight);
  } else {
    copy->Create(size.mWidth, size.mHeight);
    Graphics g(copy.get());
    g.DrawImage(image, -rect.mX, -rect.mY);
  }
  // The cel grid and the animation go with the pixels; the copy keeps its own size.
  static_cast<Image&>(*copy) = *image;
  return copy;
}

std::unique_ptr<Image> KitAppBase::CopyImage(Image* image) {
  return CopyImageRect(image, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

}  // namespace Kit
