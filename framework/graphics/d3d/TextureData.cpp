#include "framework/graphics/d3d/TextureData.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/d3d/TextureFormat.h"

namespace Kit {
namespace {

constexpr int kSizeTableLength = 1024;
constexpr int kMaxWaste = 64;

bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

int RoundUpToPowerOfTwo(int value) {
  int power = 1;
  while (power < value) power <<= 1;
  return power;
}

const std::array<int, kSizeTableLength>& SizeTable() {
  static const std::array<int, kSizeTableLength> table = [] {
    std::array<int, kSizeTableLength> sizes{};
    for (int i = 0; i < kSizeTableLength; ++i) {
      int p = RoundUpToPowerOfTwo(i);
      if (p - i > kMaxWaste) {
        do p >>= 1;
        while (p > 1 && i % p >= kMaxWaste && !IsPowerOfTwo(i % p));
      }
      sizes[i] = p;
    }
    return sizes;
  }();
  return table;
}

int BytesPerTexel(int formatClass) {
  switch (formatClass) {
    case TEXFMT_A8R8G8B8:
      return 4;
    case TEXFMT_PALETTE8:
      return 1;
    default:
      return 2;
  }
}

// The DirectDraw surface locked for the lifetime of the guard.
class TextureLock {
 public:
  TextureLock(IDirectDrawSurface7* surface, DWORD flags) : mSurface(surface) {
    mDesc.dwSize = sizeof(mDesc);
    mLocked = surface && surface->Lock(nullptr, &mDesc, flags, nullptr) == DD_OK;
  }
  ~TextureLock() {
    if (mLocked) mSurface->Unlock(nullptr);
  }
  TextureLock(const TextureLock&) = delete;
  TextureLock& operator=(const TextureLock&) = delete;

  bool Locked() const { return mLocked; }
  BYTE* Row(int row) const { return static_cast<BYTE*>(mDesc.lpSurface) + row * mDesc.lPitch; }
  const DDSURFACEDESC2& Desc() const { return mDesc; }

