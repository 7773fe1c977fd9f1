#include "platform/win/input/Cursor.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/win/window/IconResources.h"
#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

struct CursorRecord {
  int systemId = 0;
  int hotX = 0, hotY = 0, width = 0, height = 0;
  std::vector<BYTE> andMask, xorMask;
  SDL_Cursor* sdl = nullptr;  // made on the main thread when first shown
};

struct CursorModel {
  CursorModel() {
    // The pointer starts as the arrow, as over any window whose program has not chosen yet.
    auto arrow = std::make_unique<CursorRecord>();
    arrow->systemId = 32512;
    current = reinterpret_cast<HCURSOR>(arrow.get());
    system.push_back(std::move(arrow));
  }
  std::mutex lock;
  std::set<CursorRecord*> masks;
  // Shared system cursors: their handles stay valid for the whole process, and go with the model at exit.
  std::vector<std::unique_ptr<CursorRecord>> system;
  HCURSOR current = nullptr;
};

CursorModel& Model() {
  static CursorModel model;
  return model;
}

// The pointer's screen position, x in the high and y in the low 32 bits: one value, so that a reader
// on another thread never pairs a new x with an old y.
std::atomic<std::uint64_t> gPointer{0};

void StorePointer(LONG x, LONG y) {
  gPointer.store((static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y));
}

constexpr int kSystemIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643, 32644, 32645, 32646, 32648, 32649};

SDL_SystemCursor SdlSystemCursor(int id) {
  switch (id) {
    case 32513:
      return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514:
      return SDL_SYSTEM_CURSOR_WAIT;
    case 32515:
      return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642:
      return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643:
      return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644:
      return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645:
      return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646:
      return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648:
      return SDL_SYSTEM_CURSOR_NO;
    case 32649:
      return SDL_SYSTEM_CURSOR_HAND;
    default:
      return SDL_SYSTEM_CURSOR_ARROW;
  }
}

bool MaskBit(const std::vector<BYTE>& mask, int width, int x, int y) {
  int stride = ((width + 15) / 16) * 2;
  std::size_t index = static_cast<std::size_t>(y * stride + x / 8);
  return index < mask.size() && (mask[index] & (0x80 >> (x % 8)));
}

SDL_Cursor* MakeSdlCursor(CursorRecord& record) {
  if (record.systemId) return SDL_CreateSystemCursor(SdlSystemCursor(record.systemId));
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, record.width, record.height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return nullptr;
  auto* pixels = static_cast<Uint32*>(surface->pixels);
  for (int y = 0; y < record.height; ++y) {
    for (int x = 0; x < record.width; ++x) {
      bool andBit = MaskBit(record.andMask, record.width, x, y);
      bool xorBit = MaskBit(record.xorMask, record.width, x, y);
      // Screen-inverting pixels have no SDL equivalent; black keeps them visible on light and dark.
      Uint32 colour = !andBit ? (xorBit ? 0xFFFFFFFFu : 0xFF000000u) : (xorBit ? 0xFF000000u : 0u);
      pixels[y * (surface->pitch / 4) + x] = colour;
    }
  }
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, record.hotX, record.hotY);
  SDL_FreeSurface(surface);
  return cursor;
}

// Mirrors the model onto SDL; main thread only.
void ApplyToSdl() {
  if (!SdlVideoStarted()) return;
  CursorModel& model = Model();
  std::lock_guard guard(model.lock);
  auto* record = reinterpret_cast<CursorRecord*>(model.current);
  bool shown = record != nullptr;
  if (record) {
    if (!record->sdl) record->sdl = MakeSdlCursor(*record);
    if (record->sdl) SDL_SetCursor(record->sdl);
  }
  SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

void ApplySoon() {
  if (IsMainThread())
    ApplyToSdl();
  else
    PostToMainThread(ApplyToSdl);
}

}  // namespace

int SystemCursorId(HCURSOR cursor) {
  auto* record = reinterpret_cast<CursorRecord*>(cursor);
  CursorModel& model = Model();
  std::lock_guard guard(model.lock);
  bool isSystem = std::any_of(model.system.begin(), model.system.end(),
                              [record](const auto& owned) { return owned.get() == record; });
  if (!isSystem) return 0;
  return record->systemId;
}

