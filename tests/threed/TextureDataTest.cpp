// The Direct3D textures of an image: piece sizes, the texel format, uploads only after a change, and
// the pixels read back from each format; the software device itself; and the clipping of vertex
// polygons to a clip rectangle and to one texture piece.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/d3d/D3DClipper.h"
#include "framework/graphics/d3d/TextureData.h"
#include "framework/graphics/d3d/TextureFormat.h"
#include "platform/d3d/D3D.h"
#include "platform/win/system/DisplaySettings.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/SoftwareDevice.h"

namespace {

using Kit::TextureCaps;
using Kit::TextureData;

constexpr int kAllFormats = Kit::TEXFMT_A8R8G8B8 | Kit::TEXFMT_A4R4G4B4 | Kit::TEXFMT_R5G6B5 | Kit::TEXFMT_PALETTE8;

// A vertex at (x, y) with its texture place and colour.
D3DTLVERTEX Vertex(float x, float y, float tu = 0, float tv = 0, D3DCOLOR color = 0xFFFFFFFF) {
  return {x, y, 0.5f, 1.0f, color, 0x12345678, tu, tv};
}

TEST(TextureCutTest, CutsTheImageIntoPieces) {
  const struct {
    int width, height, flags;
    int pieceWidth, pieceHeight, rightWidth, rightHeight, gridWidth, gridHeight;
    float maxU, maxV;  // binary fractions, exact
  } cuts[] = {{300, 100, 0, 256, 128, 64, 128, 2, 1, 1.171875f, 0.78125f},
              {300, 100, Kit::Fixed64Pieces, 64, 64, 64, 64, 5, 2, 4.6875f, 1.5625f},
              {300, 100, Kit::MinSubdivide, 512, 128, 512, 128, 1, 1, 0.5859375f, 0.78125f},
              {256, 2, 0, 256, 32, 256, 32, 1, 1, 1.0f, 0.0625f}};  // a thin strip keeps within the aspect of 8
  for (const auto& c : cuts) {
    Kit::MemoryImage image;
    image.Create(c.width, c.height);
    image.mD3DFlags = c.flags;
    TextureData data;
    data.CreateTextureDimensions(image, TextureCaps{});
    ASSERT_EQ(data.mPieces.size(), static_cast<std::size_t>(c.gridWidth * c.gridHeight)) << c.flags;
    const auto& right = data.mPieces[c.gridWidth - 1];
    EXPECT_EQ(std::tuple(data.mTexPieceWidth, data.mTexPieceHeight, right.mWidth, right.mHeight, data.mTexGridWidth,
                         data.mTexGridHeight, data.mMaxTotalU, data.mMaxTotalV),
              std::tuple(c.pieceWidth, c.pieceHeight, c.rightWidth, c.rightHeight, c.gridWidth, c.gridHeight, c.maxU,
                         c.maxV));
  }
}

TEST(TextureFormatChoiceTest, ChoosesTheFormat) {
  constexpr int kNoR5G6B5 = kAllFormats & ~Kit::TEXFMT_R5G6B5;
  const struct {
    const char* name;
    std::uint32_t pixel;
    int flags, offered;
    bool palettized;
    int expected;
  } choices[] = {{"Opaque", 0xFF102030, 0, kAllFormats, false, Kit::TEXFMT_R5G6B5},
                 {"OpaqueKeptTrue", 0xFF102030, Kit::UseA8R8G8B8, kAllFormats, false, Kit::TEXFMT_A8R8G8B8},
                 {"OpaqueNoR5G6B5", 0xFF102030, 0, kNoR5G6B5, false, Kit::TEXFMT_A8R8G8B8},
                 {"Alpha", 0x80102030, 0, kAllFormats, false, Kit::TEXFMT_A8R8G8B8},
                 {"Transparent", 0x00102030, 0, kAllFormats, false, Kit::TEXFMT_A8R8G8B8},
                 {"AlphaPrefers4444", 0x80102030, Kit::UseA4R4G4B4, kAllFormats, false, Kit::TEXFMT_A4R4G4B4},
                 {"AlphaNo8888", 0x80102030, 0, Kit::TEXFMT_A4R4G4B4, false, Kit::TEXFMT_A4R4G4B4},
                 {"AlphaNeither", 0x80102030, 0, Kit::TEXFMT_R5G6B5, false, Kit::TEXFMT_A4R4G4B4},
                 {"Palettized", 0x80102030, 0, kAllFormats, true, Kit::TEXFMT_PALETTE8}};
  for (const auto& c : choices) {
    Kit::MemoryImage image;
    const std::uint32_t bits[4] = {c.pixel, c.pixel, c.pixel, c.pixel};
    image.SetBits(bits, 2, 2);
    image.mD3DFlags = c.flags;
    image.CommitBits();
    EXPECT_EQ(TextureData::ChooseFormat(image, TextureCaps{1, 1, 1024, 1024, 8, c.offered}, c.palettized), c.expected)
        << c.name;
  }
}

// The platform's software device on a 32-bit desktop, its target 16 x 16.
constexpr int kSize = 16;
class SoftwareDeviceTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(mD3D.device, nullptr); }

  std::unique_ptr<plat::ScopedDisplaySettings> mDesktop = testsupport::UseTestDesktop(plat::DesktopFormat::Xrgb8888);
  testsupport::SoftwareDevice mD3D{kSize, kSize};
};

