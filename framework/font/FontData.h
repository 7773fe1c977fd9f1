// Everything a bitmap font file describes: named layers with their glyph sheets and character data,
// the character map and the default point size. It reads font descriptor files (and the legacy form of
// one image with a plain width list) and is shared, reference counted, by an ImageFont and its copies.
#pragma once

#include <array>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "framework/font/DescParser.h"
#include "framework/font/FontLayer.h"

namespace Kit {

class FontHost;
class Image;

class FontData : public DescParser {
 public:
  FontData();
  ~FontData() override;

  // Shows the error, with the file, the line and the command being read, through the host.
  bool Error(const std::string& text) override;
  bool HandleCommand(const ListDataElement& params) override;

  void Ref() { ++mRefCount; }
  // At the last release the font data deletes itself.
  void DeRef();

  // Reads a descriptor file; refused when already loaded. The result of the reading is the
  // initialized flag.
  bool Load(FontHost* app, const std::string& path);
  // Builds a one-layer font from an image (not owned: the caller keeps it alive) and a width file.
  bool LoadLegacy(Image* image, const std::string& widthFile);

  // The layer named by a word; reports "Undefined Layer" for an unknown name.
  bool GetLayerFromDataElement(const DataElement* element, FontLayer** out);

  bool mInitialized = false;
  int mRefCount = 0;
  FontHost* mApp = nullptr;  // not owned
  int mDefaultPointSize = 0;
  std::array<unsigned char, 256> mCharMap;          // character of a string -> character whose glyph is drawn
  std::list<FontLayer> mFontLayerList;              // in creation order
  std::map<std::string, FontLayer*> mFontLayerMap;  // upper-cased names
  std::string mSourceFile;
  std::string mFontErrorHeader;

 private:
  struct Command;
  static const std::map<std::string, Command>& Commands();

  FontLayer& CreateLayerNamed(const std::string& name, const FontLayer* copyFrom);
  bool ReadInt(const DataElement* element, int* out);
  bool ReadWord(const DataElement* element, std::string* out);
  bool InvalidType() { return Error("Invalid Paramater Type"); }

  bool DoDefine(const ListDataElement& params);
  bool DoCreateHorzSpanRectList(const ListDataElement& params);
  bool DoSetDefaultPointSize(const ListDataElement& params);
  bool DoSetCharMap(const ListDataElement& params);
  bool DoCreateLayer(const ListDataElement& params);
  bool DoCreateLayerFrom(const ListDataElement& params);
  bool DoLayerRequireTags(const ListDataElement& params);
  bool DoLayerExcludeTags(const ListDataElement& params);
  bool DoLayerPointRange(const ListDataElement& params);
  bool DoLayerSetImage(const ListDataElement& params);
  bool DoLayerSetDrawMode(const ListDataElement& params);
  bool DoLayerSetColorMult(const ListDataElement& params);
  bool DoLayerSetColorAdd(const ListDataElement& params);
  bool DoLayerSetOffset(const ListDataElement& params);
  bool DoLayerSetCharWidths(const ListDataElement& params);
  bool DoLayerSetImageMap(const ListDataElement& params);
  bool DoLayerSetCharOffsets(const ListDataElement& params);
  bool DoLayerSetKerningPairs(const ListDataElement& params);
  bool DoLayerSetCharOrders(const ListDataElement& params);

  // The layer and one int: the shape of the layer's single-number commands.
  bool ReadLayerInt(const ListDataElement& params, FontLayer** layer, int* value);
  // The layer's single-number commands: the number read into the layer's field.
  template <int FontLayer::*kField>
  bool SetLayerInt(const ListDataElement& params);
  bool SetLayerColor(const ListDataElement& params, bool multiply);
  bool SetTags(const ListDataElement& params, bool required);
  // The layer, a list of characters and a parallel list of ints, applied one character at a time.
  bool SetCharInts(const ListDataElement& params, void (*apply)(CharData&, int));
};

}  // namespace Kit
