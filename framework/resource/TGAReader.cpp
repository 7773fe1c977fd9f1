#include "framework/resource/TGAReader.h"

#include <cstring>
#include <vector>

#include "framework/resource/ImageFileBytes.h"

namespace ImageLib {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTopLeftWithEightAlphaBits = 0x28;

uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

std::unique_ptr<Image> DecodeTGA(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) return nullptr;
  const uint8_t* header = bytes.data();
  uint8_t idLength = header[0];
  int width = ReadLE16(header + 12);
  int height = ReadLE16(header + 14);
  uint8_t pixelDepth = header[16];
  uint8_t descriptor = header[17];
  if (pixelDepth != 32 || descriptor != kTopLeftWithEightAlphaBits) return nullptr;

  // An image ID, when present, stands between the header and the pixels. The pixels must all be
  // there before any memory is set aside for them.
  size_t offset = kHeaderSize + idLength;
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
