// The DirectDraw object, seen through IDirectDraw and IDirectDraw7.
#pragma once

#include <atomic>
#include <memory>

#include "platform/ddraw/DDraw.h"

namespace plat::ddraw {

class DisplayDevice;

class DirectDraw final : public IDirectDraw, public IDirectDraw7 {
 public:
  DirectDraw();

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // Shared by both faces
  HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override;
  HRESULT FlipToGDISurface() override;
  HRESULT GetMonitorFrequency(LPDWORD frequency) override;
  HRESULT GetScanLine(LPDWORD scanLine) override;
  HRESULT RestoreDisplayMode() override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;

  // IDirectDraw
  HRESULT CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer) override;
  HRESULT GetDisplayMode(LPDDSURFACEDESC desc) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;

  // IDirectDraw7
  HRESULT CreatePalette(DWORD flags, LPPALETTEENTRY entries, IDirectDrawPalette** palette, IUnknown* outer) override;
  HRESULT CreateSurface(LPDDSURFACEDESC2 desc, IDirectDrawSurface7** surface, IUnknown* outer) override;
  HRESULT GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) override;
  HRESULT GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) override;
  HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) override;

 private:
  ~DirectDraw() override;
  DDSURFACEDESC2 DescribeMode() const;

  std::atomic<ULONG> mRefs{1};
  std::shared_ptr<DisplayDevice> mDevice;
};

}  // namespace plat::ddraw
