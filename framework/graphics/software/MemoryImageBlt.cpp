// Normal and additive blits onto a MemoryImage.
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/kernels/OverRows.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/PixelRows.h"
#include "framework/graphics/kernels/TintRows.h"
#include "framework/graphics/software/BlitClip.h"
#include "framework/graphics/software/SelfDrawCopy.h"
#include "framework/graphics/software/SourcePixels.h"

#include <algorithm>
#include <vector>

namespace Kit {
namespace {

using PixelBlend::Clamp255;

// The common case: an opaque destination and an uncoloured source. The source's alpha run table
// lets whole runs be skipped (alpha 0) or copied (alpha 255) without arithmetic.
void BltOntoOpaque(std::uint32_t* dest, int destWidth, const SourcePixels& source, const std::uint8_t* runs,
                   int sourceWidth, const ClippedBlit& blit) {
  const Rect& src = blit.mSrc;
  if (!source.IsPalettized()) {
    // Measured: one pass of the register kernel over each row after its leading transparent run (it
    // skips transparent and copies opaque registers itself) beats walking the run table run by run.
    const std::size_t first = static_cast<std::size_t>(src.mY) * sourceWidth + src.mX;
    OverRows::OntoOpaque(OverRows::Rows<std::uint32_t>{dest + static_cast<std::size_t>(blit.mY) * destWidth + blit.mX,
                                                       destWidth, source.Bits() + first, runs + first, sourceWidth,
                                                       src.mWidth, src.mHeight});
    return;
  }
  for (int row = 0; row < src.mHeight; ++row) {
    const std::size_t srcRow = static_cast<std::size_t>(src.mY + row) * sourceWidth + src.mX;
    std::uint32_t* out = dest + static_cast<std::size_t>(blit.mY + row) * destWidth + blit.mX;
    int x = 0;
    // A leading transparent run is stepped over at once.
    if ((source.At(srcRow) >> 24) == 0) x = std::min<int>(runs[srcRow], src.mWidth);
    // Palettized pixels are looked up one by one; here the runs pay: a transparent run is skipped
    // and an opaque one copied without blending.
    while (x < src.mWidth) {
      const int run = std::min<int>(runs[srcRow + x], src.mWidth - x);
      const std::uint32_t alpha = source.At(srcRow + x) >> 24;
      if (alpha == 255) {
        for (int i = 0; i < run; ++i) out[x + i] = source.At(srcRow + x + i);
      } else if (alpha != 0) {
        for (int i = 0; i < run; ++i) {
          const std::uint32_t pixel = source.At(srcRow + x + i);
          out[x + i] = PixelBlend::OntoOpaque(out[x + i], pixel, pixel >> 24);
        }
      }
      x += run;
    }
  }
}

// Calls draw(destination row, source row) for each row of the blit; a palettized source is looked up
// one row at a time into 32-bit pixels.
template <typename Draw>
void ForEachRow(std::uint32_t* dest, int destWidth, const SourcePixels& source, int sourceWidth,
                const ClippedBlit& blit, Draw draw) {
  const Rect& src = blit.mSrc;
  std::vector<std::uint32_t> unpacked(source.IsPalettized() ? src.mWidth : 0);
  for (int row = 0; row < src.mHeight; ++row) {
    const std::size_t srcRow = static_cast<std::size_t>(src.mY + row) * sourceWidth + src.mX;
    const std::uint32_t* in = source.Bits() + srcRow;
    if (source.IsPalettized()) {
      for (int x = 0; x < src.mWidth; ++x) unpacked[x] = source.At(srcRow + x);
      in = unpacked.data();
    }
    draw(dest + static_cast<std::size_t>(blit.mY + row) * destWidth + blit.mX, in);
  }
}

void BltBlended(std::uint32_t* dest, int destWidth, const SourcePixels& source, int sourceWidth,
                const ClippedBlit& blit, const Color& color) {
  const int width = blit.mSrc.mWidth;
  if (color == Color::White) {
    ForEachRow(dest, destWidth, source, sourceWidth, blit,
               [&](std::uint32_t* out, const std::uint32_t* in) { OverRows::OverPixels(out, in, width); });
    return;
  }
  const TintRows::Tint tint{
      static_cast<std::uint32_t>(Clamp255(color.mRed)), static_cast<std::uint32_t>(Clamp255(color.mGreen)),
      static_cast<std::uint32_t>(Clamp255(color.mBlue)), static_cast<std::uint32_t>(Clamp255(color.mAlpha))};
  ForEachRow(dest, destWidth, source, sourceWidth, blit,
             [&](std::uint32_t* out, const std::uint32_t* in) { TintRows::OverColored(out, in, width, tint); });
}

void BltAdditive(std::uint32_t* dest, int destWidth, const SourcePixels& source, int sourceWidth,
                 const ClippedBlit& blit, const Color& color, bool sourceHasAlpha) {
  const bool colored = color != Color::White;
  const std::uint32_t ca = Clamp255(color.mAlpha);
  const std::uint32_t pr = PixelBlend::Div255(Clamp255(color.mRed) * ca);
  const std::uint32_t pg = PixelBlend::Div255(Clamp255(color.mGreen) * ca);
  const std::uint32_t pb = PixelBlend::Div255(Clamp255(color.mBlue) * ca);
  const int width = blit.mSrc.mWidth;
  ForEachRow(dest, destWidth, source, sourceWidth, blit, [&](std::uint32_t* out, const std::uint32_t* in) {
    PixelRows::AddSaturated(out, in, width, colored, pr, pg, pb, sourceHasAlpha);
  });
}

}  // namespace

void MemoryImage::Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!source || (drawMode != 0 && drawMode != 1)) return;
  ClippedBlit blit;
  if (!ClipBlit(mWidth, mHeight, source->mWidth, source->mHeight, x, y, srcRect, blit)) return;

  std::uint32_t* dest = GetBits();
  const SelfDrawCopy selfCopy(source, *this, dest);

  source->CommitBits();
  // Adding keeps every alpha and blending onto an opaque image leaves it opaque: what is known of
  // this image's alpha before the blit holds after it, and the next blit need not scan it again.
  bool alphaKept = false;
  if (drawMode == 1) {
    alphaKept = !mBitsChanged && !mForcedMode;
    BltAdditive(dest, mWidth, SourcePixels(*source), source->mWidth, blit, color, source->mHasAlpha);
  } else {
    CommitPendingBits();
    alphaKept = !mBitsChanged && !mForcedMode && !mHasTrans && !mHasAlpha;
    if (!mHasTrans && !mHasAlpha && color == Color::White) {
      const std::uint8_t* runs = source->GetRLAlphaData();
      BltOntoOpaque(dest, mWidth, SourcePixels(*source), runs, source->mWidth, blit);
    } else {
      BltBlended(dest, mWidth, SourcePixels(*source), source->mWidth, blit, color);
    }
  }
  BitsChanged();
  if (alphaKept) mBitsChanged = false;
}

}  // namespace Kit
