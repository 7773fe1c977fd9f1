#include "platform/win/system/SystemInfo.h"

#include <SDL.h>
#include <sys/utsname.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/win/modules/Modules.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/Window.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

std::atomic<DWORD> gLastInput{0};
std::atomic<bool> gAnyInput{false};

bool RealDisplay() {
  if (!EnsureSdlVideo()) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

RECT WorkArea() {
  SIZE desktop = DesktopSize();
  RECT area{0, 0, desktop.cx, desktop.cy};
  SDL_Rect usable;
  DisplaySettings settings = CurrentDisplaySettings();
  if (!settings.desktopWidth && RealDisplay() && SDL_GetDisplayUsableBounds(0, &usable) == 0) {
    area = RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
  }
  return area;
}

}  // namespace

void NoteUserInput() {
  gLastInput.store(GetTickCount());
  gAnyInput.store(true);
}

SIZE DesktopSize() {
  DisplaySettings settings = CurrentDisplaySettings();
  if (settings.desktopWidth > 0 && settings.desktopHeight > 0)
    return SIZE{settings.desktopWidth, settings.desktopHeight};
  SDL_DisplayMode mode;
  if (EnsureSdlVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0)
    return SIZE{mode.w, mode.h};
  return SIZE{1024, 768};
}

bool DisplayIsVisible() {
  auto invisible = [](const char* driver) {
    return driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
  };
  if (SdlVideoStarted()) return SDL_GetCurrentVideoDriver() != nullptr && !invisible(SDL_GetCurrentVideoDriver());
  if (invisible(std::getenv("SDL_VIDEODRIVER"))) return false;
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

std::string OperatingSystemVersion() {
  utsname system{};
  if (::uname(&system) != 0) return {};
  return std::string(system.sysname) + " " + system.release + " " + system.version + " " + system.machine;
}

}  // namespace plat

int GetSystemMetrics(int index) {
  RECT frame = plat::FrameOf(WS_CAPTION | WS_SYSMENU);
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
      return plat::DesktopSize().cx;
    case SM_CYSCREEN:
      return plat::DesktopSize().cy;
    case SM_CYFULLSCREEN:
      return plat::DesktopSize().cy - (frame.top - frame.bottom);
    case SM_CYCAPTION:
      return frame.top - frame.bottom;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
      return frame.left;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return plat::FrameOf(WS_THICKFRAME).left;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS:
      return 1;
    case SM_CMOUSEBUTTONS:
      return 3;
    default:
      return 0;
  }
}

BOOL SystemParametersInfo(UINT action, UINT, PVOID pvParam, UINT) {
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pvParam) return FALSE;
      *static_cast<RECT*>(pvParam) = plat::WorkArea();
      return TRUE;
    case SPI_GETSCREENSAVETIMEOUT:
      if (!pvParam) return FALSE;
      *static_cast<int*>(pvParam) = 0;
      return TRUE;
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETSCREENSAVERRUNNING:
      if (!pvParam) return FALSE;
      *static_cast<BOOL*>(pvParam) = FALSE;
      return TRUE;
    case SPI_SETSCREENSAVEACTIVE:
    case SPI_SCREENSAVERRUNNING:
      // The desktop's screen saver is not the program's to control.
      if (pvParam) *static_cast<BOOL*>(pvParam) = FALSE;
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
  return SystemParametersInfo(action, uiParam, pvParam, winIni);
}

BOOL EnumDisplaySettings(LPCSTR, DWORD modeNumber, DEVMODE* mode) {
  if (!mode) return FALSE;
  if (modeNumber != ENUM_CURRENT_SETTINGS && modeNumber != ENUM_REGISTRY_SETTINGS && modeNumber != 0) return FALSE;
  WORD size = mode->dmSize;
  std::memset(mode, 0, sizeof(DEVMODE));
  mode->dmSize = size ? size : static_cast<WORD>(sizeof(DEVMODE));
  plat::DisplaySettings settings = plat::CurrentDisplaySettings();
  SIZE desktop = plat::DesktopSize();
  std::strncpy(mode->dmDeviceName, "DISPLAY", sizeof(mode->dmDeviceName) - 1);
  mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  mode->dmBitsPerPel = static_cast<DWORD>(plat::BitsPerPixelOf(settings.format));
  mode->dmPelsWidth = static_cast<DWORD>(desktop.cx);
  mode->dmPelsHeight = static_cast<DWORD>(desktop.cy);
  mode->dmDisplayFrequency = settings.refreshHz;
  return TRUE;
}

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNumber, DEVMODE* mode) {
  return EnumDisplaySettings(deviceName, modeNumber, mode);
}

BOOL GetVersionEx(LPOSVERSIONINFO info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFO)) return FALSE;
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  return TRUE;
}

BOOL GetVersionExA(LPOSVERSIONINFO info) { return GetVersionEx(info); }

BOOL GetLastInputInfo(LASTINPUTINFO* info) {
  if (!info || info->cbSize != sizeof(LASTINPUTINFO)) return FALSE;
  // Before any input the session's input counts as now, so idle time starts at zero.
  if (!plat::gAnyInput.load()) plat::NoteUserInput();
  info->dwTime = plat::gLastInput.load();
  return TRUE;
}
