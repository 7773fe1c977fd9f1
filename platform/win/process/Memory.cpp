#include "platform/win/process/Memory.h"

#include <mutex>
#include <set>
#include <vector>

#include "platform/win/Errors.h"

namespace {

struct Block {
  std::vector<BYTE> bytes;
  int locks = 0;
};

std::mutex gLock;
std::set<Block*> gBlocks;

Block* Find(HGLOBAL handle) {
  auto* block = static_cast<Block*>(handle);
  return gBlocks.count(block) ? block : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
  auto* block = new Block;
  block->bytes.assign(bytes ? bytes : 1, 0);
  std::lock_guard guard(gLock);
  gBlocks.insert(block);
  return block;
}

LPVOID GlobalLock(HGLOBAL handle) {
  std::lock_guard guard(gLock);
  Block* block = Find(handle);
  if (!block) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++block->locks;
  return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL handle) {
  std::lock_guard guard(gLock);
  Block* block = Find(handle);
  if (!block || block->locks == 0) return FALSE;
  return --block->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL handle) {
  std::lock_guard guard(gLock);
  Block* block = Find(handle);
  return block ? block->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  Block* block;
  {
    std::lock_guard guard(gLock);
    block = Find(handle);
    if (!block) return handle;
    gBlocks.erase(block);
  }
  delete block;
  return nullptr;
}

SIZE_T plat::GlobalBytesFrom(const void* address) {
  const auto* at = static_cast<const BYTE*>(address);
  std::lock_guard guard(gLock);
  for (const Block* block : gBlocks) {
    const BYTE* begin = block->bytes.data();
    const BYTE* end = begin + block->bytes.size();
    if (at >= begin && at < end) return static_cast<SIZE_T>(end - at);
  }
  return 0;
}
