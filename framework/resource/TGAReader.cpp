#include "framework/resource/TGAReader.h"

#include <cstring>
#include <vector>

#include "framework/resource/ImageFileBytes.h"

namespace ImageLib {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kUncompressedTrueColour = 2;
constexpr uint8_t kTopLeftWithEightAlphaBits = 0x28;

uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

std::unique_ptr<Image> DecodeTGA(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) return nullptr;
  const uint8_t* header = bytes.data();
  uint8_t idLength = header[0];
  uint8_t colourMapType = header[1];
  uint8_t imageType = header[2];
  uint16_t colourMapLength = ReadLE16(header + 5);
  uint8_t colourMapEntryBits = header[7];
  int width = ReadLE16(header + 12);
  int height = ReadLE16(header + 14);
  uint8_t pixelDepth = header[16];
  uint8_t descriptor = header[17];
  // Run-length and colour-mapped pixels would be taken for raw ones: only raw true colour is read.
  if (imageType != kUncompressedTrueColour || pixelDepth != 32 || descriptor != kTopLeftWithEightAlphaBits)
    return nullptr;

  // An image ID and a colour map (which true-colour pixels do not use), when present, stand between
  // the header and the pixels. The pixels must all be there before any memory is set aside for them.
  size_t colourMapBytes = colourMapType != 0 ? size_t{colourMapLength} * ((colourMapEntryBits + 7u) / 8u) : 0;
  size_t offset = kHeaderSize + idLength + colourMapBytes;
  size_t pixelBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (bytes.size() < offset || bytes.size() - offset < pixelBytes) return nullptr;
  auto image = std::make_unique<Image>();
  if (!image->Allocate(width, height)) return nullptr;
  // File order blue, green, red, alpha is the in-memory order of a 0xAARRGGBB pixel.
  std::memcpy(image->GetBits(), bytes.data() + offset, pixelBytes);
  return image;
}

std::unique_ptr<Image> GetTGAImage(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadImageFileBytes(fileName, &bytes)) return nullptr;
  return DecodeTGA(bytes);
}

}  // namespace ImageLib
