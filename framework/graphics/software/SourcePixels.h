// Read access to the pixels of a blit source, whether it holds 32-bit pixels or a colour table with
// indices: both give the same ARGB values.
#pragma once

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/kernels/PixelRows.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Kit {

class SourcePixels {
 public:
  // Uses the table when the image is palettized, so that drawing does not unpack it.
  explicit SourcePixels(MemoryImage& image)
      : mWidth(image.mWidth),
        mTable(!image.mBits && image.mColorTable && image.mColorIndices ? image.mColorTable.get() : nullptr),
        mIndices(mTable ? image.mColorIndices.get() : nullptr),
        mBits(mTable ? nullptr : image.GetBits()) {}

  bool IsPalettized() const { return mTable != nullptr; }
  const std::uint32_t* Bits() const { return mBits; }
  const std::uint32_t* Table() const { return mTable; }
  const std::uint8_t* Indices() const { return mIndices; }

  std::uint32_t At(std::size_t index) const { return mTable ? mTable[mIndices[index]] : mBits[index]; }
  std::uint32_t At(int x, int y) const { return At(static_cast<std::size_t>(y) * mWidth + x); }

  // The pixels of rect (inside the image) as rows of rect.mWidth: a palettized source looked up once,
  // so that row kernels written for 32-bit pixels can read it.
  std::unique_ptr<std::uint32_t[]> Unpacked(const Rect& rect) const {
    auto pixels = std::make_unique_for_overwrite<std::uint32_t[]>(
        std::max<std::size_t>(static_cast<std::size_t>(rect.mWidth) * rect.mHeight, 1));
    std::uint32_t* out = pixels.get();
    for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y) {
      const std::size_t first = static_cast<std::size_t>(y) * mWidth + rect.mX;
      if (mTable)
        PixelRows::LookUp(out, mTable, mIndices + first, rect.mWidth);
      else
        std::copy_n(mBits + first, rect.mWidth, out);
      out += rect.mWidth;
    }
    return pixels;
  }

 private:
  int mWidth;
  const std::uint32_t* mTable;
  const std::uint8_t* mIndices;
  const std::uint32_t* mBits;
};

}  // namespace Kit
