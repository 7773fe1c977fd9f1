#include "tests/support/DirectDrawObject.h"

#include "platform/win/modules/Modules.h"

namespace testsupport {

IDirectDraw7* CreateDirectDraw7() {
  HMODULE module = LoadLibrary("ddraw.dll");
  if (!module) return nullptr;
  void* object = nullptr;
  auto create = reinterpret_cast<LPDIRECTDRAWCREATEEX>(GetProcAddress(module, "DirectDrawCreateEx"));
  if (create && create(nullptr, &object, IID_IDirectDraw7, nullptr) != DD_OK) object = nullptr;
  FreeLibrary(module);
  return static_cast<IDirectDraw7*>(object);
}

}  // namespace testsupport
