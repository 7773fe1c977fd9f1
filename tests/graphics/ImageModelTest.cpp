#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativePixel.h"
#include "tests/support/ScreenHost.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using Kit::Color;
using Kit::MemoryImage;
using Kit::Rect;

class RecordingImage : public Kit::Image {
 public:
  void FillRect(const Rect& rect, const Color&, int) override { fills.push_back(rect); }
  std::vector<Rect> fills;
};

class FakeHost : public testsupport::ScreenHost {
 public:
  FakeHost() : ScreenHost(800, 600) {}
  bool Is3DAccelerated() override { return accelerated; }
  void Remove3DData(MemoryImage* image) override { ++removed3D; }

  bool accelerated = false;
  int removed3D = 0;
};

Kit::NativeDisplay Display565() {
  Kit::NativeDisplay d;
  d.SetFormat(16, 0xF800, 0x07E0, 0x001F);
  return d;
}

MemoryImage MakeImage(const std::vector<std::uint32_t>& pixels, int width) {
  MemoryImage image;
  image.SetBits(pixels.data(), width, static_cast<int>(pixels.size()) / width);
  return image;
}

TEST(AnimInfo, PerFrameDelaysFillGapsWithDefault) {
  Kit::AnimInfo info;
  info.mFrameDelay = 0;  // raised to 1
  info.SetPerFrameDelay(2, 7);
  info.Compute(4, 5, 9);
  EXPECT_EQ(info.mFrameDelay, 1);
  EXPECT_EQ(info.mPerFrameDelay, (std::vector<int>{5, 1, 7, 9}));
  EXPECT_EQ(info.mTotalAnimTime, 22);

  Kit::AnimInfo single;
  single.mAnimType = Kit::AnimInfo::ANIM_PINGPONG;
  single.Compute(0);
  EXPECT_EQ(single.mNumCels, 1);
  EXPECT_TRUE(single.mFrameMap.empty());
  EXPECT_EQ(single.mTotalAnimTime, 1);
  single.SetPerFrameDelay(-1, 5);  // no frame -1: ignored
  EXPECT_TRUE(single.mPerFrameDelay.empty());
}

TEST(Image, ScanLinesAreOneRowFillsEach) {
  RecordingImage image;
  const Kit::Span spans[] = {{4, 1, 3}, {5, 2, 0}};
  image.FillScanLines(spans, 2, Color::White, 0);
  EXPECT_EQ(image.fills, (std::vector<Rect>{Rect(1, 4, 3, 1), Rect(2, 5, 0, 1)}));
}

TEST(Image, CopyAndAssignmentOfCelGridAndAnimation) {
  Kit::Image a;
  a.mWidth = 100;
  a.mHeight = 40;
  a.mNumCols = 4;
  a.mNumRows = 2;
  a.mAnimInfo = std::make_unique<Kit::AnimInfo>();
  a.mAnimInfo->mFrameMap = {3, 2};
  EXPECT_EQ(a.GetCelWidth(), 25);
  EXPECT_EQ(a.GetCelHeight(), 20);

  Kit::Image copy(a);
  EXPECT_EQ(copy.mWidth, 100);
  ASSERT_TRUE(copy.mAnimInfo);
  EXPECT_NE(copy.mAnimInfo.get(), a.mAnimInfo.get());
  EXPECT_EQ(copy.mAnimInfo->mFrameMap, (std::vector<int>{3, 2}));

  Kit::Image cropped;
  cropped.mWidth = 10;
  cropped.mHeight = 5;
  cropped = a;
  EXPECT_EQ(cropped.mWidth, 10);  // keeps its own size
  EXPECT_EQ(cropped.mHeight, 5);
  EXPECT_EQ(cropped.mNumCols, 4);
  ASSERT_TRUE(cropped.mAnimInfo);
  EXPECT_EQ(cropped.mAnimInfo->mFrameMap, (std::vector<int>{3, 2}));
}

