#include "platform/win/window/WindowTable.h"

#include <algorithm>
#include <cctype>

namespace plat {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// A fixed look for every window, so that AdjustWindowRect and CreateWindowEx agree with each other.
constexpr LONG kBorder = 1;
constexpr LONG kFixedFrame = 3;
constexpr LONG kSizingFrame = 4;
constexpr LONG kCaption = 20;

}  // namespace

bool IsOfClass(const WindowRecord& record, const std::string& className) {
  return Lower(record.windowClass.name) == Lower(className);
}

RECT FrameOf(DWORD style) {
  RECT frame{0, 0, 0, 0};
  LONG edge = 0;
  if (style & WS_THICKFRAME)
    edge = kSizingFrame;
  else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME))
    edge = kFixedFrame;
  else if (style & WS_BORDER)
    edge = kBorder;
  frame.left = frame.right = frame.bottom = frame.top = edge;
  if ((style & WS_CAPTION) == WS_CAPTION) frame.top += kCaption;
  return frame;
}

RECT ClientRectOnScreenOf(const WindowRecord& record) {
  RECT frame = FrameOf(record.style);
  RECT client{record.windowRect.left + frame.left, record.windowRect.top + frame.top,
              record.windowRect.right - frame.right, record.windowRect.bottom - frame.bottom};
  if (client.right < client.left) client.right = client.left;
  if (client.bottom < client.top) client.bottom = client.top;
  return client;
}

WindowTable& WindowTable::Instance() {
  static WindowTable table;
  return table;
}

bool WindowTable::RegisterClass(const WindowClassRecord& windowClass) {
  std::lock_guard guard(mLock);
  return mClasses.emplace(Lower(windowClass.name), windowClass).second;
}

std::optional<WindowClassRecord> WindowTable::FindClass(const std::string& name) {
  std::lock_guard guard(mLock);
  auto it = mClasses.find(Lower(name));
  if (it == mClasses.end()) return std::nullopt;
  return it->second;
}

HWND WindowTable::Add(WindowRecord record) {
  std::lock_guard guard(mLock);
  HWND handle = reinterpret_cast<HWND>(mNextHandle);
  mNextHandle += 0x10;
  record.handle = handle;
  mWindows.emplace(handle, std::move(record));
  return handle;
}

void WindowTable::Remove(HWND window) {
  std::lock_guard guard(mLock);
  mWindows.erase(window);
}

std::optional<WindowRecord> WindowTable::Find(HWND window) {
  std::lock_guard guard(mLock);
  auto it = mWindows.find(window);
  if (it == mWindows.end()) return std::nullopt;
  return it->second;
}

bool WindowTable::Update(HWND window, const std::function<void(WindowRecord&)>& change) {
  std::lock_guard guard(mLock);
  auto it = mWindows.find(window);
  if (it == mWindows.end()) return false;
  change(it->second);
  return true;
}

std::vector<WindowRecord> WindowTable::All() {
  std::lock_guard guard(mLock);
  std::vector<WindowRecord> all;
  all.reserve(mWindows.size());
  for (const auto& [handle, record] : mWindows) all.push_back(record);
  return all;
}

HWND WindowTable::FindBySdl(SDL_Window* sdlWindow) {
  if (!sdlWindow) return nullptr;
  std::lock_guard guard(mLock);
  for (const auto& [handle, record] : mWindows) {
    if (record.sdl == sdlWindow) return handle;
  }
  return nullptr;
}

bool WindowTable::IsWithin(HWND window, HWND ancestor) {
  std::lock_guard guard(mLock);
  for (int depth = 0; window && depth < 64; ++depth) {
    if (window == ancestor) return true;
    auto it = mWindows.find(window);
    window = it == mWindows.end() ? nullptr : it->second.parent;
  }
  return false;
}

HWND WindowTable::FirstNeedingPaint(std::thread::id owner, HWND filter) {
  std::lock_guard guard(mLock);
  for (const auto& [handle, record] : mWindows) {
    if (record.owner != owner || !record.needsPaint || !record.visible) continue;
    if (!filter) return handle;
    for (HWND window = handle; window;) {
      if (window == filter) return handle;
      auto it = mWindows.find(window);
      window = it == mWindows.end() ? nullptr : it->second.parent;
    }
  }
  return nullptr;
}

HWND WindowTable::SdlBacked() {
  std::lock_guard guard(mLock);
  for (const auto& [handle, record] : mWindows) {
    if (record.sdl && !record.painted) return handle;
  }
  return nullptr;
}

std::vector<WindowRecord> WindowTable::ChildrenOf(HWND parent) {
  std::lock_guard guard(mLock);
  std::vector<WindowRecord> children;
  for (const auto& [handle, record] : mWindows) {
    if (record.parent == parent && (record.style & WS_CHILD)) children.push_back(record);
  }
  return children;
}

HWND WindowTable::TopLevelOf(HWND window) {
  std::lock_guard guard(mLock);
  for (int depth = 0; depth < 64; ++depth) {
    auto it = mWindows.find(window);
    if (it == mWindows.end()) return nullptr;
    if (!it->second.parent || !(it->second.style & WS_CHILD)) return window;
    window = it->second.parent;
  }
  return nullptr;
}

}  // namespace plat
