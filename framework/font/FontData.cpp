#include "framework/font/FontData.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <sstream>

#include "framework/font/FontHost.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/PathUtil.h"
#include "framework/util/StringUtil.h"
#include "platform/util/ClampToInt.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

// The character of a one-character entry of a character list.
bool SingleChar(const std::string& text, unsigned char* out) {
  if (text.size() != 1) return false;
  *out = static_cast<unsigned char>(text[0]);
  return true;
}

// value x 255 truncated toward zero; values beyond the int range are held at its ends rather than
// overflowing the conversion, and NaN gives the lowest.
int ScaleColorChannel(double value) { return plat::ClampToInt(value * 255.0, std::numeric_limits<int>::min()); }

}  // namespace

struct FontData::Command {
  size_t count;  // elements of the command, the command word included
  bool (FontData::*handler)(const ListDataElement&);
};

const std::map<std::string, FontData::Command>& FontData::Commands() {
  static const std::map<std::string, Command> commands = {
      {"DEFINE", {3, &FontData::DoDefine}},
      {"CREATEHORZSPANRECTLIST", {4, &FontData::DoCreateHorzSpanRectList}},
      {"SETDEFAULTPOINTSIZE", {2, &FontData::DoSetDefaultPointSize}},
      {"SETCHARMAP", {3, &FontData::DoSetCharMap}},
      {"CREATELAYER", {2, &FontData::DoCreateLayer}},
      {"CREATELAYERFROM", {3, &FontData::DoCreateLayerFrom}},
      {"LAYERREQUIRETAGS", {3, &FontData::DoLayerRequireTags}},
      {"LAYEREXCLUDETAGS", {3, &FontData::DoLayerExcludeTags}},
      {"LAYERPOINTRANGE", {4, &FontData::DoLayerPointRange}},
      {"LAYERSETPOINTSIZE", {3, &FontData::SetLayerInt<&FontLayer::mPointSize>}},
      {"LAYERSETIMAGE", {3, &FontData::DoLayerSetImage}},
      {"LAYERSETDRAWMODE", {3, &FontData::DoLayerSetDrawMode}},
      {"LAYERSETCOLORMULT", {3, &FontData::DoLayerSetColorMult}},
      {"LAYERSETCOLORADD", {3, &FontData::DoLayerSetColorAdd}},
      {"LAYERSETASCENT", {3, &FontData::SetLayerInt<&FontLayer::mAscent>}},
      {"LAYERSETASCENTPADDING", {3, &FontData::SetLayerInt<&FontLayer::mAscentPadding>}},
      {"LAYERSETLINESPACINGOFFSET", {3, &FontData::SetLayerInt<&FontLayer::mLineSpacingOffset>}},
      {"LAYERSETOFFSET", {3, &FontData::DoLayerSetOffset}},
      {"LAYERSETCHARWIDTHS", {4, &FontData::DoLayerSetCharWidths}},
      {"LAYERSETSPACING", {3, &FontData::SetLayerInt<&FontLayer::mSpacing>}},
      {"LAYERSETIMAGEMAP", {4, &FontData::DoLayerSetImageMap}},
      {"LAYERSETCHAROFFSETS", {4, &FontData::DoLayerSetCharOffsets}},
      {"LAYERSETKERNINGPAIRS", {4, &FontData::DoLayerSetKerningPairs}},
      {"LAYERSETBASEORDER", {3, &FontData::SetLayerInt<&FontLayer::mBaseOrder>}},
      {"LAYERSETCHARORDERS", {4, &FontData::DoLayerSetCharOrders}},
  };
  return commands;
}