TEST(MemoryImage, SetBitsKeepsGuardAndCommitsFlags) {
  const std::vector<std::uint32_t> pixels = {0xFF000000, 0x80FFFFFF, 0xFF123456, 0xFFFFFFFF};
  MemoryImage image = MakeImage(pixels, 2);
  EXPECT_EQ(image.GetBits()[4], MemoryImage::kGuardWord);
  EXPECT_FALSE(image.mHasTrans);
  EXPECT_TRUE(image.mHasAlpha);
  EXPECT_FALSE(image.mBitsChanged);

  image.SetBits(pixels.data(), 2, 2, false);
  EXPECT_TRUE(image.mBitsChanged);
  image.SetImageMode(false, false);
  image.CommitBits();
  EXPECT_FALSE(image.mHasAlpha);  // forced: the pixels are not looked at
  EXPECT_TRUE(image.mBitsChanged);
}

TEST(MemoryImage, CreatedImageReadsAsZeroWithGuardAndDropsAnOldTable) {
  MemoryImage image = MakeImage({1, 2, 3, 4}, 2);
  ASSERT_TRUE(image.Palletize());
  image.Create(40, 40);  // the old 4-entry index array must not be read as a 40x40 one
  EXPECT_TRUE(image.mHasTrans);
  EXPECT_TRUE(image.mHasAlpha);
  EXPECT_FALSE(image.mBits);
  const std::uint32_t* bits = image.GetBits();
  for (int i = 0; i < 1600; ++i) ASSERT_EQ(bits[i], 0u) << i;
  EXPECT_EQ(bits[1600], MemoryImage::kGuardWord);
  image.CommitBits();
  EXPECT_TRUE(image.mHasTrans);
  EXPECT_FALSE(image.mHasAlpha);
}

TEST(MemoryImage, PalettizeRoundTripsAndKeepsFirstAppearanceOrder) {
  MemoryImage one = MakeImage({0xFF102030}, 1);
  ASSERT_TRUE(one.Palletize());
  EXPECT_EQ(one.mColorTable[0], 0xFF102030u);
  EXPECT_EQ(one.mColorIndices[0], 0);
  EXPECT_TRUE(one.mWantPal);
  EXPECT_FALSE(one.mBits);

  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < 512; ++i) pixels.push_back(0xFF000000u | static_cast<std::uint32_t>((255 - i % 256) * 977));
  MemoryImage image = MakeImage(pixels, 32);
  ASSERT_TRUE(image.Palletize());
  for (int i = 0; i < 256; ++i) EXPECT_EQ(image.mColorTable[i], pixels[i]);
  EXPECT_EQ(image.mColorIndices[300], 44);
  const std::uint32_t* bits = image.GetBits();
  EXPECT_EQ(std::vector<std::uint32_t>(bits, bits + 512), pixels);
  EXPECT_FALSE(image.mColorTable);
  EXPECT_EQ(bits[512], MemoryImage::kGuardWord);
}

TEST(MemoryImage, PalettizeFailsOn257ColoursAndKeepsBits) {
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < 257; ++i) pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(i));
  MemoryImage image = MakeImage(pixels, 257);
  EXPECT_FALSE(image.Palletize());
  EXPECT_FALSE(image.mColorTable);
  EXPECT_FALSE(image.mWantPal);
  ASSERT_TRUE(image.mBits);
  EXPECT_EQ(image.mBits[256], 0xFF000100u);
}

TEST(MemoryImage, PalettizedOpaqueImageIsNotTransparent) {
  MemoryImage image = MakeImage({0xFF0000FF, 0xFF00FF00}, 2);
  ASSERT_TRUE(image.Palletize());
  image.BitsChanged();
  image.CommitBits();
  EXPECT_FALSE(image.mHasTrans);  // the unused, zero table entries do not count
  EXPECT_FALSE(image.mHasAlpha);
}

