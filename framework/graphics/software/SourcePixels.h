// Read access to the pixels of a blit source, whether it holds 32-bit pixels or a colour table with
// indices: both give the same ARGB values.
#pragma once

#include "framework/graphics/MemoryImage.h"

#include <cstdint>

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

 private:
  int mWidth;
  const std::uint32_t* mTable;
  const std::uint8_t* mIndices;
  const std::uint32_t* mBits;
};

}  // namespace Kit