 private:
  IDirectDrawSurface7* mSurface;
  DDSURFACEDESC2 mDesc{};
  bool mLocked = false;
};

std::uint32_t ArgbFromTexel(int formatClass, DWORD t, const PALETTEENTRY* palette) {
  switch (formatClass) {
    case TEXFMT_A8R8G8B8:
      return t;
    case TEXFMT_A4R4G4B4:
      // The alpha nibble is kept (widened so that 0xF stays opaque); colours take the high nibble.
      return ((t & 0xF000) * 0x11000) | ((t & 0x0F00) << 12) | ((t & 0x00F0) << 8) | ((t & 0x000F) << 4);
    case TEXFMT_R5G6B5:
      return 0xFF000000 | ((t & 0xF800) << 8) | ((t & 0x07E0) << 5) | ((t & 0x001F) << 3);
    default: {
      const PALETTEENTRY& e = palette[t & 0xFF];
      return (std::uint32_t{e.peFlags} << 24) | (std::uint32_t{e.peRed} << 16) | (std::uint32_t{e.peGreen} << 8) |
             e.peBlue;
    }
  }
}

}  // namespace

TextureData::~TextureData() { ReleaseTextures(); }

int TextureData::PreferredPieceSize(int size) { return SizeTable().at(size); }

void TextureData::GetBestTextureDimensions(int& width, int& height, bool isEdge, bool usePow2, int imageFlags,
                                           const TextureCaps& caps) {
  if (imageFlags & Fixed64Pieces) {
    width = height = 64;
    return;
  }
  if (usePow2) {
    const bool exact = isEdge || (imageFlags & MinSubdivide);
    auto best = [exact](int size, int max) {
      if (size >= max) return max;
      return exact ? RoundUpToPowerOfTwo(size) : PreferredPieceSize(size);
    };
    width = best(width, caps.mMaxTextureWidth);
    height = best(height, caps.mMaxTextureHeight);
  }
  width = std::max(width, caps.mMinTextureWidth);
  height = std::max(height, caps.mMinTextureHeight);
  if (width > caps.mMaxTextureAspectRatio * height) {
    while (width > caps.mMaxTextureAspectRatio * height) height *= 2;
  } else {
    while (height > caps.mMaxTextureAspectRatio * width) width *= 2;
  }
}

void TextureData::CreateTextureDimensions(const MemoryImage& image, const TextureCaps& caps) {
  const int w = image.mWidth, h = image.mHeight;
  mTexPieceWidth = w;
  mTexPieceHeight = h;
  GetBestTextureDimensions(mTexPieceWidth, mTexPieceHeight, false, true, image.mD3DFlags, caps);

  int rightWidth = w % mTexPieceWidth, rightHeight = mTexPieceHeight;
  if (rightWidth == 0)
    rightWidth = mTexPieceWidth;
  else
    GetBestTextureDimensions(rightWidth, rightHeight, true, true, image.mD3DFlags, caps);
  int bottomWidth = mTexPieceWidth, bottomHeight = h % mTexPieceHeight;
  if (bottomHeight == 0)
    bottomHeight = mTexPieceHeight;
  else
    GetBestTextureDimensions(bottomWidth, bottomHeight, true, true, image.mD3DFlags, caps);
  int cornerWidth = rightWidth, cornerHeight = bottomHeight;
  GetBestTextureDimensions(cornerWidth, cornerHeight, true, true, image.mD3DFlags, caps);

  mTexGridWidth = (w + mTexPieceWidth - 1) / mTexPieceWidth;
  mTexGridHeight = (h + mTexPieceHeight - 1) / mTexPieceHeight;
  mPieces.assign(static_cast<std::size_t>(mTexGridWidth) * mTexGridHeight, {nullptr, mTexPieceWidth, mTexPieceHeight});
  for (int row = 0; row < mTexGridHeight; ++row)
    mPieces[row * mTexGridWidth + mTexGridWidth - 1] = {nullptr, rightWidth, rightHeight};
  for (int column = 0; column < mTexGridWidth; ++column)
    mPieces[(mTexGridHeight - 1) * mTexGridWidth + column] = {nullptr, bottomWidth, bottomHeight};
  if (!mPieces.empty()) mPieces.back() = {nullptr, cornerWidth, cornerHeight};
  mMaxTotalU = static_cast<float>(w) / static_cast<float>(mTexPieceWidth);
  mMaxTotalV = static_cast<float>(h) / static_cast<float>(mTexPieceHeight);
}

int TextureData::ChooseFormat(const MemoryImage& image, const TextureCaps& caps, bool palettized) {
  int format = TEXFMT_A8R8G8B8;
  if (!image.mHasAlpha && !image.mHasTrans && (caps.mSupportedTextureFormats & TEXFMT_R5G6B5) &&
      !(image.mD3DFlags & UseA8R8G8B8))
    format = TEXFMT_R5G6B5;
  if (palettized) format = TEXFMT_PALETTE8;
  if (format == TEXFMT_A8R8G8B8 &&
      (((image.mD3DFlags & UseA4R4G4B4) && (caps.mSupportedTextureFormats & TEXFMT_A4R4G4B4)) ||
       !(caps.mSupportedTextureFormats & TEXFMT_A8R8G8B8)))
    format = TEXFMT_A4R4G4B4;
  return format;
}

IDirectDrawPalette* TextureData::CreatePalette(const MemoryImage& image, IDirectDraw7* ddraw, TextureCaps& caps) {
  if (!image.mColorTable || !(caps.mSupportedTextureFormats & TEXFMT_PALETTE8)) return nullptr;
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t c = image.mColorTable[i];
    entries[i] = {static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c),
                  static_cast<BYTE>(c >> 24)};
  }
  IDirectDrawPalette* palette = nullptr;
  if (ddraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA, entries, &palette, nullptr) != DD_OK) {
    caps.mSupportedTextureFormats &= ~TEXFMT_PALETTE8;  // for the rest of the run
    return nullptr;
  }
  return palette;
}

void TextureData::CheckCreateTextures(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* ddraw,
                                      TextureCaps& caps) {
  if (mPixelFormat != 0 && image->mWidth == mWidth && image->mHeight == mHeight &&
      image->mBitsChangedCount == mBitsChangedCount && image->mD3DFlags == mImageFlags)
    return;
  CreateTextures(image, device, ddraw, caps);
}

void TextureData::CreateTextures(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* ddraw, TextureCaps& caps) {
  image->DeleteSWBuffers();
  image->CommitBits();
  IDirectDrawPalette* palette = CreatePalette(*image, ddraw, caps);
  const int format = ChooseFormat(*image, caps, palette != nullptr);

  const bool keep = image->mWidth == mWidth && image->mHeight == mHeight && format == mPixelFormat &&
                    image->mD3DFlags == mImageFlags && !mPieces.empty();
  if (!keep) {
    ReleaseTextures();
    mPixelFormat = format;
    mImageFlags = image->mD3DFlags;
    CreateTextureDimensions(*image, caps);
  }
  // A new colour table is attached to kept pieces, and the palette it replaces is released.
  if (mPalette) {
    mPalette->Release();
    mTexMemSize -= 1024;
  }
  mPalette = palette;
  if (mPalette) mTexMemSize += 1024;

  std::size_t index = 0;
  for (int y = 0; y < image->mHeight; y += mTexPieceHeight)
    for (int x = 0; x < image->mWidth; x += mTexPieceWidth, ++index) {
      Piece& piece = mPieces[index];
      if (!piece.mSurface) {
        piece.mSurface = CreateTextureSurface(device, ddraw, piece.mWidth, piece.mHeight, format);
        if (!piece.mSurface) {
          mPixelFormat = 0;
          return;
        }
        mTexMemSize += piece.mWidth * piece.mHeight * BytesPerTexel(format);
      }
      if (mPalette) piece.mSurface->SetPalette(mPalette);
      CopyImageToTexture(piece.mSurface, image, x, y, mTexPieceWidth, mTexPieceHeight, format);
    }
  mWidth = image->mWidth;
  mHeight = image->mHeight;
  mBitsChangedCount = image->mBitsChangedCount;
  mPixelFormat = format;
}