// An image uploaded to the software device.
class TextureUploadTest : public SoftwareDeviceTest {
 protected:
  // A 70 x 3 image (two pieces across) of the pixels repeated.
  void MakeImage(const std::vector<std::uint32_t>& pixels, int flags) {
    std::vector<std::uint32_t> bits(70 * 3);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = pixels[i % pixels.size()];
    mImage.SetBits(bits.data(), 70, 3);
    mImage.mD3DFlags = flags | Kit::Fixed64Pieces;
  }
  void Upload() { mData.CheckCreateTextures(&mImage, mD3D.device.get(), mD3D.dd.get(), mCaps); }
  std::uint32_t Recovered(std::size_t at) {
    std::vector<std::uint32_t> bits(70 * 3);
    EXPECT_TRUE(mData.RecoverBits(bits.data()));
    return bits[at];
  }

  TextureCaps mCaps{1, 1, 1024, 1024, 8, kAllFormats};
  Kit::MemoryImage mImage;
  TextureData mData;
};

TEST_F(TextureUploadTest, UploadsOnlyWhenTheBitsChange) {
  MakeImage({0x80102030}, 0);
  Upload();
  ASSERT_EQ(mData.mPixelFormat, Kit::TEXFMT_A8R8G8B8);
  IDirectDrawSurface7* piece = mData.mPieces[0].mSurface;
  mImage.GetBits()[0] = 0x12345678;
  Upload();
  EXPECT_EQ(Recovered(0), 0x80102030u);
  mImage.BitsChanged();
  Upload();
  EXPECT_EQ(Recovered(0), 0x12345678u);
  EXPECT_EQ(mData.mPieces[0].mSurface, piece);  // into the same pieces
}

// The 16-bit formats; 32-bit texels come back as they went in (the 3D path's purged image shows it).
TEST_F(TextureUploadTest, ReadsThePixelsBack) {
  const struct {
    std::vector<std::uint32_t> pixels;
    int flags, format;
    std::vector<std::uint32_t> recovered;
  } rows[] = {{{0x88442211, 0xFFFFFFFF}, Kit::UseA4R4G4B4, Kit::TEXFMT_A4R4G4B4, {0x88402010, 0xFFF0F0F0}},
              {{0xFF8844FF, 0xFF000000}, 0, Kit::TEXFMT_R5G6B5, {0xFF8844F8, 0xFF000000}}};  // A4R4G4B4 keeps alpha
  for (const auto& r : rows) {
    MakeImage(r.pixels, r.flags);
    Upload();
    ASSERT_EQ(mData.mPixelFormat, r.format);
    std::vector<std::uint32_t> bits(70 * 3);
    ASSERT_TRUE(mData.RecoverBits(bits.data()));
    for (std::size_t i = 0; i < bits.size(); ++i) ASSERT_EQ(bits[i], r.recovered[i % r.recovered.size()]) << i;
  }
}

