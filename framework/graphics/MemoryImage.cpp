#include "framework/graphics/MemoryImage.h"

#include "framework/graphics/d3d/TextureData.h"

#include "framework/graphics/ImageLock.h"
#include "framework/graphics/NativePixel.h"
#include "framework/graphics/kernels/AlphaScan.h"
#include "framework/graphics/kernels/CopyRows.h"
#include "framework/graphics/software/PaletteBuilder.h"
#include "framework/graphics/software/RunLengthTable.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace Kit {
namespace {

template <typename T>
std::unique_ptr<T[]> CopyArray(const std::unique_ptr<T[]>& from, std::size_t count) {
  if (!from) return nullptr;
  auto copy = std::make_unique_for_overwrite<T[]>(count);
  std::copy_n(from.get(), count, copy.get());
  return copy;
}

std::unique_ptr<std::uint32_t[]> NewBits(std::size_t pixels) {
  auto bits = std::make_unique<std::uint32_t[]>(pixels + 1);
  bits[pixels] = MemoryImage::kGuardWord;
  return bits;
}

}  // namespace

MemoryImage::MemoryImage(ImageHost* app) : mApp(app) {
  if (mApp) mApp->AddMemoryImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other) : MemoryImage(other, ImageOperationGuard(other.StoreLock())) {}

MemoryImage::MemoryImage(const MemoryImage& other, const ImageOperationGuard&)
    : Image(other),
      mBitsChangedCount(other.mBitsChangedCount),
      mD3DFlags(other.mD3DFlags),
      mForcedMode(other.mForcedMode),
      mHasTrans(other.mHasTrans),
      mHasAlpha(other.mHasAlpha),
      mIsVolatile(other.mIsVolatile),
      mPurgeBits(other.mPurgeBits),
      mWantPal(other.mWantPal),
      mBitsChanged(other.mBitsChanged),
      mApp(other.mApp) {
  const std::size_t pixels = PixelCount();
  if (!other.mBits && !other.mColorTable) {
    // The source holds its pixels only as native data or textures: take a copy of them without
    // leaving the source with a buffer it did not have.
    mBits = const_cast<MemoryImage&>(other).RecoverBits();
  } else {
    mBits = CopyArray(other.mBits, pixels + 1);
  }
  mColorTable = CopyArray(other.mColorTable, 256);
  mColorIndices = CopyArray(other.mColorIndices, pixels);
  mNativeAlphaData = CopyArray(other.mNativeAlphaData, other.mColorTable ? 256 : pixels);
  if (other.mRLAlphaData) {
    mRLAlphaData = AlphaRunTable(std::make_unique_for_overwrite<std::uint8_t[]>(pixels));
    std::copy_n(other.mRLAlphaData.get(), pixels, mRLAlphaData.get());
  }
  mRLAdditiveData = CopyArray(other.mRLAdditiveData, pixels);
  if (mApp) mApp->AddMemoryImage(this);
}

MemoryImage::~MemoryImage() {
  if (mApp) mApp->RemoveMemoryImage(this);
}

ImageLock* MemoryImage::HostLock() const { return mApp ? mApp->ImagesLock() : nullptr; }

std::size_t MemoryImage::PixelCount() const {
  return mWidth > 0 && mHeight > 0 ? static_cast<std::size_t>(mWidth) * static_cast<std::size_t>(mHeight) : 0;
}

std::uint32_t MemoryImage::PixelAt(std::size_t index) const {
  return mBits ? mBits[index] : mColorTable[mColorIndices[index]];
}

std::uint32_t MemoryImage::RunAlphaAt(std::size_t index) const {
  return (mBits || (mColorTable && mColorIndices) ? PixelAt(index) : mNativeAlphaData[index]) >> 24;
}

void MemoryImage::DropNativeWords() {
  mNativeAlphaData.reset();
  mNative16Data.reset();
  for (std::unique_ptr<std::uint32_t[]>& words : mWeightedWords) words.reset();
}

std::uint64_t MemoryImage::NewContentId() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

void MemoryImage::BitsChanged() {
  const ImageOperationGuard guard(StoreLock());
  mBitsChanged = true;
  ++mBitsChangedCount;
  mContentId = NewContentId();
  DropNativeWords();
  mRLAlphaData.reset();
  mRLAdditiveData.reset();
}

void MemoryImage::CommitBits() {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
}

void MemoryImage::CommitPendingBits() {
  if (!mBitsChanged || mForcedMode) return;
  AlphaScan::Classes found;
  const std::size_t pixels = PixelCount();
  if (mBits) {
    found = AlphaScan::Scan(mBits.get(), pixels);
  } else if (mColorTable && mColorIndices) {
    // Only the entries the pixels use: a table of fewer than 256 colours is padded with zero words,
    // which would otherwise make every palettized image look transparent.
    bool seen[256] = {};
    for (std::size_t i = 0; i < pixels; ++i) seen[mColorIndices[i]] = true;
    std::uint32_t used[256];
    std::size_t usedCount = 0;
    for (int i = 0; i < 256; ++i)
      if (seen[i]) used[usedCount++] = mColorTable[i];
    found = AlphaScan::Scan(used, usedCount);
  } else if (mColorTable) {
    found = AlphaScan::Scan(mColorTable.get(), 256);
  } else {
    found.transparent = true;
  }
  mHasTrans = found.transparent;
  mHasAlpha = found.partial;
  mBitsChanged = false;
}

