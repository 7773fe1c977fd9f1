// A software image: 32-bit ARGB pixels (or a 256-colour table with one index per pixel) and the
// buffers derived from them that the drawing routines use. Derived buffers are pure caches of the
// pixels: every change of the pixels ends with BitsChanged, which drops them, and they are rebuilt
// on demand.
#pragma once

#include "framework/graphics/Image.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/kernels/UnrotatedRows.h"
#include "framework/graphics/raster/TriangleRasterizer.h"
#include "framework/graphics/software/AlphaRunTable.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace Kit {

class ImageLock;
class ImageOperationGuard;
class TextureData;

class MemoryImage : public Image {
 public:
  // Written after the last pixel of every pixel buffer.
  static constexpr std::uint32_t kGuardWord = 0x4BEEFADE;

  explicit MemoryImage(ImageHost* app = nullptr);
  MemoryImage(const MemoryImage& other);
  MemoryImage& operator=(const MemoryImage&) = delete;
  ~MemoryImage() override;

  // Software drawing.
  void FillRect(const Rect& rect, const Color& color, int drawMode) override;
  void ClearRect(const Rect& rect) override;
  void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) override;
  void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
  void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
            int drawMode) override;
  void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                  int drawMode, double angle, float centerX, float centerY) override;
  void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect, const Color& color,
                  int drawMode, bool fastStretch) override;
  void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                 int drawMode, const Rect& srcRect, bool blend) override;
  void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                       const Color& color, int drawMode, float tx, float ty, bool blend) override;

  // Pixel store and derived data.
  virtual std::uint32_t* GetNativeAlphaData(NativeDisplay* display);
  // The low 16 bits of each native word (the pixels themselves on a 16-bit display), made when first
  // asked and dropped with the native words: a plain copy onto a 16-bit surface then reads half the
  // memory. Null for a palettized image.
  const std::uint16_t* GetNative16Data(NativeDisplay* display);
  // Each pixel's weighted words for the unrotated whole-pixel draw onto a layout (UnrotatedRows),
  // made when first asked for that layout and dropped with the native words.
  const std::uint32_t* GetWeightedWords(UnrotatedRows::Layout layout);
  virtual std::uint8_t* GetRLAlphaData();
  // The spans of pixels a colour-keyed copy stores, row by row: made from the alpha run table when
  // first asked and dropped with it.
  const KeyedSpans& GetKeyedSpans();
  virtual std::uint8_t* GetRLAdditiveData(NativeDisplay* display);
  virtual void PurgeBits();
  virtual void DeleteSWBuffers();
  virtual void Delete3DBuffers();
  virtual void DeleteExtraBuffers();
  virtual void ReInit();
  virtual void BitsChanged();
  virtual void CommitBits();
  virtual void DeleteNativeData();
  virtual void Clear();
  virtual void SetBits(const std::uint32_t* bits, int width, int height, bool commitBits = true);
  virtual void Create(int width, int height);
  virtual std::uint32_t* GetBits();
  virtual void SetImageMode(bool hasTrans, bool hasAlpha);
  virtual void SetVolatile(bool isVolatile);
  virtual bool Palletize();

  // Shared steps that the surface-backed images also run on their locked pixels.
  struct StretchSource {
    double mX, mY, mWidth, mHeight;
  };
  // The bounding box of srcRect placed at (x, y) and rotated about (x + centerX, y + centerY),
  // intersected with clipRect; false when nothing is left.
  static bool GetRotatedBounds(float x, float y, const Rect& srcRect, const Rect& clipRect, double angle, float centerX,
                               float centerY, Rect& bounds);
  // Cuts destRect to clipRect and the source rectangle in proportion; false when nothing is left.
  static bool ClipStretch(const Rect& destRect, const Rect& srcRect, const Rect& clipRect, Rect& clippedDest,
                          StretchSource& clippedSrc);
  // The same for a mirrored draw, where the kept part comes from the other side of the source.
  static bool ClipStretchMirror(const Rect& destRect, const Rect& srcRect, const Rect& clipRect, Rect& clippedDest,
                                StretchSource& clippedSrc);
  // The area-weighted resampler: draws source (clipped) into the destination pixels at clippedDest
  // with the over-blend. destBits has destWidth x destHeight pixels, row after row.
  static void SlowStretchBlt(std::uint32_t* destBits, int destWidth, int destHeight, const Rect& clippedDest,
                             MemoryImage* source, const StretchSource& clippedSrc);
  // The resampler itself: the cut of source resampled to destWidth x destHeight (both above 0), each row
  // of ARGB pixels handed to drawRow in order from the top; no row when the cut covers no source pixel.
  static void ResampleArea(MemoryImage* source, const StretchSource& clippedSrc, int destWidth, int destHeight,
                           const std::function<void(int row, const std::uint32_t* pixels)>& drawRow);

  // The vertex set-up of BltMatrix and BltTrianglesTex and the hand-over to the triangle rasteriser,
  // drawing into target.
  static void BltMatrixHelper(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                              const Color& color, int drawMode, const Rect& srcRect, const RasterTarget& target,
                              bool blend);
  static void BltTrianglesTexHelper(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                                    const Color& color, int drawMode, float tx, float ty, const RasterTarget& target,
                                    bool blend);

  int mBitsChangedCount = 0;
  // Changes with every change of the pixels, and no two images ever share one: the key of what is
  // made from the pixels and kept elsewhere.
  std::uint64_t mContentId = NewContentId();
  TextureData* mD3DData = nullptr;  // owned by the Direct3D path, which clears it when it drops the textures
  int mD3DFlags = 0;
  bool mForcedMode = false;
  bool mHasTrans = false;
  bool mHasAlpha = false;
  bool mIsVolatile = false;
  bool mPurgeBits = false;
  bool mWantPal = false;
  bool mBitsChanged = false;
  ImageHost* mApp = nullptr;
  // The lock of the display the image is made for (a surface-backed image), null for a software one
  // and once the display is gone.
  ImageLock* mDisplayLock = nullptr;

  std::unique_ptr<std::uint32_t[]> mBits;             // width x height + 1, the guard word last
  std::unique_ptr<std::uint32_t[]> mColorTable;       // 256 entries
  std::unique_ptr<std::uint8_t[]> mColorIndices;      // width x height
  std::unique_ptr<std::uint32_t[]> mNativeAlphaData;  // 256 entries with a colour table, else width x height
  std::unique_ptr<std::uint16_t[]> mNative16Data;     // dropped with the native words
  // One array per layout, dropped with the native words.
  std::array<std::unique_ptr<std::uint32_t[]>, UnrotatedRows::kLayouts> mWeightedWords;
  AlphaRunTable mRLAlphaData;
  std::unique_ptr<std::uint8_t[]> mRLAdditiveData;

 protected:
  // The lock under which the display walks every image of the application: the display's own for an
  // image of a display, else the application's (null while there is no display, and for an image of no
  // application). Every operation on the pixel store and every drawing call holds it whenever the
  // calling thread must (ImageLock: any thread but the main one, and the main one while another may
  // be at work on images), so that an image made and filled on another thread (the game's loading
  // code) never meets such a walk halfway.
  ImageLock* StoreLock() const { return mDisplayLock ? mDisplayLock : HostLock(); }
  // CommitBits' work, for an operation that holds the store lock already (or works without it, as
  // ImageLock lets it).
  virtual void CommitPendingBits();
  // Frees the native words and what is made from them (the 16-bit words, the weighted words).
  void DropNativeWords();
  std::size_t PixelCount() const;
  static std::uint64_t NewContentId();

 private:
  // The copy is taken under the lock of the image copied.
  MemoryImage(const MemoryImage& other, const ImageOperationGuard& copying);
  ImageLock* HostLock() const;
  // Rebuilds the pixels, without changing this image, from the table, the native data or the
  // Direct3D textures, in that order; all zero when none of them exists.
  std::unique_ptr<std::uint32_t[]> RecoverBits();
  // The ARGB value of pixel index from the bits or, for a palettized image, from the table.
  std::uint32_t PixelAt(std::size_t index) const;
  // The alpha of pixel index as the alpha run table reads it: from the bits or the table or, for a
  // purged image, from its native words, whose alpha bytes are its pixels' alphas.
  std::uint32_t RunAlphaAt(std::size_t index) const;
};

}  // namespace Kit