TEST_F(TextureUploadTest, ANewColourTableReachesTheKeptPieces) {
  MakeImage({0xFF102030, 0x80405060}, 0);
  ASSERT_TRUE(mImage.Palletize());
  Upload();
  ASSERT_EQ(mData.mPixelFormat, Kit::TEXFMT_PALETTE8);
  IDirectDrawPalette* old = mData.mPalette;
  old->AddRef();
  const IDirectDrawSurface7* piece = mData.mPieces[1].mSurface;

  for (int i = 0; i < 256; ++i) mImage.mColorTable[i] = 0xFF0000FF;
  mImage.BitsChanged();
  Upload();
  EXPECT_EQ(mData.mPieces[1].mSurface, piece);
  IDirectDrawPalette* attached = nullptr;
  ASSERT_EQ(mData.mPieces[1].mSurface->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, mData.mPalette);
  EXPECT_NE(attached, old);
  attached->Release();
  EXPECT_EQ(old->Release(), 0u);  // the record let go of the old table

  EXPECT_EQ(Recovered(69), 0xFF0000FFu);  // from the kept second piece
}

// The device where the display's 3D path cannot reach it: triangles far beyond the target, texture
// coordinates past the texture's edges, and the viewport kept while the same target is set again.
class DeviceTest : public SoftwareDeviceTest {
 protected:
  void SetUp() override {
    SoftwareDeviceTest::SetUp();
    SetState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  }
  void SetState(D3DRENDERSTATETYPE state, DWORD value) { EXPECT_EQ(mD3D.device->SetRenderState(state, value), D3D_OK); }
  void SetStageState(D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    EXPECT_EQ(mD3D.device->SetTextureStageState(0, state, value), D3D_OK);
  }
  // Clears the target to black, draws the vertices in one scene and reads the target as 0xFFRRGGBB.
  std::vector<std::uint32_t> Draw(D3DPRIMITIVETYPE type, std::vector<D3DTLVERTEX> vertices) {
    IDirect3DDevice7* device = mD3D.device.get();
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(type, D3DFVF_TLVERTEX, vertices.data(), static_cast<DWORD>(vertices.size()), 0),
              D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    return testsupport::ReadSurfaceArgb(mD3D.target.get(), kSize, kSize);
  }
};

// Clipped to the guard band, the pieces still cover every pixel once: twice would add up to 0x40.
TEST_F(DeviceTest, ATriangleFarBeyondTheTargetCoversEveryPixelOnce) {
  SetState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  SetState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  SetState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
  const D3DCOLOR grey = 0xFF202020;
  EXPECT_EQ(Draw(D3DPT_TRIANGLELIST,
                 {Vertex(-3e38f, -3e38f, 0, 0, grey), Vertex(3e38f, -3e38f, 0, 0, grey), Vertex(0, 3e38f, 0, 0, grey)}),
            std::vector<std::uint32_t>(kSize * kSize, grey));
}

