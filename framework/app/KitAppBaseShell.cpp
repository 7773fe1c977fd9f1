// The application's requests to the desktop: opening addresses and documents, reading a file's
// product version, and ending the run.
#include <algorithm>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "platform/shell/Shell.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"

namespace Kit {

bool KitAppBase::OpenURL(const std::string& url, bool shutdownOnOpen) {
  if (mURLOpenPending && mPendingURL == url) return true;
  mURLOpenPending = true;
  mShutdownOnURLOpen = shutdownOnOpen;
  mPendingURL = url;
  mURLOpenStartTime = GetTickCount();
  const auto result =
      reinterpret_cast<LONG_PTR>(ShellExecute(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  URLOpenFailed(url);
  return false;
}

void KitAppBase::URLOpenFailed(const std::string&) { mURLOpenPending = false; }

void KitAppBase::URLOpenSucceeded(const std::string&) {
  mURLOpenPending = false;
  if (mShutdownOnURLOpen) Shutdown();
}

std::string KitAppBase::GetProductVersion(const std::string& path) {
  using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, UINT*);
  if (mVersionDll == nullptr) return "";
  auto getSize = reinterpret_cast<SizeFunction>(GetProcAddress(mVersionDll, "GetFileVersionInfoSizeA"));
  auto getInfo = reinterpret_cast<InfoFunction>(GetProcAddress(mVersionDll, "GetFileVersionInfoA"));
  auto query = reinterpret_cast<QueryFunction>(GetProcAddress(mVersionDll, "VerQueryValueA"));
  if (getSize == nullptr || getInfo == nullptr || query == nullptr) return "";

  DWORD handle = 0;
  const DWORD size = getSize(path.c_str(), &handle);
  if (size == 0) return "";
  std::vector<char> info(size);
  if (!getInfo(path.c_str(), handle, size, info.data())) return "";
  for (const char* key : {"\\StringFileInfo\\040904B0\\ProductVersion", "\\StringFileInfo\\040904E4\\ProductVersion"}) {
    LPVOID value = nullptr;
    UINT length = 0;
    if (!query(info.data(), key, &value, &length) || value == nullptr || length == 0) continue;
    // The value lies inside the block; it need not end in a terminator.
    const char* text = static_cast<const char*>(value);
    const char* blockEnd = info.data() + info.size();
    if (text < info.data() || text >= blockEnd) continue;
    std::size_t available = static_cast<std::size_t>(blockEnd - text);
    std::size_t count = std::min<std::size_t>(length, available);
    std::string version(text, count);
    version.resize(version.find('\0') == std::string::npos ? version.size() : version.find('\0'));
    return version;
  }
  return "";
}

void KitAppBase::ShutdownHook() {}

}  // namespace Kit
