#include "platform/win/system/DisplaySettings.h"

#include <charconv>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/win/window/SdlVideo.h"

namespace plat {
namespace {

std::mutex gSettingsMutex;
std::optional<DisplaySettings> gOverride;

DisplaySettings FromEnvironment() {
  DisplaySettings settings;
  if (const char* format = std::getenv("KIT_DESKTOP_FORMAT")) {
    if (auto parsed = ParseDesktopFormat(format)) settings.format = *parsed;
  }
  if (const char* refresh = std::getenv("KIT_DESKTOP_REFRESH")) {
    const std::string_view text(refresh);
    DWORD hz = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), hz);
    if (error == std::errc() && end == text.data() + text.size() && hz > 0 && hz <= 1000) settings.refreshHz = hz;
  }
  return settings;
}

}  // namespace

int BitsPerPixelOf(DesktopFormat format) {
  switch (format) {
    case DesktopFormat::Rgb565:
    case DesktopFormat::Rgb555:
      return 16;
    case DesktopFormat::Rgb888:
      return 24;
    case DesktopFormat::Palette8:
      return 8;
    case DesktopFormat::Xrgb8888:
      break;
  }
  return 32;
}

std::optional<DesktopFormat> ParseDesktopFormat(std::string_view text) {
  if (text == "32") return DesktopFormat::Xrgb8888;
  if (text == "16" || text == "565") return DesktopFormat::Rgb565;
  if (text == "555") return DesktopFormat::Rgb555;
  if (text == "24") return DesktopFormat::Rgb888;
  if (text == "8") return DesktopFormat::Palette8;
  return std::nullopt;
}

DisplaySettings CurrentDisplaySettings() {
  DisplaySettings settings;
  {
    std::lock_guard lock(gSettingsMutex);
    settings = gOverride ? *gOverride : FromEnvironment();
  }
  // A screen that SDL cannot show pixels on is the 8-bit desktop it is, whatever was asked for.
  if (!ScreenTakesPixels()) settings.format = DesktopFormat::Palette8;
  return settings;
}

std::optional<DisplaySettings> SetDisplaySettings(std::optional<DisplaySettings> settings) {
  std::lock_guard lock(gSettingsMutex);
  return std::exchange(gOverride, std::move(settings));
}

}  // namespace plat
