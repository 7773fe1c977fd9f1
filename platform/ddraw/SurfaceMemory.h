// The bytes of a surface's pixels: a vector whose first byte starts a cache line, as display memory
// starts a page. Rows whose pitch is a multiple of 64 bytes then start on a line too, so the row kernels'
// whole-register stores never straddle two lines. Owned by its surface; guarded as the surface is.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "platform/win/Types.h"

namespace plat::ddraw {

template <typename T>
struct CacheLineAllocator {
  static constexpr std::align_val_t kAlignment{64};
  using value_type = T;

  CacheLineAllocator() = default;
  template <typename U>
  explicit CacheLineAllocator(const CacheLineAllocator<U>&) {}

  T* allocate(std::size_t count) { return static_cast<T*>(::operator new(count * sizeof(T), kAlignment)); }
  void deallocate(T* bytes, std::size_t) { ::operator delete(bytes, kAlignment); }

  friend bool operator==(const CacheLineAllocator&, const CacheLineAllocator&) { return true; }
};

using SurfaceMemory = std::vector<BYTE, CacheLineAllocator<BYTE>>;

}  // namespace plat::ddraw
