#include "platform/win/window/PaintedWindows.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/WindowPixels.h"

namespace plat {
namespace {

struct Painted {
  std::thread::id owner;
  bool dirty = true;
  bool presentQueued = false;
  WindowPixels shown;
  SDL_Window* sdl = nullptr;  // main thread only
};

struct PaintedState {
  std::mutex lock;
  std::map<HWND, Painted> windows;
};

PaintedState& State() {
  static PaintedState state;
  return state;
}

std::atomic<WindowComposer> gComposer{nullptr};

// Draws the window's client area afresh, on the window's thread.
WindowPixels Compose(HWND window) {
  const WindowComposer composer = gComposer.load();
  return composer ? composer(window) : WindowPixels{};
}

void RunOnMainThread(std::function<void()> work) {
  if (IsMainThread())
    work();
  else
    PostToMainThread(std::move(work));
}

// Main thread: the SDL window shows the last composed frame.
void Present(HWND window) {
  PaintedState& state = State();
  std::lock_guard guard(state.lock);
  auto it = state.windows.find(window);
  if (it == state.windows.end()) return;
  Painted& painted = it->second;
  painted.presentQueued = false;
  const WindowPixels& shown = painted.shown;
  if (!painted.sdl || shown.argb.empty()) return;
  SDL_Surface* surface = SDL_GetWindowSurface(painted.sdl);
  if (!surface) return;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  const int width = std::min(surface->w, shown.width);
  const int height = std::min(surface->h, shown.height);
  SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_ARGB8888, shown.argb.data(), shown.width * 4,
                    surface->format->format, surface->pixels, surface->pitch);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  SDL_UpdateWindowSurface(painted.sdl);
}

// Main thread: the SDL window is made, placed, titled, shown or hidden as the record says.
void Sync(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  if (!record || !EnsureSdlVideo()) return;
  const RECT client = ClientRectOnScreenOf(*record);
  const int width = std::clamp(static_cast<int>(client.right - client.left), 1, kLargestPaintedSide);
  const int height = std::clamp(static_cast<int>(client.bottom - client.top), 1, kLargestPaintedSide);
  {
    PaintedState& state = State();
    std::lock_guard guard(state.lock);
    auto it = state.windows.find(window);
    if (it == state.windows.end()) return;
    Painted& painted = it->second;
    if (!painted.sdl) {
      if (!record->visible) return;  // made when first shown
      Uint32 flags = SDL_WINDOW_HIDDEN;
      if ((record->style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
      if (record->exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
      painted.sdl = SDL_CreateWindow(record->title.c_str(), client.left, client.top, width, height, flags);
      if (!painted.sdl) return;
      // An owned window stays above its owner, as on Windows: the window manager keeps a transient
      // one there, also when the owner, waiting on it, is clicked. SDL may make the window anew for
      // its surface (with a GL renderer behind it), which would drop that, so the surface comes first.
      if (record->parent && SDL_GetWindowSurface(painted.sdl)) {
        if (SDL_Window* owner = SdlWindowOf(WindowTable::Instance().TopLevelOf(record->parent)))
          SDL_SetWindowModalFor(painted.sdl, owner);
      }
      SDL_Window* sdl = painted.sdl;
      WindowTable::Instance().Update(window, [sdl](WindowRecord& r) { r.sdl = sdl; });
    }
    SDL_Window* sdl = painted.sdl;
    if (std::string(SDL_GetWindowTitle(sdl)) != record->title) SDL_SetWindowTitle(sdl, record->title.c_str());
    int x, y, w, h;
    SDL_GetWindowPosition(sdl, &x, &y);
    if (x != client.left || y != client.top) SDL_SetWindowPosition(sdl, client.left, client.top);
    SDL_GetWindowSize(sdl, &w, &h);
    if (w != width || h != height) SDL_SetWindowSize(sdl, width, height);
    const bool shown = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN) != 0;
    if (record->visible && !shown) SDL_ShowWindow(sdl);
    if (!record->visible && shown) SDL_HideWindow(sdl);
  }
  Present(window);
}

}  // namespace

void SetWindowComposer(WindowComposer composer) { gComposer = composer; }

bool WantsPainting(const WindowRecord& record) {
  return !(record.style & WS_CHILD) && record.windowClass.background != nullptr;
}

void AddPaintedWindow(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  if (!record) return;
  PaintedState& state = State();
  std::lock_guard guard(state.lock);
  state.windows[window].owner = record->owner;
}

void RepaintLater(HWND window) {
  HWND top = WindowTable::Instance().TopLevelOf(window);
  if (!top) return;
  PaintedState& state = State();
  std::lock_guard guard(state.lock);
  auto it = state.windows.find(top);
  if (it != state.windows.end()) it->second.dirty = true;
}

void SyncPaintedWindow(HWND window) {
  {
    PaintedState& state = State();
    std::lock_guard guard(state.lock);
    auto it = state.windows.find(window);
    if (it == state.windows.end()) return;
    it->second.dirty = true;
  }
  RunOnMainThread([window] { Sync(window); });
}

void RemovePaintedWindow(HWND window) {
  SDL_Window* sdl = nullptr;
  {
    PaintedState& state = State();
    std::lock_guard guard(state.lock);
    auto it = state.windows.find(window);
    if (it == state.windows.end()) return;
    sdl = it->second.sdl;
    state.windows.erase(it);
  }
  if (sdl) RunOnMainThread([sdl] { SDL_DestroyWindow(sdl); });
}

void PaintChangedWindows() {
  const std::thread::id self = std::this_thread::get_id();
  std::vector<HWND> changed;
  {
    PaintedState& state = State();
    std::lock_guard guard(state.lock);
    for (auto& [window, painted] : state.windows) {
      if (painted.owner != self || !painted.dirty) continue;
      painted.dirty = false;
      changed.push_back(window);
    }
  }
  for (HWND window : changed) {
    WindowPixels pixels = Compose(window);
    bool post = false;
    {
      PaintedState& state = State();
      std::lock_guard guard(state.lock);
      auto it = state.windows.find(window);
      if (it == state.windows.end()) continue;
      it->second.shown = std::move(pixels);
      post = !it->second.presentQueued;
      it->second.presentQueued = true;
    }
    if (post) RunOnMainThread([window] { Present(window); });
  }
}

bool ReadWindowPixels(HWND window, WindowPixels* pixels) {
  if (!pixels) return false;
  {
    PaintedState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.windows.count(window)) return false;
  }
  PaintChangedWindows();
  PaintedState& state = State();
  std::lock_guard guard(state.lock);
  auto it = state.windows.find(window);
  if (it == state.windows.end()) return false;
  *pixels = it->second.shown;
  return true;
}

}  // namespace plat

bool plat::ReadSdlWindowPixels(HWND window, WindowPixels* pixels) {
  if (!pixels || !IsMainThread()) return false;
  PaintedState& state = State();
  std::lock_guard guard(state.lock);
  auto it = state.windows.find(window);
  if (it == state.windows.end() || !it->second.sdl) return false;
  SDL_Surface* surface = SDL_GetWindowSurface(it->second.sdl);
  if (!surface) return false;
  pixels->width = surface->w;
  pixels->height = surface->h;
  pixels->argb.assign(static_cast<std::size_t>(surface->w) * surface->h, 0);
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
                    SDL_PIXELFORMAT_ARGB8888, pixels->argb.data(), surface->w * 4);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  for (std::uint32_t& pixel : pixels->argb) pixel |= 0xFF000000u;
  return true;
}
