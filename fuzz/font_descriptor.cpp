// Feeds arbitrary bytes to the font descriptor reader as a descriptor file: once to a handler that runs
// every conversion on every parameter and keeps defines, so tokenising, resolution and the define table
// all see hostile input, and once as a bitmap font that is then laid out at a few sizes and tags.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/font/DescParser.h"
#include "framework/font/FontHost.h"
#include "framework/font/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImageSet.h"
#include "fuzz/FuzzInputFile.h"

namespace {

class ExercisingParser : public Kit::DescParser {
 public:
  bool HandleCommand(const Kit::ListDataElement& params) override {
    for (size_t i = 1; i < params.mElements.size(); ++i) {
      const Kit::DataElement* param = params.mElements[i].get();
      std::string text;
      std::vector<std::string> strings;
      std::vector<int> ints;
      std::vector<double> doubles;
      Kit::ListDataElement list;
      DataToString(param, &text);
      DataToStringVector(param, &strings);
      DataToIntVector(param, &ints);
      DataToDoubleVector(param, &doubles);
      DataToList(param, &list);
      DataElementToText(param);
    }
    if (params.mElements.size() == 3 && !params.mElements[1]->mIsList) {
      const auto& name = static_cast<const Kit::SingleDataElement&>(*params.mElements[1]).mString;
      const Kit::DataElement* value = params.mElements[2].get();
      if (value->mIsList) {
        auto resolved = std::make_unique<Kit::ListDataElement>();
        if (!ResolveList(static_cast<const Kit::ListDataElement&>(*value), resolved.get())) return false;
        SetDefine(name, std::move(resolved));
      } else {
        SetDefine(name, value->Duplicate());
      }
    }
    return true;
  }
};

// Every image file is the same small sheet.
class SheetHost : public Kit::FontHost {
 public:
  Kit::SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override {
    return mSheets.GetSharedImage("sheet", "", created);
  }

 private:
  Kit::SharedImageSet mSheets{[](const std::string&) {
                                auto sheet = std::make_unique<Kit::MemoryImage>();
                                sheet->Create(48, 24);
                                return sheet;
                              },
                              nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzsupport::WriteInputFile(data, size, ".txt");
  for (int flags = 1; flags <= 3; ++flags) {
    ExercisingParser parser;
    parser.mCmdSep = flags;
    parser.LoadDescriptor(path);
  }

  SheetHost host;
  Kit::ImageFont font(&host, path);
  const std::string text = "The quick brown fox\x01\xff";
  for (int pointSize : {font.GetDefaultPointSize(), 7, 30}) {
    font.SetPointSize(pointSize);
    font.AddTag("bold");
    int width = 0;
    font.LayoutString(3, 20, text, Kit::Color(200, 100, 50, 255), nullptr, &width);
    if (width != font.StringWidth(text) && text.size() * font.mActiveLayerList.size() < 4096) __builtin_trap();
    font.RemoveTag("BOLD");
    font.CharWidthKern('a', 'V');
  }
  return 0;
}
