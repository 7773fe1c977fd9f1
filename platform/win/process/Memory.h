// Movable global memory blocks, as the clipboard exchanges them.
#pragma once

#include "platform/win/Types.h"

using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Blocks are always zero-filled. Unknown handles are refused (null, 0 or FALSE), never followed.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
SIZE_T GlobalSize(HGLOBAL block);
// Null on success, the block itself on failure.
HGLOBAL GlobalFree(HGLOBAL block);

namespace plat {

// The bytes from address to the end of the live block that holds it (a pointer GlobalLock gave, or
// one into its data); 0 when the address lies in no block.
[[nodiscard]] SIZE_T GlobalBytesFrom(const void* address);

}  // namespace plat