bool IsMaskCursor(HCURSOR cursor) {
  CursorModel& model = Model();
  std::lock_guard guard(model.lock);
  return model.masks.count(reinterpret_cast<CursorRecord*>(cursor)) > 0;
}

void SetPointerPositionFromInput(POINT screen) { StorePointer(screen.x, screen.y); }

}  // namespace plat

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
  if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
  int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
  if (std::find(std::begin(plat::kSystemIds), std::end(plat::kSystemIds), id) == std::end(plat::kSystemIds))
    return nullptr;
  plat::CursorModel& model = plat::Model();
  std::lock_guard guard(model.lock);
  for (const auto& record : model.system) {
    if (record->systemId == id) return reinterpret_cast<HCURSOR>(record.get());
  }
  auto record = std::make_unique<plat::CursorRecord>();
  record->systemId = id;
  auto handle = reinterpret_cast<HCURSOR>(record.get());
  model.system.push_back(std::move(record));
  return handle;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) { return LoadCursor(instance, name); }

HICON LoadIcon(HINSTANCE instance, LPCSTR name) {
  static char systemIcons[5];
  const auto id = reinterpret_cast<ULONG_PTR>(name);
  if (!instance && IS_INTRESOURCE(name) && id >= 32512 && id <= 32516)
    return reinterpret_cast<HICON>(&systemIcons[id - 32512]);
  if (instance && name && !IS_INTRESOURCE(name)) return plat::LoadIconResource(name);
  return nullptr;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) { return LoadIcon(instance, name); }

HCURSOR CreateCursor(HINSTANCE, int hotX, int hotY, int width, int height, const void* andMask, const void* xorMask) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256 || !andMask || !xorMask) return nullptr;
  std::size_t bytes = static_cast<std::size_t>(((width + 15) / 16) * 2 * height);
  auto* record = new plat::CursorRecord;
  record->hotX = std::clamp(hotX, 0, width - 1);
  record->hotY = std::clamp(hotY, 0, height - 1);
  record->width = width;
  record->height = height;
  record->andMask.assign(static_cast<const BYTE*>(andMask), static_cast<const BYTE*>(andMask) + bytes);
  record->xorMask.assign(static_cast<const BYTE*>(xorMask), static_cast<const BYTE*>(xorMask) + bytes);
  plat::CursorModel& model = plat::Model();
  std::lock_guard guard(model.lock);
  model.masks.insert(record);
  return reinterpret_cast<HCURSOR>(record);
}

BOOL DestroyCursor(HCURSOR cursor) {
  auto* record = reinterpret_cast<plat::CursorRecord*>(cursor);
  plat::CursorModel& model = plat::Model();
  {
    std::lock_guard guard(model.lock);
    if (!model.masks.erase(record)) return FALSE;  // unknown, or a shared system cursor
    if (model.current == cursor) model.current = nullptr;
  }
  SDL_Cursor* sdl = record->sdl;
  delete record;
  if (sdl) {
    plat::PostToMainThread([sdl] { SDL_FreeCursor(sdl); });
  }
  plat::ApplySoon();
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous;
  {
    plat::CursorModel& model = plat::Model();
    std::lock_guard guard(model.lock);
    previous = model.current;
    model.current = cursor;
  }
  if (previous != cursor) plat::ApplySoon();
  return previous;
}

HCURSOR GetCursor() {
  plat::CursorModel& model = plat::Model();
  std::lock_guard guard(model.lock);
  return model.current;
}

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  const std::uint64_t pointer = plat::gPointer.load();
  point->x = static_cast<LONG>(static_cast<std::int32_t>(pointer >> 32));
  point->y = static_cast<LONG>(static_cast<std::int32_t>(pointer & 0xFFFFFFFFu));
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  plat::StorePointer(x, y);
  HWND main = plat::WindowTable::Instance().SdlBacked();
  RECT client;
  if (main && plat::GetClientRectOnScreen(main, &client) && x >= client.left && x < client.right && y >= client.top &&
      y < client.bottom) {
    int cx = x - client.left, cy = y - client.top;
    plat::PostToMainThread([main, cx, cy] {
      if (SDL_Window* sdl = plat::SdlWindowOf(main)) SDL_WarpMouseInWindow(sdl, cx, cy);
    });
  }
  return TRUE;
}
