// The surface-backed image's surface: building it from the pixels, reading it back, locking, and the
// pixel-store operations that keep the pixels and the surface consistent.
#include "framework/graphics/display/DDImage.h"

#include "framework/graphics/ImageLock.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/graphics/display/OffscreenSurfaceDesc.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Kit {
namespace {

// An ARGB pixel in the surface's format: each channel cut to the display's bit count and placed by
// the surface's mask; alpha is dropped.
struct Converter {
  const NativeDisplay& d;
  std::uint32_t rMask, gMask, bMask;
  std::uint32_t operator()(std::uint32_t p) const {
    return (((p >> (24 - d.mRedBits)) << d.mRedShift) & rMask) |
           (((p >> (16 - d.mGreenBits)) << d.mGreenShift) & gMask) |
           (((p >> (8 - d.mBlueBits)) << d.mBlueShift) & bMask);
  }
};

// A channel of b bits widened to 8 by repeating its top bits, so that full intensity reads back as
// 255 and a value read back converts to the same surface value again.
std::uint32_t Widen(std::uint32_t value, int bits) {
  if (bits >= 8) return value & 0xFF;
  std::uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += bits) out = (out << bits) | value;
  return (out >> ((8 + bits - 1) / bits * bits - 8)) & 0xFF;
}

// A lost surface is restored and locked again: its pixels are the image's only copy more often than
// not, and giving up would lose them.
HRESULT LockRestoring(IDirectDrawSurface* surface, DDSURFACEDESC& desc) {
  desc = DDSURFACEDESC{};
  desc.dwSize = sizeof(desc);
  HRESULT result = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  if (result == DDERR_SURFACELOST && SUCCEEDED(surface->Restore())) {
    desc = DDSURFACEDESC{};
    desc.dwSize = sizeof(desc);
    result = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  }
  return result;
}

bool ChannelsUsable(const NativeDisplay& d) {
  auto ok = [](int bits, int shift) { return bits >= 1 && bits <= 8 && shift >= 0 && shift + bits <= 32; };
  return ok(d.mRedBits, d.mRedShift) && ok(d.mGreenBits, d.mGreenShift) && ok(d.mBlueBits, d.mBlueShift);
}

// The display's lock while the display exists; an image that outlived it has nothing to share.
ImageLock* LockOf(DDInterface* display) { return display ? &display->ImagesLock() : nullptr; }

}  // namespace

DDImage::DDImage(DDInterface* display)
    : DDImage(display, ImageOperationGuard(LockOf(display), ImageOperationGuard::kAlways)) {}

DDImage::DDImage(DDInterface* display, const ImageOperationGuard&)
    : MemoryImage(display ? display->mApp : nullptr), mDisplay(display) {
  if (!mDisplay) return;
  mDisplayLock = &mDisplay->ImagesLock();
  mDisplay->AddDDImage(this);
}

DDImage::~DDImage() {
  const ImageOperationGuard lock(LockOf(mDisplay), ImageOperationGuard::kAlways);
  // Out of the application's set first: a walk over it never meets an image that is half gone.
  if (mApp) {
    mApp->RemoveMemoryImage(this);
    mApp = nullptr;
  }
  ReleaseSurface();
  if (mDisplay) mDisplay->RemoveDDImage(this);
}

void DDImage::ReleaseSurface() {
  mLockedTarget.reset();
  if (!mSurface) return;
  if (mLockCount > 0 && !mLockBroken) mSurface->Unlock(nullptr);
  mLockCount = 0;
  mLockBroken = false;
  mSurface->Release();
  mSurface = nullptr;
}

bool DDImage::IsDrawSurface3D() const {
  return mDisplay && mDisplay->mIs3D && mSurface != nullptr && mSurface == mDisplay->mDrawSurface;
}

IDirectDrawSurface* DDImage::GetSurface() {
  const ImageOperationGuard guard(StoreLock());
  return OwnSurface();
}

IDirectDrawSurface* DDImage::OwnSurface() {
  if (!mSurface) GenerateDDSurface();
  return mSurface;
}

