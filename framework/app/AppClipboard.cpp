// The clipboard's text: set in both the code-page and the wide form, read in the code-page form and
// kept in step with input recordings.
#include <cstring>

#include "framework/app/KitAppBase.h"
#include "platform/win/Clipboard.h"
#include "platform/win/CodePage.h"
#include "platform/win/Memory.h"

namespace Kit {

namespace {

// A movable block holding the bytes; the clipboard takes it over once set.
HGLOBAL BlockWith(const void* bytes, std::size_t length) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length);
  if (block == nullptr) return nullptr;
  void* memory = GlobalLock(block);
  if (memory == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(memory, bytes, length);
  GlobalUnlock(block);
  return block;
}

void SetClipboardBlock(UINT format, HGLOBAL block) {
  if (block != nullptr && SetClipboardData(format, block) == nullptr) GlobalFree(block);
}

}  // namespace

void KitAppBase::CopyToClipboard(const std::string& text) {
  if (mPlayingDemoBuffer) return;
  if (!OpenClipboard(mHWnd)) return;
  EmptyClipboard();
  SetClipboardBlock(CF_TEXT, BlockWith(text.c_str(), text.size() + 1));
  const int wideLength = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, nullptr, 0);
  if (wideLength > 0) {
    std::u16string wide(static_cast<std::size_t>(wideLength), u'\0');
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, wide.data(), wideLength) == wideLength)
      SetClipboardBlock(CF_UNICODETEXT, BlockWith(wide.data(), wide.size() * sizeof(char16_t)));
  }
  CloseClipboard();
}

std::string KitAppBase::GetClipboard() {
  std::string text;
  if (!mPlayingDemoBuffer && OpenClipboard(mHWnd)) {
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block != nullptr) {
      const char* memory = static_cast<const char*>(GlobalLock(block));
      if (memory != nullptr) {
        // Up to the terminator, and never past the block when it has none.
        const std::size_t size = GlobalSize(block);
        text.assign(memory, strnlen(memory, size));
        GlobalUnlock(block);
      }
    }
    CloseClipboard();
  }
  DemoSyncString(text);
  return text;
}

void KitAppBase::DemoSyncString(std::string& text) {
  if (mDemoSync == nullptr) return;
  if (mRecordingDemoBuffer) {
    mDemoSync->WriteRecord(DEMO_SYNC_BUFFER, true);
    mDemoSync->WriteLong(static_cast<std::uint32_t>(text.size()));
    mDemoSync->WriteBytes(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
  } else if (mPlayingDemoBuffer) {
    mDemoSync->ReadRecord(DEMO_SYNC_BUFFER);
    const std::vector<std::uint8_t> bytes = mDemoSync->ReadBytes(mDemoSync->ReadLong());
    text.assign(bytes.begin(), bytes.end());
  }
}

}  // namespace Kit