FontData::FontData() {
  for (int i = 0; i < 256; ++i) mCharMap[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
}

FontData::~FontData() = default;

void FontData::DeRef() {
  if (--mRefCount <= 0) delete this;
}

bool FontData::Error(const std::string& text) {
  if (mApp) {
    std::string message = mFontErrorHeader + text;
    if (!mCurrentLine.empty()) message += " on Line " + std::to_string(mCurrentLineNum) + ":\r\n\r\n" + mCurrentLine;
    mApp->Popup(message);
  }
  return false;
}

bool FontData::Load(FontHost* app, const std::string& path) {
  if (mInitialized) return false;
  mApp = app;
  mCurrentLine.clear();
  mFontErrorHeader = "Font Descriptor Error in " + path + "\r\n";
  mSourceFile = path;
  mInitialized = LoadDescriptor(path);
  return true;
}

bool FontData::LoadLegacy(Image* image, const std::string& widthFile) {
  // Glyph sheets are software images (or surface-backed ones, which are kinds of them).
  auto* sheet = dynamic_cast<MemoryImage*>(image);
  if (mInitialized || !sheet) return false;

  FontLayer& layer = CreateLayerNamed("", nullptr);
  layer.mImage = sheet;  // held, not owned: the caller keeps the image alive
  layer.mHeight = image->GetHeight();
  layer.mAscent = image->GetHeight();

  // A folder, like a file that cannot be read or one far larger than any font's, is no width file.
  constexpr std::size_t kMaxWidthFileBytes = 16u << 20;
  std::string text;
  if (plat::ReadWholeFile(plat::MapPath(widthFile), &text, kMaxWidthFileBytes) != plat::FileReadResult::kRead)
    return false;
  std::istringstream file(std::move(text));
  mSourceFile = widthFile;

  int spaceWidth = 0;
  int ascent = 0;
  // A file without its two leading numbers is not a width file: it is refused rather than read as an
  // empty font.
  if (!(file >> spaceWidth >> ascent)) return false;
  layer.mCharData[' '].mWidth = spaceWidth;
  layer.mAscent = ascent;

  std::int64_t x = 0;
  char c = 0;
  int width = 0;
  while (file >> c >> width) {
    // Negative widths and rows wider than an int would place glyphs outside any image.
    if (width < 0 || x + width > std::numeric_limits<int>::max()) return false;
    CharData& data = layer.mCharData[static_cast<unsigned char>(c)];
    data.mImageRect = Rect(static_cast<int>(x), 0, width, image->GetHeight());
    data.mWidth = width;
    x += width;
  }

  for (char upper = 'A'; upper <= 'Z'; ++upper) {
    char lower = static_cast<char>(upper - 'A' + 'a');
    if (layer.mCharData[static_cast<unsigned char>(upper)].mWidth == 0 &&
        layer.mCharData[static_cast<unsigned char>(lower)].mWidth != 0)
      mCharMap[static_cast<unsigned char>(upper)] = static_cast<unsigned char>(lower);
  }
  for (char lower = 'a'; lower <= 'z'; ++lower) {
    char upper = static_cast<char>(lower - 'a' + 'A');
    if (layer.mCharData[static_cast<unsigned char>(lower)].mWidth == 0 &&
        layer.mCharData[static_cast<unsigned char>(upper)].mWidth != 0)
      mCharMap[static_cast<unsigned char>(lower)] = static_cast<unsigned char>(upper);
  }

  mInitialized = true;
  return true;
}

bool FontData::HandleCommand(const ListDataElement& params) {
  if (params.mElements.empty() || params.mElements[0]->mIsList) return Error("Missing Command");
  const auto& word = static_cast<const SingleDataElement&>(*params.mElements[0]).mString;
  auto found = Commands().find(StringToUpper(word));
  if (found == Commands().end()) return Error("Unknown Command");
  if (params.mElements.size() != found->second.count) return Error("Invalid Number of Parameters");
  return (this->*found->second.handler)(params);
}

bool FontData::GetLayerFromDataElement(const DataElement* element, FontLayer** out) {
  *out = nullptr;
  if (element->mIsList) return false;
  auto found = mFontLayerMap.find(StringToUpper(static_cast<const SingleDataElement*>(element)->mString));
  if (found == mFontLayerMap.end()) return Error("Undefined Layer");
  *out = found->second;
  return true;
}

FontLayer& FontData::CreateLayerNamed(const std::string& name, const FontLayer* copyFrom) {
  FontLayer& layer = copyFrom ? mFontLayerList.emplace_back(*copyFrom) : mFontLayerList.emplace_back(this);
  mFontLayerMap.emplace(StringToUpper(name), &layer);
  return layer;
}

bool FontData::ReadInt(const DataElement* element, int* out) {
  return !element->mIsList && StringToInt(static_cast<const SingleDataElement*>(element)->mString, *out);
}

bool FontData::ReadWord(const DataElement* element, std::string* out) {
  if (element->mIsList) return false;
  *out = static_cast<const SingleDataElement*>(element)->mString;
  return true;
}

bool FontData::ReadLayerInt(const ListDataElement& params, FontLayer** layer, int* value) {
  if (!GetLayerFromDataElement(params.mElements[1].get(), layer)) return InvalidType();
  if (!ReadInt(params.mElements[2].get(), value)) return InvalidType();
  return true;
}

template <int FontLayer::*kField>
bool FontData::SetLayerInt(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  int value = 0;
  if (!ReadLayerInt(params, &layer, &value)) return false;
  layer->*kField = value;
  return true;
}

bool FontData::DoDefine(const ListDataElement& params) {
  std::string name;
  if (!ReadWord(params.mElements[1].get(), &name) || IsLiteral(name)) return InvalidType();
  mDefineMap.erase(StringToUpper(name));

  const DataElement* value = params.mElements[2].get();
  if (value->mIsList) {
    auto resolved = std::make_unique<ListDataElement>();
    if (!ResolveList(static_cast<const ListDataElement&>(*value), resolved.get())) return false;
    SetDefine(name, std::move(resolved));
  } else if (DataElement* defined = GetDefine(static_cast<const SingleDataElement&>(*value).mString)) {
    SetDefine(name, defined->Duplicate());
  } else {
    SetDefine(name, value->Duplicate());
  }
  return true;
}

bool FontData::DoCreateHorzSpanRectList(const ListDataElement& params) {
  std::string name;
  std::vector<int> rect;
  std::vector<int> widths;
  if (!ReadWord(params.mElements[1].get(), &name) || !DataToIntVector(params.mElements[2].get(), &rect) ||
      rect.size() != 4 || !DataToIntVector(params.mElements[3].get(), &widths))
    return InvalidType();

  auto list = std::make_unique<ListDataElement>();
  // Widths are summed in unsigned arithmetic: a sum past the int range wraps instead of overflowing.
  unsigned x = static_cast<unsigned>(rect[0]);
  for (int width : widths) {
    auto entry = std::make_unique<ListDataElement>();
    for (int value : {static_cast<int>(x), rect[1], width, rect[3]})
      entry->mElements.push_back(std::make_unique<SingleDataElement>(std::to_string(value)));
    list->mElements.push_back(std::move(entry));
    x += static_cast<unsigned>(width);
  }
  SetDefine(name, std::move(list));
  return true;
}

bool FontData::DoSetDefaultPointSize(const ListDataElement& params) {
  if (!ReadInt(params.mElements[1].get(), &mDefaultPointSize)) return InvalidType();
  return true;
}

bool FontData::DoSetCharMap(const ListDataElement& params) {
  std::vector<std::string> from;
  std::vector<std::string> to;
  if (!DataToStringVector(params.mElements[1].get(), &from) || !DataToStringVector(params.mElements[2].get(), &to))
    return InvalidType();
  if (from.size() != to.size()) return Error("List Size Mismatch");
  bool allValid = true;
  for (size_t i = 0; i < from.size(); ++i) {
    unsigned char source = 0;
    unsigned char target = 0;
    if (SingleChar(from[i], &source) && SingleChar(to[i], &target))
      mCharMap[source] = target;
    else
      allValid = false;
  }
  return allValid || InvalidType();
}

bool FontData::DoCreateLayer(const ListDataElement& params) {
  std::string name;
  if (!ReadWord(params.mElements[1].get(), &name)) return InvalidType();
  bool exists = mFontLayerMap.count(StringToUpper(name)) > 0;
  CreateLayerNamed(name, nullptr);
  // Reported, yet loading goes on: the name keeps its first layer.
  if (exists) Error("Layer Already Exists");
  return true;
}

bool FontData::DoCreateLayerFrom(const ListDataElement& params) {
  std::string name;
  FontLayer* source = nullptr;
  if (!ReadWord(params.mElements[1].get(), &name) || !GetLayerFromDataElement(params.mElements[2].get(), &source))
    return InvalidType();
  bool exists = mFontLayerMap.count(StringToUpper(name)) > 0;
  CreateLayerNamed(name, source);
  if (exists) Error("Layer Already Exists");
  return true;
}

bool FontData::SetTags(const ListDataElement& params, bool required) {
  FontLayer* layer = nullptr;
  std::vector<std::string> tags;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToStringVector(params.mElements[2].get(), &tags))
    return InvalidType();
  auto& target = required ? layer->mRequiredTags : layer->mExcludedTags;
  for (const std::string& tag : tags) target.push_back(StringToUpper(tag));
  return true;
}

