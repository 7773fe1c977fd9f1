// A frame read back from the game's X window, checked against the pictures the screen draws at known
// places and written as a PNG file (at half size for the README, or whole to look at every pixel).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Kit {
class Image;
}

namespace testsupport {

// A pixel of an image that the screen draws at (left, top), to be found in the shot at (left + x, top + y).
struct KnownPixel {
  Kit::Image* image;
  int left, top, x, y;
};

struct WindowShot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;  // row after row, 0x00RRGGBB
  std::uint32_t At(int x, int y) const { return argb[y * width + x]; }
};

// The two colours (0x..RRGGBB) are the same within the precision a window of fewer bits per channel
// keeps.
bool NearColour(std::uint32_t a, std::uint32_t b);
// Adds a failure, named after the shot, for each known pixel the shot does not show (within the
// precision a window of fewer bits per channel keeps).
void ExpectShows(const WindowShot& shot, const std::string& name, const std::vector<KnownPixel>& known);
// Adds a failure when the pixels of row y from x0 up to x1 are not all of one colour (within that
// precision): where a screen draws one flat colour, nothing behind it shows through.
void ExpectOneColour(const WindowShot& shot, const std::string& name, int y, int x0, int x1);
// Half size, each pixel the mean of four.
void WriteHalfSize(const WindowShot& shot, const std::string& path);
void WriteWhole(const WindowShot& shot, const std::string& path);
// The README's pictures: when QUARVEL_SHOTS_DIR names a folder and the shot is one of those the test
// makes for the README, it is written there at half size as <name>.png; any other shot is not, so that
// the README's command leaves no file the repository does not hold.
void WriteReadmeShot(const WindowShot& shot, const std::string& name, const std::vector<std::string>& readmeShots);

}  // namespace testsupport