void MemoryImage::SetImageMode(bool hasTrans, bool hasAlpha) {
  const ImageOperationGuard guard(StoreLock());
  mForcedMode = true;
  mHasTrans = hasTrans;
  mHasAlpha = hasAlpha;
}

void MemoryImage::SetVolatile(bool isVolatile) { mIsVolatile = isVolatile; }

void MemoryImage::SetBits(const std::uint32_t* bits, int width, int height, bool commitBits) {
  const ImageOperationGuard guard(StoreLock());
  mColorIndices.reset();
  mColorTable.reset();
  mBits.reset();
  mWidth = std::max(width, 0);
  mHeight = std::max(height, 0);
  const std::size_t pixels = PixelCount();
  mBits = NewBits(pixels);
  if (bits && pixels) std::copy_n(bits, pixels, mBits.get());
  BitsChanged();
  if (commitBits) CommitPendingBits();
}

void MemoryImage::Create(int width, int height) {
  const ImageOperationGuard guard(StoreLock());
  mBits.reset();
  // A palette or native data of the old size would no longer match the new one.
  mColorIndices.reset();
  mColorTable.reset();
  mWidth = std::max(width, 0);
  mHeight = std::max(height, 0);
  mHasTrans = true;
  mHasAlpha = true;
  BitsChanged();
}

std::unique_ptr<std::uint32_t[]> MemoryImage::RecoverBits() {
  const std::size_t pixels = PixelCount();
  auto bits = NewBits(pixels);
  if (mColorTable && mColorIndices) {
    for (std::size_t i = 0; i < pixels; ++i) bits[i] = mColorTable[mColorIndices[i]];
  } else if (mNativeAlphaData) {
    const NativeDisplay& display = EffectiveDisplay(mApp ? mApp->GetNativeDisplay() : nullptr);
    for (std::size_t i = 0; i < pixels; ++i) bits[i] = FromNativePixel(mNativeAlphaData[i], display);
  } else if (mD3DData && mApp) {
    if (!mApp->RecoverBitsFrom3D(this, bits.get())) std::fill_n(bits.get(), pixels, 0u);
    bits[pixels] = kGuardWord;
  }
  return bits;
}

std::uint32_t* MemoryImage::GetBits() {
  const ImageOperationGuard guard(StoreLock());
  if (mBits) return mBits.get();
  const bool fromTable = mColorTable && mColorIndices;
  mBits = RecoverBits();
  if (fromTable) {
    mColorIndices.reset();
    mColorTable.reset();
    DropNativeWords();
  }
  return mBits.get();
}

std::uint32_t* MemoryImage::GetNativeAlphaData(NativeDisplay* displayArg) {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (mNativeAlphaData) return mNativeAlphaData.get();
  const NativeDisplay& display = EffectiveDisplay(displayArg);
  if (mColorTable && mColorIndices) {
    mNativeAlphaData = std::make_unique_for_overwrite<std::uint32_t[]>(256);
    for (int i = 0; i < 256; ++i) mNativeAlphaData[i] = ToNativePixel(mColorTable[i], display);
  } else {
    const std::uint32_t* bits = GetBits();
    const std::size_t pixels = PixelCount();
    mNativeAlphaData = std::make_unique_for_overwrite<std::uint32_t[]>(std::max<std::size_t>(pixels, 1));
    for (std::size_t i = 0; i < pixels; ++i) mNativeAlphaData[i] = ToNativePixel(bits[i], display);
  }
  return mNativeAlphaData.get();
}

const std::uint16_t* MemoryImage::GetNative16Data(NativeDisplay* display) {
  const ImageOperationGuard guard(StoreLock());
  // Dropped with the native words, so kept words are theirs.
  if (mNative16Data) return mNative16Data.get();
  const std::uint32_t* native = GetNativeAlphaData(display);
  if (mColorTable && mColorIndices) return nullptr;
  const std::size_t pixels = PixelCount();
  mNative16Data = std::make_unique_for_overwrite<std::uint16_t[]>(std::max<std::size_t>(pixels, 1));
  CopyRows::StoreLow16(mNative16Data.get(), native, static_cast<int>(pixels));
  return mNative16Data.get();
}

