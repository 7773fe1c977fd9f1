// Surface memory for the drawing tests: the three formats the display runs in (5-6-5, 5-5-5 and
// 32-bit), padded pitches filled with noise, the display description and add tables that go with
// them, and source images with runs of every alpha class.
#pragma once

#include "framework/graphics/ChannelAddTables.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/SurfaceTarget.h"
#include "tests/display/SurfaceReference.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace surftest {

inline constexpr surfref::Format kFormat565{16, 0xF800, 0x07E0, 0x001F};
inline constexpr surfref::Format kFormat555{16, 0x7C00, 0x03E0, 0x001F};
inline constexpr surfref::Format kFormat888{32, 0xFF0000, 0x00FF00, 0x0000FF};

std::string FormatName(const surfref::Format& format);

// The display description of a format, as the display fills it in from its primary surface.
class FormatDisplay : public Kit::NativeDisplay {
 public:
  explicit FormatDisplay(const surfref::Format& format);
};

// Surface memory of width x height with padPixels of padding after each row, all of it noise.
surfref::Surface MakeSurface(const surfref::Format& format, int width, int height, int padPixels, std::mt19937& rng);

// The routines' view of surface memory, for the given display.
struct Target {
  Target(surfref::Surface& surface, const Kit::NativeDisplay& display);
  Kit::ChannelAddTables tables;
  Kit::SurfaceTarget target;
};

// ARGB pixels in runs of transparent, opaque and translucent pixels of random length, some black.
std::vector<std::uint32_t> MakeSpritePixels(int width, int height, std::mt19937& rng);

// The reference's view of a source image: its ARGB pixels and native words for the display.
surfref::Source ReferenceSource(Kit::MemoryImage& image, const Kit::NativeDisplay& display);

}  // namespace surftest
