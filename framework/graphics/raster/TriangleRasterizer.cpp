#include "framework/graphics/raster/TriangleRasterizer.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/raster/TriangleClipper.h"
#include "framework/graphics/raster/TriangleSpans.h"
#include "platform/util/ClampToInt.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace Kit {
namespace {

// 16.16 fixed point addresses up to 32767 whole units.
constexpr int kMaxFixedExtent = 32767;

// value x 65536, truncated and held to [low, high] x 65536 (NaN to low).
std::int32_t ToFixed(double value, double low, double high) {
  const auto lowFixed = static_cast<std::int32_t>(low * 65536.0), highFixed = static_cast<std::int32_t>(high * 65536.0);
  return plat::TruncateInto<std::int32_t>(value * 65536.0, lowFixed, highFixed, lowFixed);
}

bool Finite(const TriVertex& v) {
  return std::isfinite(v.mX) && std::isfinite(v.mY) && std::isfinite(v.mU) && std::isfinite(v.mV);
}

bool Finite(const ClippedPolygon& polygon) {
  return std::all_of(polygon.mVertices, polygon.mVertices + polygon.mCount,
                     [](const TriVertex& v) { return Finite(v); });
}

}  // namespace

void SelectSpanRoutine(bool textured, bool alpha, bool vertexColors, bool colourised, const FixedVertex (&triangle)[3],
                       void* destBits, int destPitch, const SpanTexture& texture, const SpanColor& color,
                       int formatCode, bool blend) {
  const SpanRoutine routine =
      GetSpanRoutine(SpanRoutineIndex(textured, alpha, vertexColors, colourised, blend, formatCode));
  if (routine) routine(triangle, destBits, destPitch, texture, color);
}

void DrawTriangleSoftware(const TriVertex* strip, int vertexCount, MemoryImage* texture, const Color& color,
                          int /*drawMode*/, const Rect& clipRect, const RasterTarget& target, bool blend,
                          bool vertexColors) {
  if (!strip || vertexCount < 3 || !target.mBits) return;
  const Rect area = clipRect.Intersection(
      Rect(0, 0, std::min(target.mWidth, kMaxFixedExtent), std::min(target.mHeight, kMaxFixedExtent)));
  if (area.mWidth <= 0 || area.mHeight <= 0) return;
  // Pixel centres lie on whole numbers, so the last column and row sit exactly on an inclusive
  // right and bottom bound, where the coverage rule leaves them out. The bounds reach to the last
  // 1/256 step before the next column and row instead, so clipping keeps every pixel the unclipped
  // triangle covers inside clipRect.
  constexpr float kLastStep = 255.0f / 256.0f;
  const ClipBounds bounds{static_cast<float>(area.mX), static_cast<float>(area.mY),
                          static_cast<float>(area.mX + area.mWidth - 1) + kLastStep,
                          static_cast<float>(area.mY + area.mHeight - 1) + kLastStep};

  const bool textured = texture != nullptr;
  SpanTexture spanTexture;
  bool alpha = false;
  if (textured) {
    texture->CommitBits();
    const int width = texture->mWidth, height = texture->mHeight;
    if (width <= 0 || height <= 0 || width > kMaxFixedExtent || height > kMaxFixedExtent) return;
    spanTexture.mBits = texture->GetBits();
    if (!spanTexture.mBits) return;
    spanTexture.mShift = 16 - (std::bit_width(static_cast<unsigned>(width)) - 1);
    spanTexture.mMaxU = (width - 1) << 16;
    spanTexture.mMaxV = (height - 1) << 16;
    spanTexture.mWidth = width;
    spanTexture.mPixelCount = width * height;
    spanTexture.mHeight = height;
    alpha = texture->mHasAlpha || texture->mHasTrans || blend;
  }
  const bool colourised = color != Color::White;
  const SpanColor spanColor{color.mAlpha, color.mRed, color.mGreen, color.mBlue};

  for (int k = 0; k + 3 <= vertexCount; ++k) {
    const TriVertex& a = strip[k];
    const TriVertex& b = strip[(k % 2 == 0) ? k + 1 : k + 2];
    const TriVertex& c = strip[(k % 2 == 0) ? k + 2 : k + 1];
    if (!Finite(a) || !Finite(b) || !Finite(c)) continue;
    const ClippedPolygon polygon = ClipTriangle(a, b, c, bounds);
    // Texture coordinates far beyond the texture can still overflow on their way through the clipper.
    if (polygon.mCount < 3 || !Finite(polygon)) continue;

    FixedVertex fixed[kMaxClippedVertices];
    for (int i = 0; i < polygon.mCount; ++i) {
      const TriVertex& v = polygon.mVertices[i];
      FixedVertex& f = fixed[i];
      // Kept inside the clip bounds: the span routines draw only within the vertices' bounding box.
      f.mX = ToFixed(v.mX, bounds.mLeft, bounds.mRight);
      f.mY = ToFixed(v.mY, bounds.mTop, bounds.mBottom);
      if (textured) {
        f.mU = ToFixed(static_cast<double>(v.mU) * spanTexture.mWidth, -kMaxFixedExtent, kMaxFixedExtent);
        f.mV = ToFixed(static_cast<double>(v.mV) * spanTexture.mHeight, -kMaxFixedExtent, kMaxFixedExtent);
      }
      if (vertexColors) {
        f.mAlpha = static_cast<std::int32_t>((v.mColor >> 24) & 0xFF) << 16;
        f.mRed = static_cast<std::int32_t>((v.mColor >> 16) & 0xFF) << 16;
        f.mGreen = static_cast<std::int32_t>((v.mColor >> 8) & 0xFF) << 16;
        f.mBlue = static_cast<std::int32_t>(v.mColor & 0xFF) << 16;
      }
    }
    for (int i = 2; i < polygon.mCount; ++i) {
      const FixedVertex triangle[3] = {fixed[0], fixed[i - 1], fixed[i]};
      SelectSpanRoutine(textured, alpha, vertexColors, colourised, triangle, target.mBits, target.mPitch, spanTexture,
                        spanColor, target.mFormatCode, blend);
    }
  }
}

}  // namespace Kit
