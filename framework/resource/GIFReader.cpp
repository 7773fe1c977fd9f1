#include "framework/resource/GIFReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "framework/resource/ImageFileBytes.h"

namespace ImageLib {
namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeWidth = 12;
constexpr uint32_t kOpaqueBlack = 0xFF000000;

// Bounds-checked reading over the file's bytes.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : mBytes(bytes) {}

  bool Byte(uint8_t* out) {
    if (mPos >= mBytes.size()) return false;
    *out = mBytes[mPos++];
    return true;
  }
  bool LE16(int* out) {
    if (mBytes.size() - mPos < 2) return false;
    *out = mBytes[mPos] | mBytes[mPos + 1] << 8;
    mPos += 2;
    return true;
  }
  // A view of the next count bytes, or an empty one when the file ends before them.
  std::span<const uint8_t> Take(size_t count) {
    if (mBytes.size() - mPos < count) return {};
    auto part = mBytes.subspan(mPos, count);
    mPos += count;
    return part;
  }
  // One data sub-block: its length (0 at the terminator), or -1 when the file ends before its length
  // byte. A block cut short by the end of the file gives the bytes that are there.
  int GifReadDataBlock(std::span<const uint8_t>* data) {
    uint8_t length = 0;
    if (!Byte(&length)) return -1;
    *data = Take(std::min<size_t>(length, mBytes.size() - mPos));
    return static_cast<int>(data->size());
  }

 private:
  std::span<const uint8_t> mBytes;
  size_t mPos = 0;
};

// A colour table: entries beyond the file's table are opaque black, so any index maps somewhere.
using Palette = std::array<uint32_t, 256>;

bool ReadColorTable(ByteReader* reader, uint8_t packed, Palette* palette) {
  size_t entries = size_t{1} << ((packed & 7) + 1);
  std::span<const uint8_t> rgb = reader->Take(entries * 3);
  if (rgb.empty()) return false;
  palette->fill(kOpaqueBlack);
  for (size_t i = 0; i < entries; ++i) {
    (*palette)[i] = kOpaqueBlack | uint32_t{rgb[i * 3]} << 16 | uint32_t{rgb[i * 3 + 1]} << 8 | rgb[i * 3 + 2];
  }
  return true;
}

// Hands out pixel positions in the file's row order: top to bottom, or the four interlace passes.
class RowOrder {
 public:
  RowOrder(int width, int height, bool interlaced) : mWidth(width), mHeight(height), mInterlaced(interlaced) {
    if (interlaced) SkipEmptyPasses();
  }
  bool Done() const { return mPass >= 4 || mRow >= mHeight; }
  size_t Next() {
    size_t index = static_cast<size_t>(mRow) * mWidth + mX;
    if (++mX == mWidth) {
      mX = 0;
      if (mInterlaced) {
        mRow += kStep[mPass];
        SkipEmptyPasses();
      } else {
        ++mRow;
      }
    }
    return index;
  }

 private:
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};

  void SkipEmptyPasses() {
    while (mPass < 4 && mRow >= mHeight) {
      if (++mPass < 4) mRow = kStart[mPass];
    }
  }

  int mWidth;
  int mHeight;
  bool mInterlaced;
  int mPass = 0;
  int mRow = 0;
  int mX = 0;
};

// Reads LZW codes least significant bit first from the concatenated data sub-blocks.
class CodeReader {
 public:
  explicit CodeReader(ByteReader* reader) : mReader(reader) {}
  // False when the data ends (terminator or end of file) before a whole code.
  bool Read(int width, int* code) {
    while (mBitCount < width) {
      if (mBlock.empty()) {
        if (mEnded || mReader->GifReadDataBlock(&mBlock) <= 0) {
          mEnded = true;
          return false;
        }
      }
      mBits |= uint32_t{mBlock[0]} << mBitCount;
      mBlock = mBlock.subspan(1);
      mBitCount += 8;
    }
    *code = static_cast<int>(mBits & ((1u << width) - 1));
    mBits >>= width;
    mBitCount -= width;
    return true;
  }

 private:
  ByteReader* mReader;
  std::span<const uint8_t> mBlock;
  uint32_t mBits = 0;
  int mBitCount = 0;
  bool mEnded = false;
};

