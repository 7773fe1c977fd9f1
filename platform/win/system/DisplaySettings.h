// What the layer reports about the machine's display, to DirectDraw and to the system metrics alike:
// the desktop's pixel format, its refresh rate and size, and the video memory. Read from the
// environment ("KIT_DESKTOP_FORMAT": 32, 16 or 565, 555, 24, 8; "KIT_DESKTOP_REFRESH": Hz) unless a
// test sets them; the default is a 32-bit desktop at 60 Hz. A screen that SDL cannot show pixels on
// (an X screen of 8 bits) is an 8-bit desktop whatever they say.
#pragma once

#include <optional>
#include <string_view>

#include "platform/util/ScopedValue.h"
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
[[nodiscard]] int BitsPerPixelOf(DesktopFormat format);

// "32", "16", "565", "555", "24" or "8"; nothing for any other text.
[[nodiscard]] std::optional<DesktopFormat> ParseDesktopFormat(std::string_view text);

// The settings in force: those a test set, else the environment's, else the defaults.
[[nodiscard]] DisplaySettings CurrentDisplaySettings();
// Test seam: replaces the settings for DirectDraw objects created from now on (nullopt: back to the
// environment); returns those a test had set before.
std::optional<DisplaySettings> SetDisplaySettings(std::optional<DisplaySettings> settings);

// The settings given for its lifetime, then those before.
using ScopedDisplaySettings = ScopedValue<std::optional<DisplaySettings>, SetDisplaySettings>;

}  // namespace plat
