#include "platform/win/input/Clipboard.h"

#include <SDL.h>

#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/win/system/CodePage.h"
#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/SdlWindow.h"

namespace plat {
namespace {

struct ClipboardState {
  std::mutex lock;
  bool open = false;
  std::thread::id opener;
  bool changed = false;
  std::string text;  // UTF-8; the in-process clipboard and the copy handed to SDL
  bool hasText = false;
  HGLOBAL handedOut[2] = {};  // the blocks GetClipboardData returned, freed when the text changes
};

ClipboardState& State() {
  static ClipboardState state;
  return state;
}

// SDL's clipboard only means something with a real video driver.
bool UsesSdl() {
  if (!SdlVideoStarted() || !IsMainThread()) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

void DropHandedOut(ClipboardState& state) {
  for (HGLOBAL& block : state.handedOut) {
    if (block) GlobalFree(block);
    block = nullptr;
  }
}

bool IsOpenHere(ClipboardState& state) { return state.open && state.opener == std::this_thread::get_id(); }

std::string TextOfBlock(UINT format, HANDLE data) {
  SIZE_T size = GlobalSize(data);
  const auto* bytes = static_cast<const BYTE*>(GlobalLock(data));
  std::string utf8;
  if (!bytes) return utf8;
  if (format == CF_UNICODETEXT) {
    std::size_t units = size / 2;
    std::u16string wide;
    for (std::size_t i = 0; i < units; ++i) {
      char16_t unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
      if (!unit) break;
      wide.push_back(unit);
    }
    for (std::size_t i = 0; i < wide.size(); ++i) {
      char32_t c = wide[i];
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        c = 0xFFFD;
      }
      AppendUtf8(utf8, c);
    }
  } else {
    std::size_t length = strnlen(reinterpret_cast<const char*>(bytes), size);
    utf8 = Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes), length));
  }
  GlobalUnlock(data);
  return utf8;
}

HGLOBAL BlockOfText(UINT format, const std::string& utf8) {
  if (format == CF_UNICODETEXT) {
    std::u16string wide;
    for (std::size_t pos = 0; pos < utf8.size();) {
      char32_t c = NextUtf8(utf8, pos);
      if (c >= 0x10000) {
        wide.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        wide.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        wide.push_back(static_cast<char16_t>(c));
      }
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * 2);
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    for (std::size_t i = 0; i < wide.size(); ++i) {
      bytes[2 * i] = static_cast<BYTE>(wide[i] & 0xFF);
      bytes[2 * i + 1] = static_cast<BYTE>(wide[i] >> 8);
    }
    GlobalUnlock(block);
    return block;
  }
  std::string text = Utf8ToCp1252(utf8);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  return block;
}

bool IsText(UINT format) { return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT; }

}  // namespace
}  // namespace plat

BOOL OpenClipboard(HWND) {
  plat::ClipboardState& state = plat::State();
  std::lock_guard guard(state.lock);
  if (state.open && state.opener != std::this_thread::get_id()) return FALSE;
  state.open = true;
  state.opener = std::this_thread::get_id();
  state.changed = false;
  return TRUE;
}

BOOL CloseClipboard() {
  plat::ClipboardState& state = plat::State();
  std::lock_guard guard(state.lock);
  if (!plat::IsOpenHere(state)) return FALSE;
  state.open = false;
  if (state.changed && plat::UsesSdl()) SDL_SetClipboardText(state.hasText ? state.text.c_str() : "");
  return TRUE;
}

BOOL EmptyClipboard() {
  plat::ClipboardState& state = plat::State();
  std::lock_guard guard(state.lock);
  if (!plat::IsOpenHere(state)) return FALSE;
  state.text.clear();
  state.hasText = false;
  state.changed = true;
  plat::DropHandedOut(state);
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  plat::ClipboardState& state = plat::State();
  std::lock_guard guard(state.lock);
  if (!plat::IsOpenHere(state) || !plat::IsText(format) || !data || !GlobalSize(data)) return nullptr;
  std::string text = plat::TextOfBlock(format, data);
  // Both forms of one copy arrive one after the other; the wide one is the more faithful.
  if (format == CF_UNICODETEXT || !state.hasText || !state.changed) state.text = text;
  state.hasText = true;
  state.changed = true;
  GlobalFree(data);
  return data;
}

HANDLE GetClipboardData(UINT format) {
  plat::ClipboardState& state = plat::State();
  std::lock_guard guard(state.lock);
  if (!plat::IsOpenHere(state) || !plat::IsText(format)) return nullptr;
  if (plat::UsesSdl() && SDL_HasClipboardText()) {
    char* text = SDL_GetClipboardText();
    state.text = text ? text : "";
    state.hasText = true;
    SDL_free(text);
  }
  if (!state.hasText) return nullptr;
  HGLOBAL& slot = state.handedOut[format == CF_UNICODETEXT ? 1 : 0];
  if (slot) GlobalFree(slot);
  slot = plat::BlockOfText(format, state.text);
  return slot;
}
