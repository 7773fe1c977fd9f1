#include "framework/font/FontData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "platform/win/files/PathMap.h"
#include "tests/support/BlankSheetFontHost.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::Color;
using Kit::FontData;
using Kit::FontLayer;
using Kit::Rect;

// The text an error about `text` shows, without the header and the command.
std::string Reason(const std::string& popup) {
  size_t start = popup.find("\r\n") + 2;
  return popup.substr(start, popup.find(" on Line ") - start);
}

class FontDataLoad : public ::testing::Test {
 protected:
  // Loads a descriptor and returns whether it loaded.
  bool Load(const std::string& descriptor) {
    path = dir.Write("fonts/main.txt", descriptor);
    EXPECT_TRUE(data.Load(&host, path));
    return data.mInitialized;
  }

  std::vector<std::string> Shown() const {
    std::vector<std::string> reasons;
    for (const auto& popup : host.popups) reasons.push_back(Reason(popup));
    return reasons;
  }

  FontLayer& Layer(const std::string& name) { return *data.mFontLayerMap.at(name); }

  testsupport::TempDir dir;
  testsupport::BlankSheetFontHost host;
  FontData data;
  std::string path;
};

using Reasons = std::vector<std::string>;

TEST_F(FontDataLoad, AnErrorNamesTheFileTheLineAndTheCommand) {
  EXPECT_FALSE(Load("CreateLayer Main;\n\nFrobnicate Main\n  1 2;\nCreateLayer Other;"));
  ASSERT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(host.popups[0],
            "Font Descriptor Error in " + path +
                "\r\nUnknown Command on Line 3:\r\n\r\nFrobnicate Main\n1 2");  // indentation is not kept
  EXPECT_EQ(data.mFontLayerList.size(), 1u);  // the file stopped at the failing command
}

TEST_F(FontDataLoad, ALoadedFontIsNotLoadedAgain) {
  EXPECT_TRUE(Load("SetDefaultPointSize 12;"));
  EXPECT_EQ(data.mDefaultPointSize, 12);
  EXPECT_FALSE(data.Load(&host, path));
}

TEST_F(FontDataLoad, DefinesStoreWordsDuplicatesResolvedListsAndSpanRectangles) {
  EXPECT_TRUE(
      Load("Define A 'x y'; Define B a; Define C (1 a); Define A 2; CreateHorzSpanRectList R (10 20 0 30) (4 5 6);"));
  EXPECT_EQ(FontData::DataElementToText(data.GetDefine("a")), "2");
  EXPECT_EQ(FontData::DataElementToText(data.GetDefine("b")), "'x y'");
  EXPECT_EQ(FontData::DataElementToText(data.GetDefine("c")), "(1, 'x y')");
  EXPECT_EQ(FontData::DataElementToText(data.GetDefine("R")), "((10, 20, 4, 30), (14, 20, 5, 30), (19, 20, 6, 30))");
}

TEST_F(FontDataLoad, LayersAreCaseInsensitiveAndADuplicateNameGoesOn) {
  EXPECT_TRUE(Load("CreateLayer main; LayerSetAscent MAIN 7; CREATELAYER Main; layersetascent main 9;"));
  EXPECT_EQ(Shown(), Reasons{"Layer Already Exists"});
  ASSERT_EQ(data.mFontLayerList.size(), 2u);
  EXPECT_EQ(data.mFontLayerList.front().mAscent, 9);
  EXPECT_EQ(data.mFontLayerList.back().mAscent, 0);
}