void DecodeLZW(ByteReader* reader, int minCodeSize, const Palette& palette, RowOrder* rows, uint32_t* pixels) {
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  std::vector<uint16_t> prefix(kMaxCodes, 0);
  std::vector<uint8_t> suffix(kMaxCodes, 0);
  std::vector<uint8_t> stack(kMaxCodes + 1);
  for (int i = 0; i < clear; ++i) suffix[i] = static_cast<uint8_t>(i);

  int nextFree = clear + 2;
  int width = minCodeSize + 1;
  int previous = -1;
  uint8_t firstByte = 0;
  CodeReader codes(reader);
  int code = 0;
  while (!rows->Done() && codes.Read(width, &code)) {
    if (code == clear) {
      nextFree = clear + 2;
      width = minCodeSize + 1;
      previous = -1;
      continue;
    }
    if (code == end || code > nextFree) return;
    if (previous < 0) {
      // Only a root can follow a clear code.
      if (code >= clear) return;
      firstByte = static_cast<uint8_t>(code);
      pixels[rows->Next()] = palette[firstByte];
      previous = code;
      continue;
    }
    int incoming = code;
    size_t depth = 0;
    if (code == nextFree) {
      stack[depth++] = firstByte;
      code = previous;
    }
    while (code > end) {
      if (depth >= stack.size() - 1) return;
      stack[depth++] = suffix[code];
      code = prefix[code];
    }
    firstByte = suffix[code];
    stack[depth++] = firstByte;
    if (nextFree < kMaxCodes) {
      prefix[nextFree] = static_cast<uint16_t>(previous);
      suffix[nextFree] = firstByte;
      ++nextFree;
      if (nextFree == (1 << width) && width < kMaxCodeWidth) ++width;
    }
    previous = incoming;
    while (depth > 0 && !rows->Done()) pixels[rows->Next()] = palette[stack[--depth]];
  }
}

}  // namespace

std::unique_ptr<Image> DecodeGIF(std::span<const uint8_t> bytes) {
  ByteReader reader(bytes);
  std::span<const uint8_t> signature = reader.Take(6);
  if (signature.empty() ||
      (std::memcmp(signature.data(), "GIF87", 5) != 0 && std::memcmp(signature.data(), "GIF89", 5) != 0)) {
    return nullptr;
  }
  int screenWidth = 0;
  int screenHeight = 0;
  uint8_t screenPacked = 0;
  if (!reader.LE16(&screenWidth) || !reader.LE16(&screenHeight) || !reader.Byte(&screenPacked) ||
      reader.Take(2).empty()) {
    return nullptr;
  }
  Palette globalPalette;
  bool hasGlobalPalette = (screenPacked & 0x80) != 0;
  if (hasGlobalPalette && !ReadColorTable(&reader, screenPacked, &globalPalette)) return nullptr;

  int transparentIndex = -1;
  for (;;) {
    uint8_t introducer = 0;
    if (!reader.Byte(&introducer) || introducer == ';') return nullptr;
    if (introducer == '!') {
      uint8_t label = 0;
      if (!reader.Byte(&label)) return nullptr;
      std::span<const uint8_t> block;
      bool first = true;
      for (int length; (length = reader.GifReadDataBlock(&block)) != 0;) {
        if (length < 0) return nullptr;
        if (label == 0xF9 && first && length >= 4 && (block[0] & 1)) transparentIndex = block[3];
        first = false;
      }
      continue;
    }
    if (introducer != ',') continue;

    int left = 0, top = 0, width = 0, height = 0;
    uint8_t packed = 0;
    if (!reader.LE16(&left) || !reader.LE16(&top) || !reader.LE16(&width) || !reader.LE16(&height) ||
        !reader.Byte(&packed)) {
      return nullptr;
    }
    Palette palette = globalPalette;
    if (packed & 0x80) {
      if (!ReadColorTable(&reader, packed, &palette)) return nullptr;
    } else if (!hasGlobalPalette) {
      // Without any colour table the indices mean nothing.
      return nullptr;
    }
    if (transparentIndex >= 0) palette[transparentIndex] = 0;

    uint8_t minCodeSize = 0;
    if (!reader.Byte(&minCodeSize) || minCodeSize < 1 || minCodeSize > 8) return nullptr;
    auto image = std::make_unique<Image>();
    if (!image->Allocate(width, height)) return nullptr;
    RowOrder rows(width, height, (packed & 0x40) != 0);
    DecodeLZW(&reader, minCodeSize, palette, &rows, image->GetBits());
    return image;
  }
}

std::unique_ptr<Image> GetGIFImage(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadImageFileBytes(fileName, &bytes)) return nullptr;
  return DecodeGIF(bytes);
}

}  // namespace ImageLib
