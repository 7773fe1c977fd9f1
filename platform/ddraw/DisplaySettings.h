// What the stand-in DirectDraw reports about the machine's display: the desktop's pixel format, its
// refresh rate and size, and the video memory. Read from the environment ("KIT_DESKTOP_FORMAT": 32, 16
// or 565, 555, 24, 8; "KIT_DESKTOP_REFRESH": Hz) unless a test sets them; the default is a 32-bit
// desktop at 60 Hz.
#pragma once

#include <optional>
#include <string_view>

#include "platform/win/Types.h"

namespace plat {

enum class DesktopFormat { Xrgb8888, Rgb565, Rgb555, Rgb888, Palette8 };

struct DisplaySettings {
  DesktopFormat format = DesktopFormat::Xrgb8888;
  DWORD refreshHz = 60;
  // The desktop's size; 0 takes the size of the screen SDL reports (1024 x 768 without one).
  int desktopWidth = 0;
  int desktopHeight = 0;
  DWORD videoMemoryBytes = 64u << 20;
};

// The colour depth of a desktop format, for what the rest of the layer reports about the screen
// (device-context caps, display settings) to agree with DirectDraw.
int BitsPerPixelOf(DesktopFormat format);

// "32", "16", "565", "555", "24" or "8"; nothing for any other text.
std::optional<DesktopFormat> ParseDesktopFormat(std::string_view text);

// The settings in force: those a test set, else the environment's, else the defaults.
DisplaySettings CurrentDisplaySettings();
// Test seam: replaces the settings for DirectDraw objects created from now on (nullopt: back to the
// environment).
void SetDisplaySettings(std::optional<DisplaySettings> settings);

class ScopedDisplaySettings {
 public:
  explicit ScopedDisplaySettings(const DisplaySettings& settings);
  ~ScopedDisplaySettings();
  ScopedDisplaySettings(const ScopedDisplaySettings&) = delete;
  ScopedDisplaySettings& operator=(const ScopedDisplaySettings&) = delete;

 private:
  std::optional<DisplaySettings> mPrevious;
};

// Test seam: the next present of a primary surface (Flip, a Blt onto it) or the next Lock of any
// surface fails with DDERR_SURFACELOST and leaves that surface lost until Restore, as when another
// program takes the display.
void FailNextWithSurfaceLost();
// Consumes the armed fault; true when the caller's operation is the one that fails.
bool TakeSurfaceLostFault();
// Test seam: the next count locks of any surface fail with DDERR_SURFACEBUSY and leave the surface as
// it is, as when something else holds it (a device context not handed back).
void FailNextLocks(int count);
// Consumes one armed lock failure; true when the caller's lock is one that fails.
bool TakeLockFault();

}  // namespace plat
