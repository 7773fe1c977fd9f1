// Fills, clears and lines on a MemoryImage's pixels.
#include "framework/graphics/FloatToInt.h"
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/kernels/AdditiveTable.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/PixelRows.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace Kit {
namespace {

using PixelBlend::Clamp255;

Rect ImageBounds(const Image& image) { return Rect(0, 0, image.mWidth, image.mHeight); }

// Callers clip against their clip rectangle, but a rectangle beyond the image must not write outside
// the pixel buffer.
Rect ClipToImage(const Rect& rect, const Image& image) { return rect.Intersection(ImageBounds(image)); }

}  // namespace

void MemoryImage::FillRect(const Rect& rect, const Color& color, int) {
  const ImageOperationGuard guard(StoreLock());
  const Rect area = ClipToImage(rect, *this);
  const int alpha = Clamp255(color.mAlpha);
  if (area.IsEmpty() || alpha == 0) return;
  std::uint32_t* bits = GetBits();
  const Color clamped(Clamp255(color.mRed), Clamp255(color.mGreen), Clamp255(color.mBlue), alpha);
  const std::uint32_t packed = clamped.ToInt();
  if (area.mWidth == mWidth && static_cast<long long>(area.mWidth) * area.mHeight <= INT_MAX) {
    // Whole rows are one block.
    std::uint32_t* block = bits + static_cast<std::size_t>(area.mY) * mWidth;
    if (alpha == 255)
      PixelRows::Fill(block, area.mWidth * area.mHeight, packed);
    else
      PixelRows::OverConstant(block, area.mWidth * area.mHeight, packed, static_cast<std::uint32_t>(alpha));
    BitsChanged();
    return;
  }
  for (int y = area.mY; y < area.mY + area.mHeight; ++y) {
    std::uint32_t* row = bits + static_cast<std::size_t>(y) * mWidth + area.mX;
    if (alpha == 255)
      PixelRows::Fill(row, area.mWidth, packed);
    else
      PixelRows::OverConstant(row, area.mWidth, packed, static_cast<std::uint32_t>(alpha));
  }
  BitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect) {
  const ImageOperationGuard guard(StoreLock());
  const Rect area = ClipToImage(rect, *this);
  if (area.IsEmpty()) return;
  std::uint32_t* bits = GetBits();
  for (int y = area.mY; y < area.mY + area.mHeight; ++y)
    std::fill_n(bits + static_cast<std::size_t>(y) * mWidth + area.mX, area.mWidth, 0u);
  BitsChanged();
}

void MemoryImage::Clear() {
  const ImageOperationGuard guard(StoreLock());
  const std::size_t pixels = PixelCount();
  if (pixels == 0) return;
  std::fill_n(GetBits(), pixels, 0u);
  BitsChanged();
}

void MemoryImage::DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  if (!std::isfinite(startX) || !std::isfinite(startY) || !std::isfinite(endX) || !std::isfinite(endY)) return;
  if (startY == endY) {
    const int left = TruncCoordinate(std::min(startX, endX));
    const int right = TruncCoordinate(std::max(startX, endX));
    FillRect(Rect(left, TruncCoordinate(startY), right - left + 1, 1), color, drawMode);
    return;
  }
  if (startX == endX) {
    const int top = TruncCoordinate(std::min(startY, endY));
    const int bottom = TruncCoordinate(std::max(startY, endY));
    FillRect(Rect(TruncCoordinate(startX), top, 1, bottom - top + 1), color, drawMode);
    return;
  }

  const int r = Clamp255(color.mRed), g = Clamp255(color.mGreen), b = Clamp255(color.mBlue);
  const int a = Clamp255(color.mAlpha);
  std::uint32_t* bits = GetBits();
  const AdditiveTable& add = GetAdditiveTable();

  // The pixel writer of the chosen mode.
  const int storedR = (255 * ((r * a + 128) >> 8) + 127) >> 8;
  const int storedG = (255 * ((g * a + 128) >> 8) + 127) >> 8;
  const int storedB = (255 * ((b * a + 128) >> 8) + 127) >> 8;
  const std::uint32_t solid = 0xFF000000u | (static_cast<std::uint32_t>((255 * r + 127) >> 8) << 16) |
                              (static_cast<std::uint32_t>((255 * g + 127) >> 8) << 8) |
                              static_cast<std::uint32_t>((255 * b + 127) >> 8);
  const int addR = r * a / 255, addG = g * a / 255, addB = b * a / 255;
  auto plot = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
    std::uint32_t& p = bits[static_cast<std::size_t>(y) * mWidth + x];
    const int dr = (p >> 16) & 0xFF, dg = (p >> 8) & 0xFF, db = p & 0xFF;
    if (drawMode == 1) {
      p = 0xFF000000u | (std::uint32_t{add[dr + addR]} << 16) | (std::uint32_t{add[dg + addG]} << 8) | add[db + addB];
    } else if (a == 255) {
      p = solid;
    } else {
      const int keep = 256 - a;
      p = 0xFF000000u | (static_cast<std::uint32_t>(((dr * keep + 127) >> 8) + storedR) << 16) |
          (static_cast<std::uint32_t>(((dg * keep + 127) >> 8) + storedG) << 8) |
          static_cast<std::uint32_t>(((db * keep + 127) >> 8) + storedB);
    }
  };

  // Bresenham over whole pixels along the major axis, from the end with the smaller coordinate on it.
  const bool xMajor = std::abs(endX - startX) >= std::abs(endY - startY);
  double major1 = xMajor ? startX : startY, minor1 = xMajor ? startY : startX;
  double major2 = xMajor ? endX : endY, minor2 = xMajor ? endY : endX;
  if (major1 > major2) {
    std::swap(major1, major2);
    std::swap(minor1, minor2);
  }
  int major = TruncCoordinate(major1), minor = TruncCoordinate(minor1);
  const int majorEnd = TruncCoordinate(major2), minorEnd = TruncCoordinate(minor2);
  const long long bigD = static_cast<long long>(majorEnd) - major;
  const long long d = std::abs(static_cast<long long>(minorEnd) - minor);
  const int minorStep = minorEnd >= minor ? 1 : -1;
  const int minorLow = std::min(minor, minorEnd), minorHigh = std::max(minor, minorEnd);
  const double fraction = major1 - std::floor(major1);
  long long error = static_cast<long long>(fraction * 2.0 * static_cast<double>(d) + static_cast<double>(2 * d - bigD));
  // The drawing context clips lines to its clip rectangle first; an unclipped line this long would
  // only be walked for nothing, so it is refused rather than hanging the frame.
  if (bigD > (1LL << 24)) return;
  const int limit = xMajor ? mWidth : mHeight;
  while (major <= majorEnd && minor >= minorLow && minor <= minorHigh) {
    if (major >= limit && major > 0) break;
    if (xMajor)
      plot(major, minor);
    else
      plot(minor, major);
    if (error > 0) {
      minor += minorStep;
      error += 2 * (d - bigD);
    } else {
      error += 2 * d;
    }
    ++major;
  }
  BitsChanged();
}

}  // namespace Kit
