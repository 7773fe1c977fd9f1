// The entry points of "ddraw.dll".
#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/DirectDraw.h"
#include "platform/win/modules/Modules.h"

namespace {

// The layer has one display adapter: the primary one (a null GUID) and the emulation-only choice
// (DDCREATE_EMULATIONONLY, GUID value 2) both give it. Any other GUID names an adapter not present.
bool KnownDriver(GUID* driver) {
  const auto value = reinterpret_cast<std::uintptr_t>(driver);
  return value == 0 || value == 1 || value == 2;
}

}  // namespace

HRESULT DirectDrawCreate(GUID* driver, LPDIRECTDRAW* directDraw, IUnknown* outer) {
  if (!directDraw) return DDERR_INVALIDPARAMS;
  *directDraw = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!KnownDriver(driver)) return DDERR_INVALIDDIRECTDRAWGUID;
  *directDraw = new plat::ddraw::DirectDraw();
  return DD_OK;
}

HRESULT DirectDrawCreateEx(GUID* driver, LPVOID* directDraw, REFIID iid, IUnknown* outer) {
  if (!directDraw) return DDERR_INVALIDPARAMS;
  *directDraw = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (iid != IID_IDirectDraw7) return DDERR_INVALIDPARAMS;
  if (!KnownDriver(driver)) return DDERR_INVALIDDIRECTDRAWGUID;
  *directDraw = static_cast<IDirectDraw7*>(new plat::ddraw::DirectDraw());
  return DD_OK;
}

namespace plat {

void RegisterDDrawModule() {
  RegisterModule("ddraw.dll", {{"DirectDrawCreate", ExportOf(&DirectDrawCreate)},
                               {"DirectDrawCreateEx", ExportOf(&DirectDrawCreateEx)}});
}

}  // namespace plat
