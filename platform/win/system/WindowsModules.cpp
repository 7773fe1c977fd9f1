// The layer's "user32.dll" and "version.dll": the entry points the program looks up by name.
#include "platform/win/system/WindowsModules.h"
#include "platform/win/Errors.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/system/SystemInfo.h"

namespace {

constexpr DWORD kNoVersionResource = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND

// Linux executables carry no version resource, so every file answers "none", which the program
// handles as an empty product version.
DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR, LPDWORD handle) {
  if (handle) *handle = 0;
  SetLastError(kNoVersionResource);
  return 0;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) {
  SetLastError(kNoVersionResource);
  return FALSE;
}

BOOL WINAPI VerQueryValueA(LPCVOID, LPCSTR, LPVOID* buffer, UINT* length) {
  if (buffer) *buffer = nullptr;
  if (length) *length = 0;
  return FALSE;
}

}  // namespace

namespace plat {

void RegisterWindowsModules() {
  RegisterModule("user32.dll", {{"GetLastInputInfo", ExportOf(&::GetLastInputInfo)}});
  RegisterModule("version.dll", {{"GetFileVersionInfoSizeA", ExportOf(&GetFileVersionInfoSizeA)},
                                 {"GetFileVersionInfoA", ExportOf(&GetFileVersionInfoA)},
                                 {"VerQueryValueA", ExportOf(&VerQueryValueA)}});
}

}  // namespace plat