const std::uint32_t* MemoryImage::GetWeightedWords(UnrotatedRows::Layout layout) {
  const ImageOperationGuard guard(StoreLock());
  std::unique_ptr<std::uint32_t[]>& words = mWeightedWords[static_cast<int>(layout)];
  if (words) return words.get();
  const std::size_t pixels = PixelCount();
  const int perPixel = UnrotatedRows::WordsPerPixel(layout);
  words = std::make_unique_for_overwrite<std::uint32_t[]>(std::max<std::size_t>(pixels, 1) * perPixel);
  if (!mBits && mColorTable && mColorIndices) {
    std::uint32_t table[256 * 2];
    UnrotatedRows::Weigh(mColorTable.get(), 256, layout, table);
    for (int plane = 0; plane < perPixel; ++plane)
      for (std::size_t i = 0; i < pixels; ++i) words[plane * pixels + i] = table[plane * 256 + mColorIndices[i]];
  } else {
    UnrotatedRows::Weigh(GetBits(), pixels, layout, words.get());
  }
  return words.get();
}

std::uint8_t* MemoryImage::GetRLAlphaData() {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (mRLAlphaData) return mRLAlphaData.get();
  // A purged image keeps its native words: the table is made from them rather than bringing the pixels back.
  if (!mBits && !(mColorTable && mColorIndices) && !mNativeAlphaData) GetBits();
  const std::size_t pixels = PixelCount();
  mRLAlphaData = AlphaRunTable(std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(pixels, 1)));
  BuildRunLengths(mWidth, mHeight, mRLAlphaData.get(), [&](long long i) {
    const std::uint32_t a = RunAlphaAt(static_cast<std::size_t>(i));
    return a == 0 ? 0 : a == 255 ? 1 : 2;
  });
  return mRLAlphaData.get();
}

const KeyedSpans& MemoryImage::GetKeyedSpans() {
  const ImageOperationGuard guard(StoreLock());
  // Kept spans were made from the kept table, which is dropped with every change of the pixels.
  if (const KeyedSpans* kept = mRLAlphaData.Keyed()) return *kept;
  const std::uint8_t* runs = GetRLAlphaData();
  return mRLAlphaData.KeepKeyed(BuildKeyedSpans(mWidth, mHeight, runs, [&](std::size_t i) { return RunAlphaAt(i); }));
}

std::uint8_t* MemoryImage::GetRLAdditiveData(NativeDisplay* display) {
  const ImageOperationGuard guard(StoreLock());
  if (mRLAdditiveData) return mRLAdditiveData.get();
  const std::uint32_t* native = GetNativeAlphaData(display);
  const std::size_t pixels = PixelCount();
  mRLAdditiveData = std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(pixels, 1));
  const bool palettized = mColorTable && mColorIndices;
  BuildRunLengths(mWidth, mHeight, mRLAdditiveData.get(), [&](long long i) {
    const std::uint32_t word = palettized ? native[mColorIndices[i]] : native[i];
    return (word & 0xFFFFFF) == 0 ? 0 : 1;
  });
  return mRLAdditiveData.get();
}

void MemoryImage::PurgeBits() {
  const ImageOperationGuard guard(StoreLock());
  mPurgeBits = true;
  if (!mApp) return;  // without an application there is nowhere else to keep the pixels
  if (!mApp->Is3DAccelerated()) {
    NativeDisplay* display = mApp->GetNativeDisplay();
    if (display && (mBits || mColorIndices)) {
      GetNativeAlphaData(display);
      mBits.reset();
    }
  } else if (mD3DData && mD3DData->mPixelFormat != 0) {
    // Only textures that were uploaded hold the pixels.
    mBits.reset();
    mColorIndices.reset();
    mColorTable.reset();
  }
}

void MemoryImage::DeleteSWBuffers() {
  const ImageOperationGuard guard(StoreLock());
  if (!mBits && !mColorIndices) GetBits();
  DropNativeWords();
  mRLAdditiveData.reset();
  mRLAlphaData.reset();
}

void MemoryImage::DeleteNativeData() {
  const ImageOperationGuard guard(StoreLock());
  if (!mBits && !mColorIndices) GetBits();
  DropNativeWords();
  mRLAdditiveData.reset();
}

void MemoryImage::Delete3DBuffers() {
  if (mApp) mApp->Remove3DData(this);
}

void MemoryImage::DeleteExtraBuffers() {
  const ImageOperationGuard guard(StoreLock());
  DeleteSWBuffers();
  Delete3DBuffers();
}

void MemoryImage::ReInit() {
  const ImageOperationGuard guard(StoreLock());
  if (mWantPal) Palletize();
  if (mPurgeBits) PurgeBits();
}

bool MemoryImage::Palletize() {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (mColorTable) return true;
  const std::uint32_t* bits = GetBits();
  if (!bits) return false;
  const std::size_t pixels = PixelCount();
  mColorTable = std::make_unique<std::uint32_t[]>(256);
  mColorIndices = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(pixels, 1));
  if (BuildPalette(bits, mWidth, mHeight, mColorIndices.get(), mColorTable.get())) {
    mBits.reset();
    DropNativeWords();
    mWantPal = true;
    return true;
  }
  mColorTable.reset();
  mColorIndices.reset();
  mWantPal = false;
  return false;
}

}  // namespace Kit
