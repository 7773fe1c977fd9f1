// Releases a COM object of the platform layer when it goes out of scope.
#pragma once

#include <memory>

#include "platform/win/modules/Unknown.h"

namespace testsupport {

struct ComRelease {
  void operator()(IUnknown* object) const {
    if (object) object->Release();
  }
};
template <typename T>
using Com = std::unique_ptr<T, ComRelease>;

// The object's reference count, read without changing it.
inline ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace testsupport
