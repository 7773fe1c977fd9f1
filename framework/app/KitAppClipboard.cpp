#include <cstring>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "platform/win/input/Clipboard.h"
#include "platform/win/process/Memory.h"
#include "platform/win/system/CodePage.h"

namespace Kit {

namespace {

// A movable shared block holding the bytes; null when it cannot be had.
HGLOBAL MakeBlock(const void* bytes, std::size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (block == nullptr) return nullptr;
  void* memory = GlobalLock(block);
  if (memory == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(memory, bytes, size);
  GlobalUnlock(block);
  return block;
}

void SetBlock(UINT format, HGLOBAL block) {
  if (block != nullptr && SetClipboardData(format, block) == nullptr) GlobalFree(block);
}

}  // namespace

void KitAppBase::CopyToClipboard(const std::string& text) {
  // A replay leaves the user's clipboard alone.
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying) return;
  if (!OpenClipboard(mHWnd)) return;
  EmptyClipboard();
  SetBlock(CF_TEXT, MakeBlock(text.c_str(), text.size() + 1));
  const int wideCount = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, nullptr, 0);
  if (wideCount > 0) {
    std::vector<WCHAR> wide(static_cast<std::size_t>(wideCount));
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, wide.data(), wideCount) > 0)
      SetBlock(CF_UNICODETEXT, MakeBlock(wide.data(), wide.size() * sizeof(WCHAR)));
  }
  CloseClipboard();
}

std::string KitAppBase::GetClipboard() {
  std::string text;
  if (mDemoStream == nullptr || !mDemoStream->mDemoPlaying) text = ReadClipboardText();
  DemoSyncString(text);
  return text;
}

std::string KitAppBase::ReadClipboardText() {
  std::string text;
  if (!OpenClipboard(mHWnd)) return text;
  HANDLE block = GetClipboardData(CF_TEXT);
  if (block != nullptr) {
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes != nullptr) {
      // Up to the terminator, and never past the block even when it lacks one.
      const SIZE_T size = GlobalSize(block);
      text.assign(bytes, strnlen(bytes, size));
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace Kit
