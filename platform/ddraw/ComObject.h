// An object of the layer behind one interface, with COM's rules: the count starts at 1, AddRef and
// Release return the new count, Release deletes the object at 0, and QueryInterface answers the
// interface's own identifier and IUnknown's.
#pragma once

#include <atomic>

#include "platform/ddraw/InterfaceIds.h"

namespace plat::ddraw {

template <class Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const GUID& id) : mId(id) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != mId && iid != kIUnknownId) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return ++mRefs; }
  ULONG Release() override {
    const ULONG left = --mRefs;
    if (left == 0) delete this;
    return left;
  }

 private:
  const GUID mId;
  std::atomic<ULONG> mRefs{1};
};

}  // namespace plat::ddraw