bool FontData::DoLayerRequireTags(const ListDataElement& params) { return SetTags(params, true); }

bool FontData::DoLayerExcludeTags(const ListDataElement& params) { return SetTags(params, false); }

bool FontData::DoLayerPointRange(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  int minimum = 0;
  int maximum = 0;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) || !ReadInt(params.mElements[2].get(), &minimum) ||
      !ReadInt(params.mElements[3].get(), &maximum))
    return InvalidType();
  layer->mMinPointSize = minimum;
  layer->mMaxPointSize = maximum;
  return true;
}

bool FontData::DoLayerSetImage(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  std::string file;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) || !DataToString(params.mElements[2].get(), &file))
    return InvalidType();
  std::string path = GetPathFrom(file, GetFileDir(mSourceFile, false));
  bool created = false;
  SharedImageRef image = mApp ? mApp->GetSharedImage(path, "", &created) : SharedImageRef();
  if (!image.GetImage()) return Error("Failed to Load Image");
  if (created) image.GetImage()->Palletize();
  layer->mImage = std::move(image);
  return true;
}

bool FontData::DoLayerSetDrawMode(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  int mode = 0;
  if (!ReadLayerInt(params, &layer, &mode)) return false;
  if (mode != 0 && mode != 1) return InvalidType();
  layer->mDrawMode = mode;
  return true;
}

