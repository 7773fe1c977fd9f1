// The bitmap font: a Font drawn from the layers of a shared FontData. For its point size, scale and
// tags it picks the layers that apply, prepares each (rescaling its glyph sheet when the size differs
// from the layer's own), derives the font metrics from them, measures strings with kerning and lays
// strings out glyph by glyph and layer by layer in per-character and per-layer order, each glyph
// tinted by its layer's colour arithmetic.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "framework/font/ActiveFontLayer.h"
#include "framework/font/Font.h"
#include "framework/font/RenderCommand.h"

namespace Kit {

class FontData;
class FontHost;
class FontLayer;
class Image;
class RenderCommandPool;

class ImageFont : public Font {
 public:
  // Sheets larger than this many pixels are not made: such a layer measures but draws nothing.
  static constexpr long long kMaxScaledSheetPixels = 1LL << 22;

  // A font read from a descriptor file; errors are shown through app.
  ImageFont(FontHost* app, const std::string& descriptorPath);
  // A one-layer font from an image (kept alive by the caller) and a legacy width file.
  ImageFont(Image* image, const std::string& widthFile);
  ImageFont(const ImageFont& other);
  ImageFont& operator=(const ImageFont&) = delete;
  ~ImageFont() override;

  int StringWidth(const std::string& text) override;
  int CharWidth(char c) override;
  int CharWidthKern(char c, char prev) override;
  Font* Duplicate() override;
  // The clip argument is not used: the context's own clip applies.
  void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) override;

  virtual void GenerateActiveLayers();
  // Draws text with its baseline at y through g (its translation and clip apply), glyphs in layer and
  // character order. drawnRects (when given) receives each glyph's destination and width (when given)
  // how far the pen moved.
  virtual void DrawStringEx(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip,
                            std::vector<Rect>* drawnRects, int* width);
  virtual void SetPointSize(int pointSize);
  virtual int GetPointSize();
  virtual void SetScale(double scale);
  virtual int GetDefaultPointSize();
  // Adds the tag in upper case unless the very same text is already there.
  virtual bool AddTag(const std::string& tag);
  // Removes one occurrence of the upper-cased tag.
  virtual bool RemoveTag(const std::string& tag);
  // Exact comparison: stored tags are upper case.
  virtual bool HasTag(const std::string& tag);
  // The descriptor's define of that name as text, or empty.
  virtual std::string GetDefine(const std::string& name);
  // Rebuilds the active layers after a change of size, scale or tags.
  virtual void Prepare();

  // The glyph records that drawing text with its baseline at y would draw, in drawing order. At most
  // the pool's size of records are made; drawnRects (when given) receives each record's destination
  // and width (when given) how far the pen moved.
  std::vector<RenderCommand> LayoutString(int x, int y, const std::string& text, const Color& color,
                                          std::vector<Rect>* drawnRects, int* width);

  FontData* mFontData;
  int mPointSize = 0;
  std::vector<std::string> mTagVector;  // upper case
  bool mActiveListValid = false;
  std::list<ActiveFontLayer> mActiveLayerList;
  double mScale = 1.0;
  bool mForceScaledImagesWhite = false;

 private:
  // S x K / P for a layer of point size P, or K for an unscaled layer.
  double LayerRatio(const FontLayer& layer) const;
  bool Accepts(const FontLayer& layer) const;
  void AddActiveLayer(FontLayer& layer, double ratio);
  // Lays text out into the shared pool, whose lock the caller holds; false when the font has no data
  // (nothing laid out, width 0).
  bool FillPool(RenderCommandPool& pool, int x, int y, const std::string& text, const Color& color,
                std::vector<Rect>* drawnRects, int* width);
  // Walks the layout of text: place(command, bucket) gets each glyph record and returns false when it
  // cannot take it, which leaves that glyph out of the pen's advance. Returns how far the pen moved.
  template <typename Place>
  long long Walk(int x, int y, const std::string& text, const Color& color, Place&& place);
};

}  // namespace Kit
