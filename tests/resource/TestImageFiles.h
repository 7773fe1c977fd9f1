// Test media made on the spot: pictures with known pixels, and the bytes of TGA, GIF, PNG and JPEG
// files in the forms the readers must handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/resource/Image.h"

namespace testimages {

// A width x height picture whose pixels come from the pattern (x, y) -> 0xAARRGGBB.
std::unique_ptr<ImageLib::Image> MakeImage(int width, int height, uint32_t (*pattern)(int x, int y));
uint32_t Gradient(int x, int y);

// Writes a one-colour width x height picture as a PNG file, making its folders; false when it cannot.
bool WriteSolidPNG(const std::string& path, int width, int height, uint32_t color);

std::string TGABytes(int width, int height, const std::vector<uint32_t>& pixels, uint8_t descriptor = 0x28,
                     uint8_t depth = 32, const std::string& imageId = "");

struct GIFFrame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices{};  // row by row, top to bottom
  bool interlaced = false;
  std::vector<uint32_t> localPalette{};  // RGB; none when empty
  int transparentIndex = -1;             // written in a graphic control block before the frame when >= 0
};
// A GIF89a file with an optional global palette (RGB) and the frames, LZW-compressed.
std::string GIFBytes(const std::vector<uint32_t>& globalPalette, const std::vector<GIFFrame>& frames,
                     int minCodeSize = 8);

struct PNGPicture {
  int width = 0;
  int height = 0;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::vector<uint8_t>> rows{};  // packed samples, big-endian for 16 bits
  std::vector<uint32_t> palette{};           // RGB
  std::vector<uint8_t> paletteAlpha{};       // tRNS entries for a palette image
};
std::string PNGBytes(const PNGPicture& picture);

// A greyscale JPEG of the given grey levels (row by row); a progressive one with extraScans more
// copies of its last scan, as a hostile file would flood it.
std::string GreyJPEGBytes(int width, int height, const std::vector<uint8_t>& levels, bool progressive = false,
                          int extraScans = 0);

std::vector<uint8_t> AsBytes(const std::string& text);

}  // namespace testimages