bool DDImage::GenerateDDSurface() {
  const ImageOperationGuard guard(StoreLock());
  if (mSurface) return true;
  CommitPendingBits();
  if (mHasAlpha || !mDisplay) return false;
  mWantDDSurface = true;
  if (mColorTable && mColorIndices) MemoryImage::GetBits();
  if (mWidth <= 0 || mHeight <= 0) return false;

  DDSURFACEDESC2 desc =
      OffscreenSurfaceDesc(mWidth, mHeight, mVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
  IDirectDrawSurface* surface = nullptr;
  if (FAILED(mDisplay->CreateSurface(desc, &surface)) || !surface) return false;
  mSurface = surface;
  if (FAILED(LockDescribing())) {
    ReleaseSurface();
    return false;
  }
  const DWORD depth = mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount;
  if ((depth == 16 || depth == 32) && ChannelsUsable(*mDisplay)) {
    const std::uint32_t* bits = MemoryImage::GetBits();
    const Converter convert{*mDisplay, mLockedSurfaceDesc.ddpfPixelFormat.dwRBitMask,
                            mLockedSurfaceDesc.ddpfPixelFormat.dwGBitMask,
                            mLockedSurfaceDesc.ddpfPixelFormat.dwBBitMask};
    const std::size_t pixels = static_cast<std::size_t>(mWidth) * mHeight;
    std::uint32_t key = 0;
    bool keyed = false;
    if (mHasTrans && bits) {
      keyed = true;
      if (mFirstPixelTransparent) {
        key = convert(bits[0]);
      } else {
        std::size_t first = 0;
        while (first < pixels && (bits[first] >> 24) == 255) ++first;
        key = first < pixels ? convert(bits[first]) : 0;
        bool clash = false;
        for (std::size_t i = 0; i < pixels && !clash; ++i) clash = (bits[i] >> 24) == 255 && convert(bits[i]) == key;
        if (clash) {
          // A value that no visible pixel uses.
          std::vector<bool> used(depth == 16 ? (1u << 16) : (1u << 24));
          for (std::size_t i = 0; i < pixels; ++i)
            if ((bits[i] >> 24) != 0) used[convert(bits[i]) & (used.size() - 1)] = true;
          std::uint32_t candidate = 0;
          while (candidate < used.size() && used[candidate]) ++candidate;
          key = candidate;
        }
      }
    }
    if (bits) WriteSurface(bits, keyed && !mFirstPixelTransparent, key);
    if (keyed) {
      DDCOLORKEY colorKey{key, key};
      mSurface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
    }
  }
  mSurface->Unlock(nullptr);
  return true;
}

void DDImage::WriteSurface(const std::uint32_t* bits, bool keyed, std::uint32_t key) {
  const DDPIXELFORMAT& format = mLockedSurfaceDesc.ddpfPixelFormat;
  const Converter convert{*mDisplay, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  const int depth = static_cast<int>(format.dwRGBBitCount);
  auto* base = static_cast<std::uint8_t*>(mLockedSurfaceDesc.lpSurface);
  const int rows = std::min<int>(mHeight, static_cast<int>(mLockedSurfaceDesc.dwHeight));
  const int cols = std::min<int>(mWidth, static_cast<int>(mLockedSurfaceDesc.dwWidth));
  for (int y = 0; y < rows; ++y) {
    const std::uint32_t* src = bits + static_cast<std::size_t>(y) * mWidth;
    std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * mLockedSurfaceDesc.lPitch;
    for (int x = 0; x < cols; ++x) {
      const std::uint32_t value = keyed && (src[x] >> 24) != 255 ? key : convert(src[x]);
      if (depth == 16) {
        const std::uint16_t v16 = static_cast<std::uint16_t>(value);
        std::memcpy(row + 2 * x, &v16, 2);
      } else {
        std::memcpy(row + 4 * x, &value, 4);
      }
    }
  }
}

std::unique_ptr<std::uint32_t[]> DDImage::ReadSurface() {
  const DDPIXELFORMAT& format = mLockedSurfaceDesc.ddpfPixelFormat;
  const int depth = static_cast<int>(format.dwRGBBitCount);
  const std::size_t pixels = PixelCount();
  auto bits = std::make_unique<std::uint32_t[]>(pixels + 1);
  bits[pixels] = kGuardWord;
  if ((depth != 16 && depth != 32) || !mDisplay || !ChannelsUsable(*mDisplay)) return bits;
  // Pixels that show the source colour key were transparent when the surface was built: they come
  // back transparent, keeping the key's colour so that the same key is chosen again.
  DDCOLORKEY key{};
  const bool keyed = mHasTrans && SUCCEEDED(mSurface->GetColorKey(DDCKEY_SRCBLT, &key));
  const std::uint32_t colourBits = format.dwRBitMask | format.dwGBitMask | format.dwBBitMask;
  const NativeDisplay& d = *mDisplay;
  const auto* base = static_cast<const std::uint8_t*>(mLockedSurfaceDesc.lpSurface);
  const int rows = std::min<int>(mHeight, static_cast<int>(mLockedSurfaceDesc.dwHeight));
  const int cols = std::min<int>(mWidth, static_cast<int>(mLockedSurfaceDesc.dwWidth));
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * mLockedSurfaceDesc.lPitch;
    std::uint32_t* out = bits.get() + static_cast<std::size_t>(y) * mWidth;
    for (int x = 0; x < cols; ++x) {
      std::uint32_t p = 0;
      if (depth == 16) {
        std::uint16_t v16;
        std::memcpy(&v16, row + 2 * x, 2);
        p = v16;
      } else {
        std::memcpy(&p, row + 4 * x, 4);
      }
      const std::uint32_t r = Widen((p >> d.mRedShift) & ((1u << d.mRedBits) - 1), d.mRedBits);
      const std::uint32_t g = Widen((p >> d.mGreenShift) & ((1u << d.mGreenBits) - 1), d.mGreenBits);
      const std::uint32_t b = Widen((p >> d.mBlueShift) & ((1u << d.mBlueBits) - 1), d.mBlueBits);
      const bool transparent = keyed && (p & colourBits) == (key.dwColorSpaceLowValue & colourBits);
      out[x] = (transparent ? 0u : 0xFF000000u) | (r << 16) | (g << 8) | b;
    }
  }
  return bits;
}

std::uint32_t* DDImage::GetBits() {
  const ImageOperationGuard guard(StoreLock());
  if (mBits) return mBits.get();
  if (!mSurface) return MemoryImage::GetBits();
  if (mNoLock || !LockOwnSurface()) return nullptr;
  mBits = ReadSurface();
  UnlockOwnSurface();
  return mBits.get();
}

std::unique_ptr<std::uint32_t[]> DDImage::CopySurfacePixels() {
  if (!mSurface || mNoLock || !mDisplay) return nullptr;
  const ImageOperationGuard lock(LockOf(mDisplay), ImageOperationGuard::kAlways);
  if (!IsDrawSurface3D()) {
    if (!LockOwnSurface()) return nullptr;
    auto bits = ReadSurface();
    UnlockOwnSurface();
    return bits;
  }
  // Only the Direct3D path draws into its surface, but reading it is safe between scenes.
  mDisplay->mD3DInterface->Flush();
  if (FAILED(LockDescribing())) return nullptr;
  auto bits = ReadSurface();
  mSurface->Unlock(nullptr);
  return bits;
}

HRESULT DDImage::LockDescribing() {
  mLockedTarget.reset();
  return LockRestoring(mSurface, mLockedSurfaceDesc);
}

bool DDImage::LockSurface() {
  const ImageOperationGuard guard(StoreLock());
  return LockOwnSurface();
}

bool DDImage::LockOwnSurface() {
  if (IsDrawSurface3D()) return false;
  if (mLockCount == 0 || mLockBroken) {
    if (!OwnSurface()) return false;
    if (FAILED(LockDescribing())) return false;
    mLockBroken = false;
  }
  ++mLockCount;
  return true;
}

bool DDImage::UnlockSurface() {
  const ImageOperationGuard guard(StoreLock());
  return UnlockOwnSurface();
}

bool DDImage::UnlockOwnSurface() {
  if (IsDrawSurface3D() || mLockCount == 0) return false;
  if (--mLockCount > 0) return true;
  const bool held = !mLockBroken;
  mLockBroken = false;
  if (!held || !mSurface) return true;
  return SUCCEEDED(mSurface->Unlock(nullptr));
}

HRESULT DDImage::CallWithSurfaceUnlocked(HRESULT (*call)(void* work, IDirectDrawSurface* surface), void* work) {
  const ImageOperationGuard guard(StoreLock());
  if (!mSurface) return DDERR_SURFACELOST;
  const bool held = mLockCount > 0;
  if (held && !mLockBroken) {
    const HRESULT unlocked = mSurface->Unlock(nullptr);
    if (FAILED(unlocked)) return unlocked;
  }
  const HRESULT result = call(work, mSurface);
  if (held) {
    const bool relocked = SUCCEEDED(LockDescribing());
    mLockBroken = !relocked;
    if (!relocked) mLockedSurfaceDesc = DDSURFACEDESC{};
  }
  return result;
}

void DDImage::SetSurface(IDirectDrawSurface* surface) {
  const ImageOperationGuard guard(StoreLock());
  ReleaseSurface();
  mForeignSurface = true;
  mSurface = surface;
  mNoLock = false;
  if (!surface) return;
  surface->AddRef();
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  if (SUCCEEDED(surface->GetSurfaceDesc(&desc))) {
    mWidth = static_cast<int>(desc.dwWidth);
    mHeight = static_cast<int>(desc.dwHeight);
  }
}

void DDImage::DeleteDDSurface() {
  const ImageOperationGuard guard(StoreLock());
  if (!mSurface) return;
  if (!mColorTable && !mBits && !mD3DData) {
    GetBits();
    // The surface is the only copy of the pixels: it stays until they can be read.
    if (!mBits) return;
  }
  ReleaseSurface();
}

void DDImage::DeleteAllNonSurfaceData() {
  const ImageOperationGuard guard(StoreLock());
  DropNonSurfaceData();
}

void DDImage::DropNonSurfaceData() {
  mBits.reset();
  DropNativeWords();
  mRLAlphaData.reset();
  mRLAdditiveData.reset();
  mColorTable.reset();
  mColorIndices.reset();
}

void DDImage::SetVideoMemory(bool videoMemory) {
  const ImageOperationGuard guard(StoreLock());
  if (videoMemory == mVideoMemory) return;
  mVideoMemory = videoMemory;
  GetBits();
  DeleteDDSurface();
}

void DDImage::SetColorKeyFromFirstPixel() {
  const ImageOperationGuard guard(StoreLock());
  if (!mDisplay || !GetSurface() || mNoLock || !mHasTrans || !mFirstPixelTransparent || !mDisplay->mPrimarySurface)
    return;
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  if (FAILED(mDisplay->mPrimarySurface->GetPixelFormat(&format))) return;
  const DWORD depth = format.dwRGBBitCount;
  if (depth != 16 && depth != 24 && depth != 32) return;
  if (!LockSurface()) return;
  DWORD key = 0;
  if (depth == 16) {
    std::uint16_t v16;
    std::memcpy(&v16, mLockedSurfaceDesc.lpSurface, 2);
    key = v16;
  } else {
    std::memcpy(&key, mLockedSurfaceDesc.lpSurface, 4);
  }
  DDCOLORKEY colorKey{key, key};
  mSurface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
  UnlockSurface();
}

void DDImage::PurgeBits() {
  const ImageOperationGuard guard(StoreLock());
  if (mForeignSurface) return;
  mPurgeBits = true;
  CommitPendingBits();
  if (mApp && mApp->Is3DAccelerated()) {
    if (mSurface) {
      GetBits();
      DeleteDDSurface();
    }
    MemoryImage::PurgeBits();
    return;
  }
  if (mWantDDSurface && GenerateDDSurface()) {
    mBits.reset();
    mColorIndices.reset();
    mColorTable.reset();
    return;
  }
  MemoryImage::PurgeBits();
}

void DDImage::DeleteNativeData() {
  const ImageOperationGuard guard(StoreLock());
  if (mForeignSurface) return;
  MemoryImage::DeleteNativeData();
  DeleteDDSurface();
}

void DDImage::DeleteExtraBuffers() {
  const ImageOperationGuard guard(StoreLock());
  if (mForeignSurface) return;
  MemoryImage::DeleteExtraBuffers();
  DeleteDDSurface();
}

void DDImage::ReInit() {
  const ImageOperationGuard guard(StoreLock());
  MemoryImage::ReInit();
  if (mWantDDSurface) GenerateDDSurface();
}

void DDImage::CommitPendingBits() {
  if (!mSurface) MemoryImage::CommitPendingBits();
}

void DDImage::BitsChanged() {
  const ImageOperationGuard guard(StoreLock());
  MemoryImage::BitsChanged();
  if (!mSurface) return;
  if (mForeignSurface) {
    // The screen and the cursor areas cannot be rebuilt from the pixels: the change goes into them.
    if (mBits && mDisplay && LockOwnSurface()) {
      WriteSurface(mBits.get(), false, 0);
      UnlockOwnSurface();
    }
    return;
  }
  ReleaseSurface();
}

void DDImage::Create(int width, int height) {
  const ImageOperationGuard guard(StoreLock());
  mBits.reset();
  mColorIndices.reset();
  mColorTable.reset();
  mWidth = std::max(width, 0);
  mHeight = std::max(height, 0);
  BitsChanged();
}

bool DDImage::Palletize() {
  const ImageOperationGuard guard(StoreLock());
  if (!MemoryImage::Palletize()) return false;
  DeleteDDSurface();
  return true;
}

}  // namespace Kit