// (Colours, metrics, offsets, spacing and orders are judged by the image font that lays out with them.)
TEST_F(FontDataLoad, LayerSettings) {
  EXPECT_TRUE(Load(R"(
    Define shadow 'Shadow';
    CreateLayer Main;
    LayerRequireTags Main ('bold' "Big");
    LayerExcludeTags Main (shadow);
    LayerPointRange Main 8 -1;
    LayerSetPointSize Main 0x10;
    LayerSetDrawMode Main 1;
    LayerSetKerningPairs Main ("AV" "VA" "Tx") (-2 200 -129);
    SetCharMap ('a' 'b') ('A' 'B');
    CreateLayer L; LayerSetColorMult L (99999999999999999999.0 -99999999999999999999.0 0 0);
  )"));
  const FontLayer& layer = Layer("MAIN");
  EXPECT_EQ(layer.mRequiredTags, (std::vector<std::string>{"BOLD", "BIG"}));
  EXPECT_EQ(layer.mExcludedTags, std::vector<std::string>{"'SHADOW'"});  // a define's word keeps its quotes
  EXPECT_EQ(layer.mMinPointSize, 8);
  EXPECT_EQ(layer.mMaxPointSize, -1);
  EXPECT_EQ(layer.mPointSize, 16);
  EXPECT_EQ(layer.mDrawMode, 1);
  EXPECT_EQ(layer.mCharData['A'].mKerningOffsets['V'], -2);
  EXPECT_EQ(layer.mCharData['V'].mKerningOffsets['A'], -56);
  EXPECT_EQ(layer.mCharData['T'].mKerningOffsets['x'], 127);
  EXPECT_EQ(data.mCharMap['a'], 'A');
  EXPECT_EQ(data.mCharMap['b'], 'B');
  EXPECT_EQ(data.mCharMap['c'], 'c');
  EXPECT_EQ(Layer("L").mColorMult.mRed, 2147483647);  // huge colour factors are held at the int range
  EXPECT_EQ(Layer("L").mColorMult.mGreen, -2147483647 - 1);
}

TEST_F(FontDataLoad, ImagesAreFoundBesideTheDescriptor) {
  EXPECT_TRUE(Load("CreateLayer L; LayerSetImage L 'sheet.png'; CreateLayer M; LayerSetImage M ..\\\\other.png;"));
  ASSERT_EQ(host.requested.size(), 2u);
  std::string sheet = dir.Write("fonts/sheet.png", "");
  std::string other = dir.Write("other.png", "");
  EXPECT_TRUE(std::filesystem::equivalent(plat::MapPath(host.requested[0]), sheet)) << host.requested[0];
  EXPECT_TRUE(std::filesystem::equivalent(plat::MapPath(host.requested[1]), other)) << host.requested[1];
  EXPECT_EQ(Layer("L").mImage.mSharedImage, host.images.GetSharedImage(host.requested[0], "").mSharedImage);
}

TEST_F(FontDataLoad, TheImageMapPlacesEachCharacterOnTheSheet) {
  EXPECT_TRUE(Load(R"(
    CreateLayer L; LayerSetImage L sheet.png;
    LayerSetCharOffsets L ('a' 'b') ((0 0) (1 3));
    LayerSetImageMap L ('a' 'b') ((60 0 4 16) (0 2 5 14));
  )"));
  EXPECT_EQ(Layer("L").mCharData['a'].mImageRect, Rect(60, 0, 4, 16));
  EXPECT_EQ(Layer("L").mCharData['b'].mImageRect, Rect(0, 2, 5, 14));
  EXPECT_EQ(Layer("L").mHeight, 17);  // b's 14 rows drawn 3 lower
}

// A descriptor that cannot be loaded, and the reasons shown for it, in order.
struct Refusal {
  const char* name;
  const char* descriptor;
  Reasons reasons;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class FontDataRefusal : public FontDataLoad, public testing::WithParamInterface<Refusal> {};

TEST_P(FontDataRefusal, ShowsItsReasons) {
  EXPECT_FALSE(Load(GetParam().descriptor));
  EXPECT_EQ(Shown(), GetParam().reasons);
}

const char kBadType[] = "Invalid Paramater Type";
const char kOutside[] = "Image rectangle out of bounds";

INSTANTIATE_TEST_SUITE_P(
    Descriptors, FontDataRefusal,
    testing::Values(
        Refusal{"TwoPointSizes", "SetDefaultPointSize 12 13;", {"Invalid Number of Parameters"}},
        Refusal{"NoSemicolons", "Define A 1\nDefine B 2\n", {"Invalid Number of Parameters"}},  // one command
        Refusal{"SpanRectOfThreeNumbers", "CreateHorzSpanRectList R (10 20 0) (4);", {kBadType}},
        Refusal{"NameFromADigit", "Define 1abc 5;", {kBadType}}, Refusal{"NameFromMinus", "Define -x 5;", {kBadType}},
        Refusal{"NameFromPlus", "Define +x 5;", {kBadType}}, Refusal{"CharacterForAName", "Define 'x' 5;", {kBadType}},
        Refusal{"StringForAName", "Define \"x\" 5;", {kBadType}},
        Refusal{"UndefinedLayer", "CreateLayer Main; LayerSetAscent Other 3;", {"Undefined Layer", kBadType}},
        Refusal{"DrawModeNotAList", "CreateLayer L; LayerSetDrawMode L 2;", {kBadType}},
        Refusal{"DrawModeListOfOne", "CreateLayer L; LayerSetDrawMode L (1);", {kBadType}},
        Refusal{"ColorMultOfThree", "CreateLayer L; LayerSetColorMult L (1 1 1);", {kBadType}},
        Refusal{"ColorAddNotANumber", "CreateLayer L; LayerSetColorAdd L (1 1 1 1x);", {kBadType}},
        Refusal{"OffsetOfOne", "CreateLayer L; LayerSetOffset L (1);", {kBadType}},
        Refusal{"FractionalAscent", "CreateLayer L; LayerSetAscent L 1.5;", {kBadType}},
        Refusal{
            "FewerWidthsThanCharacters", "CreateLayer L; LayerSetCharWidths L ('a' 'b') (1);", {"List Size Mismatch"}},
        Refusal{"TwoLettersForACharacter", "CreateLayer L; LayerSetCharWidths L ('ab' 'c') (1 2);", {kBadType}},
        // Both faults: the type wins.
        Refusal{"BadWidthAndMoreWidths", "CreateLayer L; LayerSetCharWidths L ('a' 'b') (1 2x 3);", {kBadType}},
        Refusal{"MissingImage", "CreateLayer L; LayerSetImage L missing.png;", {"Failed to Load Image"}},
        Refusal{"MapWithoutImage", "CreateLayer L; LayerSetImageMap L ('a') ((0 0 1 1));", {"Layer image not set"}},
        Refusal{"MapPastTheRight",
                "CreateLayer L; LayerSetImage L s.png; LayerSetImageMap L ('a') ((61 0 4 16));",
                {kOutside}},
        Refusal{"MapPastTheBottom",
                "CreateLayer L; LayerSetImage L s.png; LayerSetImageMap L ('a') ((0 1 4 16));",
                {kOutside}},
        Refusal{"MapLeftOfTheImage",
                "CreateLayer L; LayerSetImage L s.png; LayerSetImageMap L ('a') ((-1 0 4 4));",
                {kOutside}},
        Refusal{"MapAboveTheImage",
                "CreateLayer L; LayerSetImage L s.png; LayerSetImageMap L ('a') ((0 -1 4 4));",
                {kOutside}},
        Refusal{"MapOfNegativeWidth",
                "CreateLayer L; LayerSetImage L s.png; LayerSetImageMap L ('a') ((4 4 -2 2));",
                {kOutside}},
        Refusal{"MapOfThreeNumbers",
                "CreateLayer L; LayerSetImage L s.png; LayerSetImageMap L ('a') ((0 0 4));",
                {kBadType}}),
    testing::PrintToStringParamName());

TEST_F(FontDataLoad, ErrorsWithoutAHostAreSilent) {
  FontData silent;
  EXPECT_TRUE(silent.Load(nullptr, dir.Write("x.txt", "Bogus;")));
  EXPECT_FALSE(silent.mInitialized);
}

class FontDataLegacy : public ::testing::Test {
 protected:
  FontDataLegacy() { image.Create(40, 12); }
  testsupport::TempDir dir;
  Kit::MemoryImage image;
  FontData data;
};

TEST_F(FontDataLegacy, BadWidthFilesAreRefused) {
  EXPECT_FALSE(data.LoadLegacy(&image, (dir.Path() / "absent.txt").string()));
  FontData folder;
  EXPECT_FALSE(folder.LoadLegacy(&image, dir.Path().string()));
  FontData noHeader;
  EXPECT_FALSE(noHeader.LoadLegacy(&image, dir.Write("h.txt", "five 10")));
  EXPECT_FALSE(noHeader.mInitialized);
  FontData negative;
  EXPECT_FALSE(negative.LoadLegacy(&image, dir.Write("n.txt", "5 10 a -3")));
  FontData overflowing;
  EXPECT_FALSE(overflowing.LoadLegacy(&image, dir.Write("o.txt", "5 10 a 2147483000 b 2147483000")));
}

}  // namespace
