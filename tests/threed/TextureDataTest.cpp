// The Direct3D textures of an image: piece sizes, the texel format, uploads only after a change, and
// the pixels read back from each format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextureData.h"
#include "framework/graphics/TextureFormat.h"
#include "platform/d3d/D3D.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/SoftwareDevice.h"

namespace {

using Kit::TextureCaps;
using Kit::TextureData;

constexpr int kAllFormats = Kit::TEXFMT_A8R8G8B8 | Kit::TEXFMT_A4R4G4B4 | Kit::TEXFMT_R5G6B5 | Kit::TEXFMT_PALETTE8;

TEST(TextureSizeTest, PreferredSizesWasteLittle) {
  const std::pair<int, int> sizes[] = {{0, 1}, {1, 1}, {100, 128}, {200, 256}, {129, 128}, {300, 256}, {640, 512}};
  for (auto [size, expected] : sizes) EXPECT_EQ(TextureData::PreferredPieceSize(size), expected) << size;
}

struct Cut {
  const char* name;
  int width, height, flags;
  int pieceWidth, pieceHeight, rightWidth, rightHeight, gridWidth, gridHeight;
  float maxU, maxV;
};

class TextureCutTest : public testing::TestWithParam<Cut> {};

TEST_P(TextureCutTest, CutsTheImageIntoPieces) {
  const Cut& c = GetParam();
  Kit::MemoryImage image;
  image.Create(c.width, c.height);
  image.mD3DFlags = c.flags;
  TextureData data;
  data.CreateTextureDimensions(image, TextureCaps{});
  EXPECT_EQ(data.mTexPieceWidth, c.pieceWidth);
  EXPECT_EQ(data.mTexPieceHeight, c.pieceHeight);
  EXPECT_EQ(data.mTexGridWidth, c.gridWidth);
  EXPECT_EQ(data.mTexGridHeight, c.gridHeight);
  ASSERT_EQ(data.mPieces.size(), static_cast<std::size_t>(c.gridWidth * c.gridHeight));
  EXPECT_EQ(data.mPieces[c.gridWidth - 1].width, c.rightWidth);
  EXPECT_EQ(data.mPieces[c.gridWidth - 1].height, c.rightHeight);
  EXPECT_FLOAT_EQ(data.mMaxTotalU, c.maxU);
  EXPECT_FLOAT_EQ(data.mMaxTotalV, c.maxV);
}

INSTANTIATE_TEST_SUITE_P(Images, TextureCutTest,
                         testing::Values(Cut{"Wide", 300, 100, 0, 256, 128, 64, 128, 2, 1, 1.171875f, 0.78125f},
                                         Cut{"Fixed64", 300, 100, Kit::D3DIMAGE_FIXED_64_PIECES, 64, 64, 64, 64, 5, 2,
                                             4.6875f, 1.5625f},
                                         Cut{"MinSubdivide", 300, 100, Kit::D3DIMAGE_MIN_SUBDIVIDE, 512, 128, 512, 128,
                                             1, 1, 0.5859375f, 0.78125f},
                                         // A thin strip keeps within the aspect ratio of 8.
                                         Cut{"Strip", 256, 2, 0, 256, 32, 256, 32, 1, 1, 1.0f, 0.0625f}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Choice {
  const char* name;
  std::uint32_t pixel;
  int flags, offered;
  bool palettized;
  int expected;
};

class TextureFormatChoiceTest : public testing::TestWithParam<Choice> {};

TEST_P(TextureFormatChoiceTest, ChoosesTheFormat) {
  const Choice& c = GetParam();
  Kit::MemoryImage image;
  const std::uint32_t bits[4] = {c.pixel, c.pixel, c.pixel, c.pixel};
  image.SetBits(bits, 2, 2);
  image.mD3DFlags = c.flags;
  image.CommitBits();
  EXPECT_EQ(TextureData::ChooseFormat(image, TextureCaps{1, 1, 1024, 1024, 8, c.offered}, c.palettized), c.expected);
}

constexpr int kNoR5G6B5 = kAllFormats & ~Kit::TEXFMT_R5G6B5;
INSTANTIATE_TEST_SUITE_P(
    Images, TextureFormatChoiceTest,
    testing::Values(
        Choice{"Opaque", 0xFF102030, 0, kAllFormats, false, Kit::TEXFMT_R5G6B5},
        Choice{"OpaqueKeptTrue", 0xFF102030, Kit::D3DIMAGE_USE_A8R8G8B8, kAllFormats, false, Kit::TEXFMT_A8R8G8B8},
        Choice{"OpaqueNoR5G6B5", 0xFF102030, 0, kNoR5G6B5, false, Kit::TEXFMT_A8R8G8B8},
        Choice{"Alpha", 0x80102030, 0, kAllFormats, false, Kit::TEXFMT_A8R8G8B8},
        Choice{"Transparent", 0x00102030, 0, kAllFormats, false, Kit::TEXFMT_A8R8G8B8},
        Choice{"AlphaPrefers4444", 0x80102030, Kit::D3DIMAGE_USE_A4R4G4B4, kAllFormats, false, Kit::TEXFMT_A4R4G4B4},
        Choice{"AlphaNo8888", 0x80102030, 0, Kit::TEXFMT_A4R4G4B4, false, Kit::TEXFMT_A4R4G4B4},
        Choice{"AlphaNeither", 0x80102030, 0, Kit::TEXFMT_R5G6B5, false, Kit::TEXFMT_A4R4G4B4},
        Choice{"Palettized", 0x80102030, 0, kAllFormats, true, Kit::TEXFMT_PALETTE8}),
    [](const auto& info) { return std::string(info.param.name); });

// An image uploaded to the software device.
class TextureUploadTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(mD3D.device, nullptr); }

  // A 70 x 3 image (two pieces across) of the pixels repeated.
  void MakeImage(const std::vector<std::uint32_t>& pixels, int flags) {
    std::vector<std::uint32_t> bits(70 * 3);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = pixels[i % pixels.size()];
    mImage.SetBits(bits.data(), 70, 3);
    mImage.mD3DFlags = flags | Kit::D3DIMAGE_FIXED_64_PIECES;
  }
  void Upload() { mData.CheckCreateTextures(&mImage, mD3D.device.get(), mD3D.dd.get(), mCaps); }
  std::uint32_t Recovered(std::size_t at) {
    std::vector<std::uint32_t> bits(70 * 3);
    EXPECT_TRUE(mData.RecoverBits(bits.data()));
    return bits[at];
  }

  std::unique_ptr<plat::ScopedDisplaySettings> mDesktop = testsupport::UseTestDesktop(plat::DesktopFormat::Xrgb8888);
  testsupport::SoftwareDevice mD3D{16, 16};
  TextureCaps mCaps{1, 1, 1024, 1024, 8, kAllFormats};
  Kit::MemoryImage mImage;
  TextureData mData;
};

TEST_F(TextureUploadTest, UploadsOnlyWhenTheBitsChange) {
  MakeImage({0x80102030}, 0);
  Upload();
  ASSERT_EQ(mData.mPixelFormat, Kit::TEXFMT_A8R8G8B8);
  IDirectDrawSurface7* piece = mData.mPieces[0].surface;
  mImage.GetBits()[0] = 0x12345678;
  Upload();
  EXPECT_EQ(Recovered(0), 0x80102030u);
  mImage.BitsChanged();
  Upload();
  EXPECT_EQ(Recovered(0), 0x12345678u);
  EXPECT_EQ(mData.mPieces[0].surface, piece);  // into the same pieces
}

struct Recovery {
  const char* name;
  std::vector<std::uint32_t> pixels;
  int flags;
  int format;
  std::vector<std::uint32_t> recovered;
};

class TextureRecoveryTest : public TextureUploadTest, public testing::WithParamInterface<Recovery> {};

TEST_P(TextureRecoveryTest, ReadsThePixelsBack) {
  const Recovery& r = GetParam();
  MakeImage(r.pixels, r.flags);
  Upload();
  ASSERT_EQ(mData.mPixelFormat, r.format);
  std::vector<std::uint32_t> bits(70 * 3);
  ASSERT_TRUE(mData.RecoverBits(bits.data()));
  for (std::size_t i = 0; i < bits.size(); ++i) ASSERT_EQ(bits[i], r.recovered[i % r.recovered.size()]) << i;
}

// The 16-bit formats; 32-bit texels come back as they went in (the 3D path's purged image shows it).
INSTANTIATE_TEST_SUITE_P(
    Formats, TextureRecoveryTest,
    testing::Values(Recovery{"A4R4G4B4",  // the alpha survives the round trip
                             {0x88442211, 0xFFFFFFFF},
                             Kit::D3DIMAGE_USE_A4R4G4B4,
                             Kit::TEXFMT_A4R4G4B4,
                             {0x88402010, 0xFFF0F0F0}},
                    Recovery{"R5G6B5", {0xFF8844FF, 0xFF000000}, 0, Kit::TEXFMT_R5G6B5, {0xFF8844F8, 0xFF000000}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextureUploadTest, ANewColourTableReachesTheKeptPieces) {
  MakeImage({0xFF102030, 0x80405060}, 0);
  ASSERT_TRUE(mImage.Palletize());
  Upload();
  ASSERT_EQ(mData.mPixelFormat, Kit::TEXFMT_PALETTE8);
  IDirectDrawPalette* old = mData.mPalette;
  old->AddRef();
  const IDirectDrawSurface7* piece = mData.mPieces[1].surface;

  for (int i = 0; i < 256; ++i) mImage.mColorTable[i] = 0xFF0000FF;
  mImage.BitsChanged();
  Upload();
  EXPECT_EQ(mData.mPieces[1].surface, piece);
  IDirectDrawPalette* attached = nullptr;
  ASSERT_EQ(mData.mPieces[1].surface->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, mData.mPalette);
  EXPECT_NE(attached, old);
  attached->Release();
  EXPECT_EQ(old->Release(), 0u);  // the record let go of the old table

  EXPECT_EQ(Recovered(69), 0xFF0000FFu);  // from the kept second piece
}

}  // namespace