TEST(MemoryImage, AlphaRunLengths) {
  MemoryImage image = MakeImage({0x00000000, 0x00FFFFFF, 0xFF000000, 0xFF111111, 0xFFFFFFFF, 0x80000000,  //
                                 0xFF000000, 0xFF000000, 0x10000000, 0x20000000, 0x00000000, 0x00000000},
                                6);
  const std::uint8_t* runs = image.GetRLAlphaData();
  EXPECT_EQ(std::vector<int>(runs, runs + 12), (std::vector<int>{2, 1, 3, 2, 1, 1, 2, 1, 2, 1, 2, 1}));
  // Palettized images take the alpha from the table, with the same result.
  MemoryImage copy(image);
  ASSERT_TRUE(copy.Palletize());
  copy.mRLAlphaData.reset();
  const std::uint8_t* palRuns = copy.GetRLAlphaData();
  EXPECT_EQ(std::vector<int>(palRuns, palRuns + 12), std::vector<int>(runs, runs + 12));

  MemoryImage column = MakeImage({0xFF000000, 0x00000000, 0x80000000}, 1);
  const std::uint8_t* columnRuns = column.GetRLAlphaData();
  EXPECT_EQ(std::vector<int>(columnRuns, columnRuns + 3), (std::vector<int>{1, 1, 1}));
}

TEST(MemoryImage, LongRunsCapAt255) {
  MemoryImage image = MakeImage(std::vector<std::uint32_t>(300, 0xFF00FF00), 300);
  const std::uint8_t* runs = image.GetRLAlphaData();
  for (int i = 0; i < 46; ++i) EXPECT_EQ(runs[i], 255) << i;
  for (int i = 46; i < 300; ++i) EXPECT_EQ(runs[i], 300 - i) << i;
}

TEST(MemoryImage, AdditiveRunsSplitBlackFromColour) {
  MemoryImage image = MakeImage({0xFF000000, 0x00000000, 0x01010101, 0xFF0000FF, 0x00FFFFFF}, 5);
  Kit::NativeDisplay display = Display565();
  const std::uint8_t* runs = image.GetRLAdditiveData(&display);
  // Native values: black, black, (1 x 2 >> 8 = 0 in every channel) black, blue, transparent = black.
  EXPECT_EQ(std::vector<int>(runs, runs + 5), (std::vector<int>{3, 2, 1, 1, 1}));
}

TEST(MemoryImage, NativeConversionPremultipliesIntoDisplayFormat) {
  const Kit::NativeDisplay display = Display565();
  EXPECT_EQ(Kit::ToNativePixel(0xFFFFFFFF, display), 0xFF00FFFFu);
  EXPECT_EQ(Kit::ToNativePixel(0x80FF0000, display), 0x80000000u | (((0xFF0000u * 129) >> 8) >> 19 << 11));
  const Kit::NativeDisplay& argb = Kit::EffectiveDisplay(nullptr);
  EXPECT_EQ(Kit::ToNativePixel(0xFF123456, argb), 0xFF123456u);
  EXPECT_EQ(Kit::FromNativePixel(0xFF123456, argb), 0xFF123456u);
  // A half-transparent pixel loses a little to the premultiplication, never more than 2 per channel.
  const std::uint32_t back = Kit::FromNativePixel(Kit::ToNativePixel(0x80C86432, argb), argb);
  EXPECT_EQ(back >> 24, 0x80u);
  EXPECT_NEAR(static_cast<int>((back >> 16) & 0xFF), 0xC8, 2);
  EXPECT_NEAR(static_cast<int>((back >> 8) & 0xFF), 0x64, 2);
  EXPECT_NEAR(static_cast<int>(back & 0xFF), 0x32, 2);

  Kit::NativeDisplay broken;  // all zero, or shifts that would run past the word
  broken.mRedBits = 30;
  EXPECT_EQ(&Kit::EffectiveDisplay(&broken), &argb);
}

TEST(MemoryImage, NativeDataOfPalettizedImageHas256Entries) {
  MemoryImage image = MakeImage({0xFF0000FF, 0xFF00FF00, 0xFF0000FF}, 3);
  ASSERT_TRUE(image.Palletize());
  const std::uint32_t* native = image.GetNativeAlphaData(nullptr);
  EXPECT_EQ(native[0], 0xFF0000FFu);
  EXPECT_EQ(native[1], 0xFF00FF00u);
  EXPECT_EQ(native[255], 0u);
  MemoryImage copy(image);  // copies the 256-entry native table
  EXPECT_EQ(copy.mNativeAlphaData[1], 0xFF00FF00u);
}

