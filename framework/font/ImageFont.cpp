#include "framework/font/ImageFont.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "framework/font/FontData.h"
#include "framework/font/FontHost.h"
#include "framework/font/FontLayer.h"
#include "framework/font/RenderCommandPool.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/StringUtil.h"
#include "platform/util/ClampToInt.h"

namespace Kit {

namespace {

// value x ratio truncated toward zero. Descriptor values are arbitrary ints and ratios may be huge or
// not finite, so the product is held at the int range instead of overflowing the conversion.
long long Scaled(long long value, double ratio) { return plat::ClampToInt(static_cast<double>(value) * ratio); }

// A layer channel applied to a drawing colour channel, kept within 0..255 both ways.
int LayerChannel(int multiply, int color, int add) {
  long long value = static_cast<long long>(multiply) * color / 255 + add;
  return static_cast<int>(std::clamp(value, 0LL, 255LL));
}

}  // namespace

ImageFont::ImageFont(FontHost* app, const std::string& descriptorPath) : mFontData(new FontData()) {
  mFontData->Ref();
  mFontData->Load(app, descriptorPath);
  mPointSize = mFontData->mDefaultPointSize;
  GenerateActiveLayers();
  mActiveListValid = true;
}

ImageFont::ImageFont(Image* image, const std::string& widthFile) : mFontData(new FontData()) {
  mFontData->Ref();
  mFontData->LoadLegacy(image, widthFile);
  mPointSize = mFontData->mDefaultPointSize;
  GenerateActiveLayers();
  mActiveListValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other),
      mFontData(other.mFontData),
      mPointSize(other.mPointSize),
      mTagVector(other.mTagVector),
      mActiveListValid(other.mActiveListValid),
      mScale(other.mScale),
      mForceScaledImagesWhite(other.mForceScaledImagesWhite) {
  mFontData->Ref();
  if (mActiveListValid)
    for (const ActiveFontLayer& active : other.mActiveLayerList) mActiveLayerList.emplace_back(active);
}

ImageFont::~ImageFont() {
  mActiveLayerList.clear();  // before the layers they point to can go with the font data
  mFontData->DeRef();
}

Font* ImageFont::Duplicate() { return new ImageFont(*this); }

void ImageFont::SetPointSize(int pointSize) {
  mPointSize = pointSize;
  mActiveListValid = false;
}

int ImageFont::GetPointSize() { return mPointSize; }

void ImageFont::SetScale(double scale) {
  mScale = scale;
  mActiveListValid = false;
}

int ImageFont::GetDefaultPointSize() { return mFontData->mDefaultPointSize; }

bool ImageFont::AddTag(const std::string& tag) {
  if (HasTag(tag)) return false;
  mTagVector.push_back(StringToUpper(tag));
  mActiveListValid = false;
  return true;
}

bool ImageFont::RemoveTag(const std::string& tag) {
  auto found = std::find(mTagVector.begin(), mTagVector.end(), StringToUpper(tag));
  if (found == mTagVector.end()) return false;
  mTagVector.erase(found);
  mActiveListValid = false;
  return true;
}

bool ImageFont::HasTag(const std::string& tag) {
  return std::find(mTagVector.begin(), mTagVector.end(), tag) != mTagVector.end();
}

std::string ImageFont::GetDefine(const std::string& name) {
  DataElement* value = mFontData->GetDefine(name);
  return value ? DescParser::DataElementToText(value) : std::string();
}

void ImageFont::Prepare() {
  if (mActiveListValid) return;
  GenerateActiveLayers();
  mActiveListValid = true;
}

double ImageFont::LayerRatio(const FontLayer& layer) const {
  return layer.mPointSize != 0 ? mPointSize * mScale / layer.mPointSize : mScale;
}

bool ImageFont::Accepts(const FontLayer& layer) const {
  if (mPointSize < layer.mMinPointSize) return false;
  if (layer.mMaxPointSize != -1 && mPointSize > layer.mMaxPointSize) return false;
  auto hasTag = [this](const std::string& tag) {
    return std::find(mTagVector.begin(), mTagVector.end(), tag) != mTagVector.end();
  };
  if (!std::all_of(layer.mRequiredTags.begin(), layer.mRequiredTags.end(), hasTag)) return false;
  return std::none_of(layer.mExcludedTags.begin(), layer.mExcludedTags.end(), hasTag);
}

void ImageFont::GenerateActiveLayers() {
  if (!mFontData->mInitialized) return;
  mActiveLayerList.clear();
  mAscent = 0;
  mAscentPadding = 0;
  mHeight = 0;
  mLineSpacingOffset = 0;

  bool first = true;
  for (FontLayer& layer : mFontData->mFontLayerList) {
    if (!Accepts(layer)) continue;
    double ratio = LayerRatio(layer);
    AddActiveLayer(layer, ratio);

    int ascent = plat::ClampToInt(Scaled(layer.mAscent, ratio));
    int height = plat::ClampToInt(Scaled(layer.mHeight, ratio));
    int ascentPadding = plat::ClampToInt(Scaled(layer.mAscentPadding, ratio));
    int lineSpacingOffset = plat::ClampToInt(Scaled(layer.mLineSpacingOffset, ratio));
    mAscent = std::max(mAscent, ascent);
    mHeight = std::max(mHeight, height);
    mAscentPadding = first ? ascentPadding : std::min(mAscentPadding, ascentPadding);
    mLineSpacingOffset = first ? lineSpacingOffset : std::max(mLineSpacingOffset, lineSpacingOffset);
    first = false;
  }
}

void ImageFont::AddActiveLayer(FontLayer& layer, double ratio) {
  if (mScale == 1.0 && (layer.mPointSize == 0 || layer.mPointSize == mPointSize)) {
    mActiveLayerList.emplace_back(&layer);
    return;
  }

  // The glyphs side by side in one row, each at its scaled size.
  std::array<Rect, 256> rects;
  long long sheetWidth = 0;
  long long sheetHeight = 0;
  for (size_t c = 0; c < rects.size(); ++c) {
    const Rect& source = layer.mCharData[c].mImageRect;
    long long width = std::max(0LL, Scaled(source.mWidth, ratio));
    long long height = std::max(0LL, Scaled(source.mHeight, ratio));
    rects[c] = Rect(plat::ClampToInt(sheetWidth), 0, static_cast<int>(width), static_cast<int>(height));
    sheetWidth += width;
    sheetHeight = std::max(sheetHeight, height);
  }

  if (sheetWidth > kMaxScaledSheetPixels || sheetHeight > kMaxScaledSheetPixels ||
      sheetWidth * sheetHeight > kMaxScaledSheetPixels) {
    mActiveLayerList.emplace_back(&layer, nullptr).mScaledCharImageRects = rects;
    return;
  }

  FontHost* app = mFontData->mApp;
  auto sheet = std::make_unique<MemoryImage>(app ? app->GetImageHost() : nullptr);
  sheet->Create(static_cast<int>(sheetWidth), static_cast<int>(sheetHeight));
  const Rect sheetRect(0, 0, static_cast<int>(sheetWidth), static_cast<int>(sheetHeight));
  if (Image* source = layer.mImage.GetImage()) {
    const Rect sourceBounds(0, 0, source->GetWidth(), source->GetHeight());
    for (size_t c = 0; c < rects.size(); ++c) {
      const Rect& sourceRect = layer.mCharData[c].mImageRect;
      // Glyphs that lie outside their sheet (a legacy width file can describe more than its image
      // holds) are left blank rather than read from outside the image.
      if (rects[c].IsEmpty() || sourceRect.IsEmpty() || sourceRect.Intersection(sourceBounds) != sourceRect) continue;
      sheet->StretchBlt(source, rects[c], sourceRect, sheetRect, Color::White, 0, false);
    }
  }
  if (mForceScaledImagesWhite && sheetWidth * sheetHeight > 0) {
    std::uint32_t* bits = sheet->GetBits();
    for (long long i = 0; i < sheetWidth * sheetHeight; ++i) bits[i] |= 0x00FFFFFFu;
    sheet->BitsChanged();
  }
  sheet->Palletize();

  mActiveLayerList.emplace_back(&layer, std::move(sheet)).mScaledCharImageRects = rects;
}

int ImageFont::CharWidthKern(char c, char prev) {
  Prepare();
  auto code = mFontData->mCharMap[static_cast<unsigned char>(c)];
  auto prevCode = prev != 0 ? mFontData->mCharMap[static_cast<unsigned char>(prev)] : 0;
  bool any = false;
  long long widest = 0;
  for (const ActiveFontLayer& active : mActiveLayerList) {
    const FontLayer& layer = *active.mBaseFontLayer;
    double ratio = LayerRatio(layer);
    long long width = Scaled(layer.mCharData[code].mWidth, ratio);
    long long kern = 0;
    if (prev != 0)
      kern = Scaled(layer.mCharData[prevCode].mKerningOffsets[code], ratio) + Scaled(layer.mSpacing, ratio);
    widest = any ? std::max(widest, width + kern) : width + kern;
    any = true;
  }
  return plat::ClampToInt(widest);
}

int ImageFont::CharWidth(char c) { return CharWidthKern(c, 0); }

template <typename Place>
long long ImageFont::Walk(int x, int y, const std::string& text, const Color& color, Place&& place) {
  // What is the same for every glyph of a layer is worked out once per string.
  struct LayerPass {
    const ActiveFontLayer* active;
    const FontLayer* layer;
    double ratio;
    Color color;
  };
  std::vector<LayerPass> passes;
  passes.reserve(mActiveLayerList.size());
  for (const ActiveFontLayer& active : mActiveLayerList) {
    const FontLayer& layer = *active.mBaseFontLayer;
    passes.push_back({&active, &layer, LayerRatio(layer),
                      Color(LayerChannel(layer.mColorMult.mRed, color.mRed, layer.mColorAdd.mRed),
                            LayerChannel(layer.mColorMult.mGreen, color.mGreen, layer.mColorAdd.mGreen),
                            LayerChannel(layer.mColorMult.mBlue, color.mBlue, layer.mColorAdd.mBlue),
                            LayerChannel(layer.mColorMult.mAlpha, color.mAlpha, layer.mColorAdd.mAlpha))});
  }

  long long pen = x;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = mFontData->mCharMap[static_cast<unsigned char>(text[i])];
    auto next = i + 1 < text.size() ? mFontData->mCharMap[static_cast<unsigned char>(text[i + 1])] : 0;
    long long newPen = pen;
    for (const LayerPass& pass : passes) {
      const FontLayer& layer = *pass.layer;
      const CharData& glyph = layer.mCharData[c];

      RenderCommand command;
      command.mImage = pass.active->mScaledImage;
      command.mSrcRect = pass.active->mScaledCharImageRects[c];
      command.mMode = layer.mDrawMode;
      command.mDestX =
          plat::ClampToInt(pen + Scaled(static_cast<long long>(glyph.mOffset.mX) + layer.mOffset.mX, pass.ratio));
      command.mDestY = plat::ClampToInt(
          y - Scaled(static_cast<long long>(layer.mAscent) - glyph.mOffset.mY - layer.mOffset.mY, pass.ratio));
      command.mColor = pass.color;
      long long order = static_cast<long long>(glyph.mOrder) + layer.mBaseOrder + 128;
      int bucket = static_cast<int>(std::clamp(order, 0LL, 255LL));

      if (!place(command, bucket)) break;
      long long advance = Scaled(glyph.mWidth, pass.ratio);
      long long kern =
          next != 0 ? Scaled(static_cast<long long>(glyph.mKerningOffsets[next]) + layer.mSpacing, pass.ratio) : 0;
      newPen = std::max(newPen, pen + advance + kern);
    }
    pen = newPen;
  }
  return pen - x;
}

