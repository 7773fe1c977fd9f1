// The Direct3D textures of one image: the image cut into a grid of texture pieces whose sizes the
// device accepts, one texel format for all of them, uploaded again when the image's pixels change,
// and read back when the image has dropped its own copy.
#pragma once

#include <vector>

#include "platform/d3d/D3D.h"

namespace Kit {

class MemoryImage;

// What the device allows for textures, and the format classes it offers (a TextureFormatClass mask).
struct TextureCaps {
  int mMinTextureWidth = 1, mMinTextureHeight = 1;
  int mMaxTextureWidth = 1024, mMaxTextureHeight = 1024;
  int mMaxTextureAspectRatio = 8;
  int mSupportedTextureFormats = 0;
};

// The bits of an image's mD3DFlags.
enum D3DImageFlags {
  MinSubdivide = 1,   // regular pieces are the next power of two of the image size
  Fixed64Pieces = 2,  // every piece 64 x 64
  UseA4R4G4B4 = 4,    // prefer A4R4G4B4 to A8R8G8B8
  UseA8R8G8B8 = 8,    // never R5G6B5
};

class TextureData {
 public:
  struct Piece {
    IDirectDrawSurface7* mSurface = nullptr;
    int mWidth = 0, mHeight = 0;
  };

  TextureData() = default;
  TextureData(const TextureData&) = delete;
  TextureData& operator=(const TextureData&) = delete;
  ~TextureData();

  // The preferred piece size for an image side of 0..1023.
  static int PreferredPieceSize(int size);
  static void GetBestTextureDimensions(int& width, int& height, bool isEdge, bool usePow2, int imageFlags,
                                       const TextureCaps& caps);
  void CreateTextureDimensions(const MemoryImage& image, const TextureCaps& caps);
  // The format class for the image's pixels (step of CreateTextures without the palette).
  static int ChooseFormat(const MemoryImage& image, const TextureCaps& caps, bool palettized);

  // Uploads the image unless its size, pixels and flags are those of the last upload.
  void CheckCreateTextures(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* ddraw, TextureCaps& caps);
  void CreateTextures(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* ddraw, TextureCaps& caps);
  static IDirectDrawSurface7* CreateTextureSurface(IDirect3DDevice7* device, IDirectDraw7* ddraw, int width, int height,
                                                   int formatClass);
  static void CopyImageToTexture(IDirectDrawSurface7* surface, MemoryImage* image, int x, int y, int width, int height,
                                 int formatClass);
  // The piece holding image point (x, y); width and height shrink to the part inside it.
  IDirectDrawSurface7* GetTexture(int x, int y, int& width, int& height, float& tu1, float& tv1, float& tu2,
                                  float& tv2) const;
  // Writes the pieces' texels into bits (the image's width x height words); false when a piece
  // cannot be read.
  bool RecoverBits(std::uint32_t* bits) const;
  void ReleaseTextures();

  std::vector<Piece> mPieces;
  IDirectDrawPalette* mPalette = nullptr;
  int mWidth = 0, mHeight = 0;
  int mTexGridWidth = 0, mTexGridHeight = 0;
  int mTexPieceWidth = 64, mTexPieceHeight = 64;
  int mBitsChangedCount = 0;
  int mTexMemSize = 0;
  float mMaxTotalU = 0, mMaxTotalV = 0;
  int mPixelFormat = 0;
  int mImageFlags = 0;
  bool mUploadedOnce = false;  // an upload has succeeded: the image may drop its own pixels

 private:
  IDirectDrawPalette* CreatePalette(const MemoryImage& image, IDirectDraw7* ddraw, TextureCaps& caps);
};

}  // namespace Kit