IDirectDrawSurface7* TextureData::CreateTextureSurface(IDirect3DDevice7* device, IDirectDraw7* ddraw, int width,
                                                       int height, int formatClass) {
  if (device->SetTexture(0, nullptr) != D3D_OK) return nullptr;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  desc.ddsCaps.dwCaps2 = DDSCAPS2_D3DTEXTUREMANAGE;
  desc.ddpfPixelFormat = MakeTexturePixelFormat(formatClass);
  IDirectDrawSurface7* surface = nullptr;
  if (ddraw->CreateSurface(&desc, &surface, nullptr) != DD_OK) return nullptr;
  return surface;
}

void TextureData::CopyImageToTexture(IDirectDrawSurface7* surface, MemoryImage* image, int x, int y, int width,
                                     int height, int formatClass) {
  const TextureLock lock(surface, DDLOCK_WAIT | DDLOCK_WRITEONLY);
  if (!lock.Locked()) return;
  const int w = std::min(width, image->mWidth - x), h = std::min(height, image->mHeight - y);
  if (w < width || h < height)
    std::memset(lock.Row(0), 0, static_cast<std::size_t>(lock.Desc().lPitch) * lock.Desc().dwHeight);
  const bool indexed = image->mColorTable && image->mColorIndices;
  const std::uint32_t* bits = indexed ? nullptr : image->GetBits();
  for (int row = 0; row < h; ++row) {
    BYTE* to = lock.Row(row);
    const std::size_t from = static_cast<std::size_t>(y + row) * image->mWidth + x;
    for (int column = 0; column < w; ++column) {
      const std::uint32_t c = indexed ? image->mColorTable[image->mColorIndices[from + column]] : bits[from + column];
      switch (formatClass) {
        case TEXFMT_A8R8G8B8:
          std::memcpy(to + column * 4, &c, 4);
          break;
        case TEXFMT_PALETTE8:
          to[column] = image->mColorIndices[from + column];
          break;
        default: {
          const std::uint16_t texel = formatClass == TEXFMT_A4R4G4B4 ? ToA4R4G4B4(c) : ToR5G6B5(c);
          std::memcpy(to + column * 2, &texel, 2);
        }
      }
    }
  }
}

IDirectDrawSurface7* TextureData::GetTexture(int x, int y, int& width, int& height, float& tu1, float& tv1, float& tu2,
                                             float& tv2) const {
  const int column = x / mTexPieceWidth, row = y / mTexPieceHeight;
  const Piece& piece = mPieces[row * mTexGridWidth + column];
  const int left = x % mTexPieceWidth, top = y % mTexPieceHeight;
  const int right = std::min(left + width, piece.mWidth), bottom = std::min(top + height, piece.mHeight);
  width = right - left;
  height = bottom - top;
  tu1 = static_cast<float>(left) / piece.mWidth;
  tv1 = static_cast<float>(top) / piece.mHeight;
  tu2 = static_cast<float>(right) / piece.mWidth;
  tv2 = static_cast<float>(bottom) / piece.mHeight;
  return piece.mSurface;
}

bool TextureData::RecoverBits(std::uint32_t* bits) const {
  PALETTEENTRY palette[256] = {};
  if (mPixelFormat == TEXFMT_PALETTE8 && (!mPalette || mPalette->GetEntries(0, 0, 256, palette) != DD_OK)) return false;
  for (int row = 0; row < mTexGridHeight; ++row)
    for (int column = 0; column < mTexGridWidth; ++column) {
      const Piece& piece = mPieces[row * mTexGridWidth + column];
      const TextureLock lock(piece.mSurface, DDLOCK_WAIT | DDLOCK_READONLY);
      if (!lock.Locked()) return false;
      const int x = column * mTexPieceWidth, y = row * mTexPieceHeight;
      const int w = std::min(piece.mWidth, mWidth - x), h = std::min(piece.mHeight, mHeight - y);
      const int bytes = BytesPerTexel(mPixelFormat);
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
          DWORD texel = 0;
          std::memcpy(&texel, lock.Row(r) + c * bytes, bytes);
          bits[static_cast<std::size_t>(y + r) * mWidth + x + c] = ArgbFromTexel(mPixelFormat, texel, palette);
        }
    }
  return true;
}

void TextureData::ReleaseTextures() {
  for (Piece& piece : mPieces)
    if (piece.mSurface) piece.mSurface->Release();
  mPieces.clear();
  mTexMemSize = 0;
  if (mPalette) mPalette->Release();
  mPalette = nullptr;
}

}  // namespace Kit