bool FontData::SetLayerColor(const ListDataElement& params, bool multiply) {
  FontLayer* layer = nullptr;
  std::vector<double> values;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToDoubleVector(params.mElements[2].get(), &values) || values.size() != 4)
    return InvalidType();
  Color color(ScaleColorChannel(values[0]), ScaleColorChannel(values[1]), ScaleColorChannel(values[2]),
              ScaleColorChannel(values[3]));
  (multiply ? layer->mColorMult : layer->mColorAdd) = color;
  return true;
}

bool FontData::DoLayerSetColorMult(const ListDataElement& params) { return SetLayerColor(params, true); }

bool FontData::DoLayerSetColorAdd(const ListDataElement& params) { return SetLayerColor(params, false); }

bool FontData::DoLayerSetOffset(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  std::vector<int> offset;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToIntVector(params.mElements[2].get(), &offset) || offset.size() != 2)
    return InvalidType();
  layer->mOffset = Point(offset[0], offset[1]);
  return true;
}

bool FontData::SetCharInts(const ListDataElement& params, void (*apply)(CharData&, int)) {
  FontLayer* layer = nullptr;
  std::vector<std::string> chars;
  std::vector<int> values;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToStringVector(params.mElements[2].get(), &chars) || !DataToIntVector(params.mElements[3].get(), &values))
    return InvalidType();
  if (chars.size() != values.size()) return Error("List Size Mismatch");
  bool allValid = true;
  for (size_t i = 0; i < chars.size(); ++i) {
    unsigned char c = 0;
    if (SingleChar(chars[i], &c))
      apply(layer->mCharData[c], values[i]);
    else
      allValid = false;
  }
  return allValid || InvalidType();
}