// Clamped addressing: the texture coordinates run from -1 to 2 across the target, so each corner of the
// target shows the texture's corner texel, point-sampled or filtered.
TEST_F(DeviceTest, TextureCoordinatesPastTheEdgesTakeTheEdgeTexels) {
  const DDPIXELFORMAT argb{sizeof(argb), DDPF_RGB | DDPF_ALPHAPIXELS, 0, {32}, {0xFF0000}, {0xFF00}, {0xFF},
                           {0xFF000000}};
  const auto texture = mD3D.CreateSurface(2, 2, DDSCAPS_TEXTURE, &argb);
  const std::uint32_t texels[2][2] = {{0xFFFF0000, 0xFF00FF00}, {0xFF0000FF, 0xFFFFFFFF}};
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(texture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch, texels[y], 8);
  texture->Unlock(nullptr);
  ASSERT_EQ(mD3D.device->SetTexture(0, texture.get()), D3D_OK);
  SetStageState(D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
  const float edge = kSize - 0.5f;
  for (const bool linear : {false, true}) {
    SCOPED_TRACE(linear ? "bilinear" : "point");
    SetStageState(D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
    SetStageState(D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
    const auto pixels = Draw(D3DPT_TRIANGLESTRIP, {Vertex(-0.5f, -0.5f, -1, -1), Vertex(-0.5f, edge, -1, 2),
                                                   Vertex(edge, -0.5f, 2, -1), Vertex(edge, edge, 2, 2)});
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kSize * kSize));
    EXPECT_EQ(pixels[0], texels[0][0]);
    EXPECT_EQ(pixels[kSize - 1], texels[0][1]);
    EXPECT_EQ(pixels[kSize * (kSize - 1)], texels[1][0]);
    EXPECT_EQ(pixels[kSize * kSize - 1], texels[1][1]);
  }
}

// The display sets its target again at every scene and its viewport only when the window changes.
TEST_F(DeviceTest, KeepsTheViewportForItsTargetAndTakesAllOfANewOne) {
  D3DVIEWPORT7 part{2, 3, 5, 6, 0.0f, 1.0f}, now{};
  ASSERT_EQ(mD3D.device->SetViewport(&part), D3D_OK);
  ASSERT_EQ(mD3D.device->SetRenderTarget(mD3D.target.get(), 0), D3D_OK);
  ASSERT_EQ(mD3D.device->GetViewport(&now), D3D_OK);
  EXPECT_EQ(std::memcmp(&now, &part, sizeof(now)), 0);
  const auto larger = mD3D.CreateSurface(40, 30, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  ASSERT_EQ(mD3D.device->SetRenderTarget(larger.get(), 0), D3D_OK);
  ASSERT_EQ(mD3D.device->GetViewport(&now), D3D_OK);
  EXPECT_EQ(now.dwX + now.dwY, 0u);
  EXPECT_EQ(now.dwWidth, 40u);
  EXPECT_EQ(now.dwHeight, 30u);
}

using Kit::D3DVertexList;

void Fill(D3DVertexList& list, const std::vector<D3DTLVERTEX>& vertices) {
  list.Clear();
  for (const D3DTLVERTEX& v : vertices) list.Append(v);
}

// z, rhw and specular come from the first vertex: the 2D screen has no use for them.
TEST(D3DVertexTest, InterpolationBlendsThePlaceTheTextureAndTheColour) {
  const D3DTLVERTEX mid =
      Kit::D3DVertex::Interpolate(Vertex(1, 2, 3, 4, 0xFF000000), Vertex(3, 6, 5, 8, 0xFFFFFFFF), 0.5);
  EXPECT_EQ(std::tuple(mid.sx, mid.sy, mid.tu, mid.tv, mid.color), std::tuple(2.0f, 4.0f, 4.0f, 6.0f, 0xFF7F7F7Fu));
}

TEST(D3DVertexListTest, GrowsOutOfItsInlineStorageKeepingTheVertices) {
  D3DVertexList list;
  for (int i = 0; i < 101; ++i) list.Append(Vertex(static_cast<float>(i), 0));
  list.Reserve(301);
  EXPECT_GE(list.Capacity(), 301);
  ASSERT_EQ(list.Count(), 101);
  for (int i = 0; i < 101; ++i) EXPECT_EQ(list[i].sx, static_cast<float>(i));
}

TEST(D3DClipperTest, OneEdgeAgainstEitherSideOfABoundary) {
  struct Case {
    float start, end;
    std::vector<float> above, below;  // x of what each side appends
  };
  const Case cases[] = {{0, 4, {2, 4}, {2}}, {4, 6, {6}, {}}, {0, 1, {}, {1}}, {6, 0, {2}, {2, 0}}};
  for (const Case& c : cases) {
    D3DVertexList above, below;
    Kit::D3DClipper::ClipAgainstPlane(Kit::D3DClipper::X, 2, Vertex(c.start, 0), Vertex(c.end, 0), above);
    Kit::D3DClipper::ClipAgainstPlane2(Kit::D3DClipper::X, 2, Vertex(c.start, 0), Vertex(c.end, 0), below);
    for (auto [list, expected] : {std::pair{&above, &c.above}, std::pair{&below, &c.below}}) {
      ASSERT_EQ(list->Count(), static_cast<int>(expected->size())) << c.start << " to " << c.end;
      for (int i = 0; i < list->Count(); ++i) EXPECT_EQ((*list)[i].sx, (*expected)[i]);
    }
  }
}

// Clip rectangle 0..10 x 0..10: what is left lies inside it.
TEST(D3DClipperTest, ClipToRectLeavesOnlyWhatLiesInside) {
  const struct {
    const char* name;
    std::vector<D3DTLVERTEX> polygon;
    int expectedCount;
  } cases[] = {{"QuadInside", {Vertex(1, 1), Vertex(1, 9), Vertex(9, 9), Vertex(9, 1)}, 4},
               {"OneVertexLeft", {Vertex(-4, 5), Vertex(6, 1), Vertex(6, 9)}, 4},
               {"CoversTheRect", {Vertex(-50, -50), Vertex(-50, 90), Vertex(90, -50)}, 4},
               {"OctagonFromASquare", {Vertex(-2, 5), Vertex(5, 12), Vertex(12, 5), Vertex(5, -2)}, 8},
               {"WhollyRight", {Vertex(11, 1), Vertex(12, 3), Vertex(15, 8)}, 0},
               {"OnTheRightEdge", {Vertex(10, 1), Vertex(10, 9), Vertex(10, 5)}, 0},
               {"TwoVertices", {Vertex(1, 1), Vertex(5, 5)}, 2}};
  for (const auto& c : cases) {
    D3DVertexList list;
    Fill(list, c.polygon);
    EXPECT_EQ(Kit::D3DClipper::ClipToRect(list, Kit::Rect(0, 0, 10, 10)), c.expectedCount > 2) << c.name;
    ASSERT_EQ(list.Count(), c.expectedCount) << c.name;
    for (int i = 0; i < list.Count(); ++i)
      EXPECT_TRUE(list[i].sx >= 0 && list[i].sx <= 10 && list[i].sy >= 0 && list[i].sy <= 10) << c.name << i;
  }
}

TEST(D3DClipperTest, ATriangleAcrossPiecesKeepsItsPartOfThisPiece) {
  D3DVertexList list;
  Fill(list, {Vertex(0, 0, -0.5f, 0.5f, 0xFF000000), Vertex(20, 0, 1.5f, 0.5f, 0xFFFFFFFF), Vertex(10, 10, 0.5f, 2)});
  ASSERT_TRUE(Kit::D3DClipper::ClipToPiece(list));
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_TRUE(list[i].tu >= 0 && list[i].tu <= 1 && list[i].tv >= 0 && list[i].tv <= 1) << i;
    // u runs from -0.5 at x 0 to 1.5 at x 20 along the top edge; the cut keeps that line.
    if (list[i].sy == 0) {
      EXPECT_FLOAT_EQ(list[i].tu, -0.5f + list[i].sx / 10) << i;
    }
  }
  EXPECT_EQ(list.Count(), 4);  // the piece's lower half, v 0.5 to 1
}

}  // namespace