TEST(MemoryImage, BitsChangedDropsDerivedDataAndChangesAreSeen) {
  MemoryImage image = MakeImage({0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000}, 4);
  EXPECT_EQ(image.GetRLAlphaData()[0], 4);
  image.GetNativeAlphaData(nullptr);
  image.GetRLAdditiveData(nullptr);
  const int count = image.mBitsChangedCount;
  image.ClearRect(Rect(1, 0, 1, 1));
  EXPECT_EQ(image.mBitsChangedCount, count + 1);
  EXPECT_FALSE(image.mNativeAlphaData);
  EXPECT_FALSE(image.mRLAlphaData);
  EXPECT_FALSE(image.mRLAdditiveData);
  const std::uint8_t* runs = image.GetRLAlphaData();
  EXPECT_EQ(std::vector<int>(runs, runs + 4), (std::vector<int>{1, 1, 2, 1}));
  EXPECT_TRUE(image.mHasTrans);  // the run table's commit saw the cleared pixel
  image.FillRect(Rect(0, 0, 4, 1), Color(0, 0, 255), 0);
  EXPECT_EQ(image.GetNativeAlphaData(nullptr)[1], 0xFF0000FFu);
  EXPECT_EQ(image.GetRLAdditiveData(nullptr)[0], 4);
}

TEST(MemoryImage, HostSeesEveryImageAndCopy) {
  FakeHost host;
  {
    MemoryImage image(&host);
    EXPECT_EQ(host.images.count(&image), 1u);
    image.SetBits(std::vector<std::uint32_t>(4, 0xFF00FF00).data(), 2, 2);
    MemoryImage copy(image);
    EXPECT_EQ(host.images.size(), 2u);
    EXPECT_NE(copy.mBits.get(), image.mBits.get());
    EXPECT_EQ(copy.mBits[4], MemoryImage::kGuardWord);
    image.DeleteExtraBuffers();
    EXPECT_EQ(host.removed3D, 1);
  }
  EXPECT_TRUE(host.images.empty());
}

TEST(MemoryImage, PurgeKeepsPixelsInNativeDataForSoftwareDisplay) {
  FakeHost host;
  Kit::NativeDisplay display = Kit::EffectiveDisplay(nullptr);
  host.display = &display;
  MemoryImage image(&host);
  const std::vector<std::uint32_t> pixels = {0xFF102030, 0x00000000, 0xFFFFFFFF};
  image.SetBits(pixels.data(), 3, 1);
  image.PurgeBits();
  EXPECT_TRUE(image.mPurgeBits);
  EXPECT_FALSE(image.mBits);
  ASSERT_TRUE(image.mNativeAlphaData);

  MemoryImage copy(image);  // takes the pixels back without giving the source bits
  EXPECT_FALSE(image.mBits);
  EXPECT_EQ(std::vector<std::uint32_t>(copy.mBits.get(), copy.mBits.get() + 3), pixels);

  const std::uint32_t* bits = image.GetBits();
  EXPECT_EQ(std::vector<std::uint32_t>(bits, bits + 3), pixels);
  EXPECT_TRUE(image.mNativeAlphaData);  // kept

  image.DeleteNativeData();
  EXPECT_FALSE(image.mNativeAlphaData);

  host.accelerated = true;  // with Direct3D and no textures yet, purging keeps the bits
  image.PurgeBits();
  EXPECT_TRUE(image.mBits);

  MemoryImage lonely;  // no application: nowhere else to keep the pixels
  lonely.SetBits(pixels.data(), 3, 1);
  lonely.PurgeBits();
  EXPECT_TRUE(lonely.mBits);
}

TEST(MemoryImage, ReInitPalettizesAgainWhenWanted) {
  MemoryImage image = MakeImage({0xFF0000FF, 0xFF00FF00}, 2);
  ASSERT_TRUE(image.Palletize());
  image.GetBits();  // unpacks and drops the table
  EXPECT_FALSE(image.mColorTable);
  image.ReInit();
  EXPECT_TRUE(image.mColorTable);
  EXPECT_FALSE(image.mBits);
}

}  // namespace
