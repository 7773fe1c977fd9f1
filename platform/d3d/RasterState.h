// What the software rasteriser draws with: the target memory, the bound texture, and the device's
// states reduced to what each pixel needs. The device fills it for each DrawPrimitive and Clear.
#pragma once

#include <array>
#include <vector>

#include "platform/d3d/D3D.h"
#include "platform/d3d/PixelCodec.h"
#include "platform/ddraw/Blitter.h"

namespace plat::d3d {

// One vertex as the rasteriser takes it: the screen position, colours as 0xAARRGGBB and the texture
// coordinates of stage 0.
struct RasterVertex {
  float x, y;
  DWORD diffuse;
  DWORD specular;
  float u, v;
};

struct TargetMemory {
  ddraw::PixelView view;
  ddraw::PixelLayout layout;
};

struct TextureMemory {
  ddraw::PixelView view;
  ddraw::PixelLayout layout;
  std::array<DWORD, 256> palette{};  // for palettized textures, as 0xAARRGGBB
};

// Texture stage 0, as the device holds it.
struct StageState {
  DWORD colorOp, colorArg1, colorArg2;
  DWORD alphaOp, alphaArg1, alphaArg2;
  DWORD addressU, addressV;
  DWORD borderColor;
  DWORD magFilter, minFilter;
};

struct RasterState {
  const TextureMemory* texture = nullptr;  // null: the texture argument reads as opaque white
  StageState stage{};
  DWORD textureFactor = 0xFFFFFFFF;
  bool blend = false;
  DWORD srcBlend = D3DBLEND_ONE, destBlend = D3DBLEND_ZERO;
  bool alphaTest = false;
  DWORD alphaFunc = D3DCMP_ALWAYS, alphaRef = 0;
  bool flatShading = false;
  bool specular = false;
  DWORD cull = D3DCULL_CCW;
  RECT clip{};  // the viewport inside the target; nothing outside it is written
};

// Whether the stage's operations and arguments are ones the rasteriser carries out; the failure
// names what is not (D3DERR_UNSUPPORTEDCOLOROPERATION, ...).
[[nodiscard]] HRESULT ValidateStage(const StageState& stage);

// Draws count vertices of the primitive type, at once, into target.
void DrawVertices(const TargetMemory& target, const RasterState& state, D3DPRIMITIVETYPE type,
                  const RasterVertex* vertices, size_t count);

// Sets every pixel of area (inside the target) to the colour.
void ClearArea(const TargetMemory& target, const RECT& area, D3DCOLOR color);

}  // namespace plat::d3d