int ImageFont::StringWidth(const std::string& text) {
  if (!mFontData->mInitialized) return 0;
  Prepare();
  // The very layout that drawing uses, so a measured string is exactly as wide as it draws.
  return plat::ClampToInt(Walk(0, 0, text, Color::White, [](const RenderCommand&, int) { return true; }));
}

bool ImageFont::FillPool(RenderCommandPool& pool, int x, int y, const std::string& text, const Color& color,
                         std::vector<Rect>* drawnRects, int* width) {
  pool.Clear();
  if (drawnRects) drawnRects->clear();
  if (!mFontData->mInitialized) {
    if (width) *width = 0;
    return false;
  }

  Prepare();
  long long moved = Walk(x, y, text, color, [&](const RenderCommand& command, int bucket) {
    RenderCommand* record = pool.Allocate();
    if (!record) return false;
    *record = command;
    pool.Append(record, bucket);
    if (drawnRects)
      drawnRects->emplace_back(command.mDestX, command.mDestY, command.mSrcRect.mWidth, command.mSrcRect.mHeight);
    return true;
  });
  if (width) *width = plat::ClampToInt(moved);
  return true;
}

std::vector<RenderCommand> ImageFont::LayoutString(int x, int y, const std::string& text, const Color& color,
                                                   std::vector<Rect>* drawnRects, int* width) {
  RenderCommandPool& pool = RenderCommandPool::Instance();
  std::lock_guard<std::mutex> hold(pool.Lock());
  std::vector<RenderCommand> ordered;
  if (!FillPool(pool, x, y, text, color, drawnRects, width)) return ordered;
  pool.ForEach([&](const RenderCommand& command) {
    ordered.push_back(command);
    ordered.back().mNext = nullptr;
  });
  return ordered;
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) {
  DrawStringEx(g, x, y, text, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringEx(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip,
                             std::vector<Rect>* drawnRects, int* width) {
  // The pool is shared by every font of the process: it stays locked until the last glyph is drawn.
  RenderCommandPool& pool = RenderCommandPool::Instance();
  std::lock_guard<std::mutex> hold(pool.Lock());
  if (!FillPool(pool, x, y, text, color, drawnRects, width) || !g) return;

  const Color savedColor = g->GetColor();
  const bool savedColorize = g->GetColorizeImages();
  g->SetColorizeImages(true);
  pool.ForEach([g](const RenderCommand& command) {
    const int savedMode = g->GetDrawMode();
    if (command.mMode != -1) g->SetDrawMode(command.mMode);
    g->SetColor(command.mColor);
    g->DrawImageSrc(command.mImage, command.mDestX, command.mDestY, command.mSrcRect);
    g->SetDrawMode(savedMode);
  });
  g->SetColor(savedColor);
  g->SetColorizeImages(savedColorize);
}

}  // namespace Kit