bool FontData::DoLayerSetCharWidths(const ListDataElement& params) {
  return SetCharInts(params, [](CharData& data, int width) { data.mWidth = width; });
}

bool FontData::DoLayerSetCharOrders(const ListDataElement& params) {
  return SetCharInts(params, [](CharData& data, int order) { data.mOrder = order; });
}

bool FontData::DoLayerSetImageMap(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  std::vector<std::string> chars;
  ListDataElement rects;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToStringVector(params.mElements[2].get(), &chars) || !DataToList(params.mElements[3].get(), &rects))
    return InvalidType();
  if (chars.size() != rects.mElements.size()) return Error("List Size Mismatch");
  const Image* sheet = layer->mImage.GetImage();
  if (!sheet) return Error("Layer image not set");

  const std::int64_t imageWidth = sheet->GetWidth();
  const std::int64_t imageHeight = sheet->GetHeight();
  bool allValid = true;
  for (size_t i = 0; i < chars.size(); ++i) {
    std::vector<int> rect;
    if (!DataToIntVector(rects.mElements[i].get(), &rect) || rect.size() != 4) return InvalidType();
    // A negative size would reach outside the sheet just as a negative position does.
    if (rect[0] < 0 || rect[1] < 0 || rect[2] < 0 || rect[3] < 0 || std::int64_t{rect[0]} + rect[2] > imageWidth ||
        std::int64_t{rect[1]} + rect[3] > imageHeight)
      return Error("Image rectangle out of bounds");
    unsigned char c = 0;
    if (SingleChar(chars[i], &c))
      layer->mCharData[c].mImageRect = Rect(rect[0], rect[1], rect[2], rect[3]);
    else
      allValid = false;
  }

  std::int64_t height = std::numeric_limits<std::int64_t>::min();
  for (const CharData& data : layer->mCharData)
    height = std::max(height, std::int64_t{data.mImageRect.mHeight} + data.mOffset.mY);
  layer->mHeight = plat::ClampToInt(height);
  return allValid || InvalidType();
}

bool FontData::DoLayerSetCharOffsets(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  std::vector<std::string> chars;
  ListDataElement offsets;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToStringVector(params.mElements[2].get(), &chars) || !DataToList(params.mElements[3].get(), &offsets))
    return InvalidType();
  if (chars.size() != offsets.mElements.size()) return Error("List Size Mismatch");
  bool allValid = true;
  for (size_t i = 0; i < chars.size(); ++i) {
    std::vector<int> offset;
    if (!DataToIntVector(offsets.mElements[i].get(), &offset) || offset.size() != 2) return InvalidType();
    unsigned char c = 0;
    if (SingleChar(chars[i], &c))
      layer->mCharData[c].mOffset = Point(offset[0], offset[1]);
    else
      allValid = false;
  }
  return allValid || InvalidType();
}

bool FontData::DoLayerSetKerningPairs(const ListDataElement& params) {
  FontLayer* layer = nullptr;
  std::vector<std::string> pairs;
  std::vector<int> offsets;
  if (!GetLayerFromDataElement(params.mElements[1].get(), &layer) ||
      !DataToStringVector(params.mElements[2].get(), &pairs) || !DataToIntVector(params.mElements[3].get(), &offsets))
    return InvalidType();
  if (pairs.size() != offsets.size()) return Error("List Size Mismatch");
  bool allValid = true;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i].size() != 2) {
      allValid = false;
      continue;
    }
    auto first = static_cast<unsigned char>(pairs[i][0]);
    auto second = static_cast<unsigned char>(pairs[i][1]);
    layer->mCharData[first].mKerningOffsets[second] = static_cast<std::int8_t>(offsets[i] & 0xFF);
  }
  return allValid || InvalidType();
}

}  // namespace Kit
