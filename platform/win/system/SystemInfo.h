// What the program asks about the machine: screen metrics, the work area, the desktop's display
// mode, the Windows version and the operating system's, the screen saver (reported inactive), the
// user's last input, and whether anyone can see a window.
#pragma once

#include <string>

#include "platform/win/Types.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXFIXEDFRAME = 7;
constexpr int SM_CYFIXEDFRAME = 8;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CMOUSEBUTTONS = 43;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_CMONITORS = 80;

int GetSystemMetrics(int index);

constexpr UINT SPI_GETSCREENSAVETIMEOUT = 0x000E;
constexpr UINT SPI_GETSCREENSAVEACTIVE = 0x0010;
constexpr UINT SPI_SETSCREENSAVEACTIVE = 0x0011;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_SCREENSAVERRUNNING = 0x0061;
constexpr UINT SPI_GETSCREENSAVERRUNNING = 0x0072;

// The screen saver is reported inactive and not running, its timeout as 0; the work area is the
// desktop less the panels the desktop reserves.
BOOL SystemParametersInfo(UINT action, UINT uiParam, PVOID pvParam, UINT winIni);
BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni);

struct DEVMODE {
  CHAR dmDeviceName[32];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  DWORD dmDisplayFlags;
  DWORD dmDisplayFrequency;
};
using DEVMODEA = DEVMODE;

constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
constexpr DWORD ENUM_CURRENT_SETTINGS = 0xFFFFFFFFu;
constexpr DWORD ENUM_REGISTRY_SETTINGS = 0xFFFFFFFEu;

// Reports the desktop's mode (the same one DirectDraw reports) for the current and registry
// settings and as the only entry of the mode list.
BOOL EnumDisplaySettings(LPCSTR deviceName, DWORD modeNumber, DEVMODE* mode);
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNumber, DEVMODE* mode);

struct OSVERSIONINFO {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using OSVERSIONINFOA = OSVERSIONINFO;
using LPOSVERSIONINFO = OSVERSIONINFO*;

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// An NT-family system (5.1), so that nothing takes the Windows 95/98 paths.
BOOL GetVersionEx(LPOSVERSIONINFO info);
BOOL GetVersionExA(LPOSVERSIONINFO info);

struct LASTINPUTINFO {
  UINT cbSize;
  DWORD dwTime;
};

// The tick count (GetTickCount) of the user's last keyboard or mouse input. Also "user32.dll"'s
// export of the same name, which the program looks up at run time.
BOOL GetLastInputInfo(LASTINPUTINFO* info);

namespace plat {

// The input translation notes each user input here.
void NoteUserInput();
// The desktop size in pixels as the layer reports it everywhere.
[[nodiscard]] SIZE DesktopSize();
// Whether windows reach a screen: false on SDL's dummy and offscreen drivers (tests, scripts, CI), or
// for a process that has no display to start on. Starts nothing.
[[nodiscard]] bool DisplayIsVisible();
// The operating system's name, release, version and machine, separated by blanks; empty when unknown.
[[nodiscard]] std::string OperatingSystemVersion();

}  // namespace plat
