// The Direct3D drawing path: while the display runs with 3D acceleration, every draw into its draw
// surface becomes Direct3D 7 primitives. Images are drawn as textured quads from their texture
// records, rectangles, lines and polygons as untextured primitives; all vertices are pre-transformed
// and pre-lit, with no depth buffer. The first draw of a frame begins the scene, the display ends it
// before it presents the frame. A failed Direct3D call is recorded (lastError and the application's
// "Test3D\RuntimeError") and makes the display leave 3D at its next present.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/d3d/D3DVertexList.h"
#include "framework/graphics/d3d/TextureData.h"
#include "platform/d3d/D3D.h"

namespace Kit {

class Color;
class DDInterface;
class Image;
class ImageHost;
class Matrix3;
class MemoryImage;
struct Point;
struct Rect;
struct TriVertex;

class D3DInterface {
 public:
  // The host receives the text of each failed call, to keep it for the next start.
  explicit D3DInterface(ImageHost* host = nullptr);
  D3DInterface(const D3DInterface&) = delete;
  D3DInterface& operator=(const D3DInterface&) = delete;
  virtual ~D3DInterface();

  // False for success; for a failure records "<action>: <code name>" and returns true.
  bool CheckDXError(HRESULT result, const char* action);
  // Takes the display's DirectDraw object, window, size and draw surface and makes the device.
  bool Init(DDInterface* display);
  bool InitD3D();
  void UpdateViewport();
  // Begins the scene on the first draw of a frame; false when nothing may be drawn (a minimised
  // window, a lost render target).
  bool PreDraw();
  // Ends the frame's scene; its failures are forgotten.
  void Flush();
  void SetDrawMode(int drawMode);
  void SetLinearFilter(bool on);
  void Cleanup();

  // The image's texture record, made and uploaded as needed; false when the image cannot be drawn.
  bool CreateImageTexture(MemoryImage* image);
  void RemoveImageTexture(MemoryImage* image);
  // Writes the image's texels into bits (width x height words); false without textures to read.
  bool RecoverBits(MemoryImage* image, std::uint32_t* bits);

  // Drawing into the draw surface; draw mode 0 blends normally, 1 adds.
  void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
  void BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clipRect, const Color& color,
                int drawMode);
  void BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
  void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clipRect, const Color& color,
                  int drawMode, bool fastStretch, bool mirror);
  void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect* clipRect, const Color& color,
                  int drawMode, double angle, float centerX, float centerY);
  void BltTransformed(Image* image, const Rect* clipRect, const Color& color, int drawMode, const Rect& srcRect,
                      const Matrix3& matrix, bool linear, float x, float y, bool centered);
  // Triangles reaching outside the clip rectangle (when there is one) are cut to it.
  void BltTriangles(const TriVertex (*triangles)[3], int count, const Rect* clipRect, const Color& color, int drawMode,
                    Image* texture, float tx, float ty, bool linear);
  void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
  void FillRect(const Rect& rect, const Color& color, int drawMode);
  void FillPoly(const Point* points, int count, const Rect* clipRect, const Color& color, int drawMode, int tx, int ty);
  // Clips the polygon to the rectangle and draws what is left as one fan with the bound texture.
  void DrawPolyClipped(const Rect& clipRect, D3DVertexList& polygon);

  // A vertex as this path writes it: z 0, rhw 1, no specular colour.
  static D3DTLVERTEX MakeVertex(float x, float y, std::uint32_t color, float tu = 0, float tv = 0);
  static std::uint32_t PackColor(const Color& color);
  // The texture limits the path works with from what the device reports: sides of at most 1024 and
  // at least 1, an aspect ratio of 0 meaning none; a device without a maximum gets 64 x 64 pieces.
  static void TakeTextureLimits(const D3DDEVICEDESC7& desc, TextureCaps& caps);

  ImageHost* mHost;
  HWND mHWnd = nullptr;
  int mWidth = 640;
  int mHeight = 480;
  IDirectDraw7* mDDraw = nullptr;  // the display's, borrowed
  IDirectDrawSurface7* mDrawSurface = nullptr;
  IDirect3D7* mD3D = nullptr;
  IDirect3DDevice7* mDevice = nullptr;
  D3DVIEWPORT7 mViewport{};
  bool mSceneBegun = false;
  std::set<MemoryImage*> mTextureImages;

  // The device's texture limits and the format classes it offers; until a device is made, 64 x 64
  // pieces only.
  TextureCaps mTextureCaps{64, 64, 64, 64, 1, 0};
  bool mLinearFilter = false;
  bool mRenderTargetLost = false;
  std::string mLastError;

 private:
  void DropTexture(MemoryImage* image);
  // PreDraw, the image's textures, the draw mode and the filter: false when the image is not drawn.
  bool PrepareTextured(MemoryImage* image, int drawMode, bool linear);
  // PreDraw, the draw mode and no texture: false when nothing may be drawn.
  bool PrepareUntextured(int drawMode);
  template <typename Interface>
  static void Release(Interface*& object);
};

}  // namespace Kit
