// Draws arbitrary matrices, triangles, colours and clip rectangles (raw bytes read as floats and
// ints) through the software triangle rasteriser; nothing may be written outside the clip
// rectangle or past the image. An input may hold several draws, each on a fresh image; the seeds
// "hostile_*" hold NaN, infinite, huge and tiny coordinates against clips inside, around and
// outside the image.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "fuzz/FuzzReader.h"

namespace {

constexpr int SIZE = 24;
constexpr std::uint32_t BACKGROUND = 0x5A5A5A5A;

// One matrix blit and one triangle list on a fresh image, read from the input.
void DrawOnce(fuzzsupport::Reader& in) {
  const int textureWidth = in.Next<uint8_t>() % 9, textureHeight = in.Next<uint8_t>() % 9;
  Kit::MemoryImage texture, dest;
  std::vector<std::uint32_t> texels(static_cast<size_t>(textureWidth * textureHeight));
  for (auto& t : texels) t = in.Next<std::uint32_t>();
  if (textureWidth && textureHeight) texture.SetBits(texels.data(), textureWidth, textureHeight);
  const std::vector<std::uint32_t> background(SIZE * SIZE, BACKGROUND);
  dest.SetBits(background.data(), SIZE, SIZE);
  if (in.Next<uint8_t>() & 1) dest.SetImageMode(false, false);

  const Kit::Rect clip(in.Next<int>(), in.Next<int>(), in.Next<int>(), in.Next<int>());
  const Kit::Color color(in.Next<std::uint32_t>());
  const bool blend = in.Next<uint8_t>() & 1;
  Kit::Matrix3 matrix;
  for (auto& row : matrix.m)
    for (float& v : row) v = in.Next<float>();
  const Kit::Rect srcRect(in.Next<int8_t>(), in.Next<int8_t>(), in.Next<int8_t>(), in.Next<int8_t>());
  dest.BltMatrix(&texture, in.Next<float>(), in.Next<float>(), matrix, clip, color, 0, srcRect, blend);

  Kit::TriVertex triangles[4][3];
  for (auto& triangle : triangles)
    for (auto& v : triangle)
      v = {in.Next<float>(), in.Next<float>(), in.Next<float>(), in.Next<float>(), in.Next<std::uint32_t>()};
  const int count = in.Next<uint8_t>() % 5;
  dest.BltTrianglesTex(in.Next<uint8_t>() & 1 ? &texture : nullptr, triangles, count, clip, color, 0, in.Next<float>(),
                       in.Next<float>(), blend);

  if (dest.mBits[SIZE * SIZE] != Kit::MemoryImage::kGuardWord) std::abort();
  const Kit::Rect inside = clip.Intersection(Kit::Rect(0, 0, SIZE, SIZE));
  for (int y = 0; y < SIZE; ++y)
    for (int x = 0; x < SIZE; ++x)
      if (!inside.Contains(x, y) && dest.mBits[y * SIZE + x] != BACKGROUND) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  do {
    DrawOnce(in);
  } while (in.More());
  return 0;
}
