// What DirectDraw asks of the modules that stand on it: the Direct3D object its QueryInterface hands
// out and the adapter identity (d3d), and the end of a surface device context's GDI state (gdi). ddraw
// stands below both, so the layer's wiring at the top of platform/ (DDrawUpwardCalls.cpp) defines these.
// Callable from any thread that may call the DirectDraw method that makes the call.
#pragma once

#include <memory>

#include "platform/ddraw/DDraw.h"

namespace plat::ddraw {

class DisplayDevice;

// The answer to QueryInterface(IID_IDirect3D7) on a DirectDraw object: an injected fault, or a new
// Direct3D object holding a reference to owner and drawing on device's surfaces.
HRESULT CreateDirect3D(IUnknown* owner, std::shared_ptr<DisplayDevice> device, void** out);

// The display adapter's identifier, which follows what the 3D device can do.
[[nodiscard]] GUID AdapterGuid();

// Drops what the GDI layer keeps for a surface device context that ends (font, colours, clip).
void ForgetGdiState(HDC dc);

}  // namespace plat::ddraw
