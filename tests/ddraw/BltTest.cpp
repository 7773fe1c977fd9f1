#include "DDrawFixture.h"

namespace ddraw_test {
namespace {

using BltTest = DDrawTest;

// Writes a distinct value into every pixel: x + 16 y, spread into the format's colour bits.
void Pattern(IDirectDrawSurface7* surface, const Road& road, int width, int height) {
  Pixels pixels(surface);
  ASSERT_EQ(pixels.Result(), DD_OK);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.Set(x, y, Pack(road, x * 8, y * 8, (x + y) * 4));
}

TEST_P(BltTest, ColourFillCoversExactlyTheRectangle) {
  auto surface = Filled(8, 6, 0);
  const DWORD red = Pack(road(), 255, 0, 0);
  RECT area{2, 1, 5, 4};
  ASSERT_EQ(Fill(surface.get(), &area, red), DD_OK);
  Pixels pixels(surface.get());
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
      EXPECT_EQ(pixels.Get(x, y), inside ? red : 0u) << x << "," << y;
    }
}

TEST_P(BltTest, FillWritesOnlyThePixelBitsOfTheFormat) {
  auto surface = Filled(2, 1, 0xFFFFFFFF);
  Pixels pixels(surface.get());
  EXPECT_EQ(pixels.Get(1, 0), road().bytesPerPixel == 2 ? 0xFFFFu : 0xFFFFFFFFu);
}

TEST_P(BltTest, CopyMovesTheSourceRectangleToTheDestination) {
  auto source = Offscreen(8, 8);
  Pattern(source.get(), road(), 8, 8);
  auto target = Filled(10, 10, 0);
  RECT from{1, 2, 4, 5};
  RECT to{6, 0, 9, 3};
  ASSERT_EQ(target->Blt(&to, source.get(), &from, DDBLT_WAIT, nullptr), DD_OK);
  Pixels in(source.get());
  Pixels out(target.get());
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 6 && x < 9 && y < 3;
      EXPECT_EQ(out.Get(x, y), inside ? in.Get(x - 5, y + 2) : 0u) << x << "," << y;
    }
}

TEST_P(BltTest, NullRectanglesMeanTheWholeSurface) {
  auto source = Offscreen(4, 4);
  Pattern(source.get(), road(), 4, 4);
  auto target = Filled(4, 4, 0);
  ASSERT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  Pixels in(source.get());
  Pixels out(target.get());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(out.Get(x, y), in.Get(x, y));
}

TEST_P(BltTest, StretchPicksTheNearestSourcePixel) {
  auto source = Offscreen(4, 4);
  Pattern(source.get(), road(), 4, 4);
  // Doubling repeats every pixel twice in both directions.
  auto doubled = Filled(8, 8, 0);
  ASSERT_EQ(doubled->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  // Halving takes every second pixel, starting with the first.
  auto halved = Filled(2, 2, 0);
  ASSERT_EQ(halved->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  // Three to one in width only.
  auto wide = Filled(12, 4, 0);
  ASSERT_EQ(wide->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  Pixels in(source.get());
  Pixels big(doubled.get());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(big.Get(x, y), in.Get(x / 2, y / 2)) << x << "," << y;
  Pixels small(halved.get());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(small.Get(x, y), in.Get(x * 2, y * 2));
  Pixels stretched(wide.get());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(stretched.Get(x, y), in.Get(x / 3, y));
}

TEST_P(BltTest, SourceColourKeyComparesOnlyTheColourBits) {
  const DWORD key = Pack(road(), 255, 0, 255);
  const DWORD green = Pack(road(), 0, 255, 0);
  const DWORD blue = Pack(road(), 0, 0, 255);
  auto source = Filled(4, 1, key);
  {
    Pixels pixels(source.get());
    pixels.Set(1, 0, green);
    // The key colour with bits outside red, green and blue set (the alpha byte, or the spare bit of
    // 5-5-5) is still the key.
    pixels.Set(2, 0, key | (road().bytesPerPixel == 4 ? 0xFF000000u : road().red == 0x7C00 ? 0x8000u : 0u));
  }
  DDCOLORKEY colourKey{key, key};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &colourKey), DD_OK);
  auto target = Filled(4, 1, blue);
  ASSERT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
  {
    Pixels out(target.get());
    EXPECT_EQ(out.Get(0, 0), blue);
    EXPECT_EQ(out.Get(1, 0), green);
    EXPECT_EQ(out.Get(2, 0), blue);
    EXPECT_EQ(out.Get(3, 0), blue);
  }
  // Without the flag the key is not applied.
  ASSERT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  {
    Pixels out(target.get());
    EXPECT_EQ(out.Get(0, 0), key);
  }
  // A stretched keyed blit masks the same way.
  auto wide = Filled(8, 2, blue);
  ASSERT_EQ(wide->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
  Pixels out(wide.get());
  EXPECT_EQ(out.Get(0, 1), blue);
  EXPECT_EQ(out.Get(2, 1), green);
  EXPECT_EQ(out.Get(3, 0), green);
  EXPECT_EQ(out.Get(7, 0), blue);
}

TEST_P(BltTest, KeyOverrideUsesTheEffectsKey) {
  const DWORD white = Pack(road(), 255, 255, 255);
  auto source = Filled(2, 1, white);
  auto target = Filled(2, 1, 0);
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.ddckSrcColorkey = {white, white};
  ASSERT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRCOVERRIDE, &fx), DD_OK);
  Pixels out(target.get());
  EXPECT_EQ(out.Get(0, 0), 0u);
}

TEST_P(BltTest, RectanglesOutsideTheSurfaceAreRefusedAndNothingIsDrawn) {
  auto source = Filled(4, 4, Pack(road(), 255, 255, 0));
  auto target = Filled(8, 8, 0);
  RECT outside[] = {{-1, 0, 3, 3}, {6, 6, 9, 9}, {0, 0, 8, 9}, {3, 3, 3, 5} /* empty */, {5, 5, 2, 7} /* inverted */};
  for (RECT& rect : outside) {
    EXPECT_EQ(target->Blt(&rect, source.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT)
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    EXPECT_EQ(Fill(target.get(), &rect, 1), DDERR_INVALIDRECT);
  }
  RECT badSource{2, 2, 5, 5};
  EXPECT_EQ(target->Blt(nullptr, source.get(), &badSource, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  Pixels out(target.get());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(out.Get(x, y), 0u);
}

TEST_P(BltTest, OverlappingCopyWithinOneSurfaceReadsTheOriginalPixels) {
  auto surface = Offscreen(8, 8);
  Pattern(surface.get(), road(), 8, 8);
  std::vector<DWORD> before(64);
  {
    Pixels pixels(surface.get());
    for (int i = 0; i < 64; ++i) before[i] = pixels.Get(i % 8, i / 8);
  }
  RECT from{0, 0, 6, 6};
  RECT to{2, 2, 8, 8};
  ASSERT_EQ(surface->Blt(&to, surface.get(), &from, DDBLT_WAIT, nullptr), DD_OK);
  {
    Pixels pixels(surface.get());
    for (int y = 2; y < 8; ++y)
      for (int x = 2; x < 8; ++x) EXPECT_EQ(pixels.Get(x, y), before[(y - 2) * 8 + x - 2]) << x << "," << y;
  }
  // Upwards and to the left, stretched.
  Pattern(surface.get(), road(), 8, 8);
  RECT wideFrom{2, 2, 6, 6};
  RECT wideTo{0, 0, 8, 8};
  ASSERT_EQ(surface->Blt(&wideTo, surface.get(), &wideFrom, DDBLT_WAIT, nullptr), DD_OK);
  Pixels pixels(surface.get());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pixels.Get(x, y), before[(2 + y / 2) * 8 + 2 + x / 2]);
}

TEST_P(BltTest, BusyLostAndMismatchedSurfacesAreRefused) {
  auto source = Filled(4, 4, 1);
  auto target = Filled(4, 4, 0);
  {
    Pixels locked(source.get());
    EXPECT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  }
  {
    Pixels locked(target.get());
    EXPECT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(Fill(target.get(), nullptr, 0), DDERR_SURFACEBUSY);
  }
  DDSURFACEDESC2 desc = OffscreenDesc(4, 4);
  desc.dwFlags |= DDSD_PIXELFORMAT;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  desc.ddpfPixelFormat.dwRGBBitCount = road().bytesPerPixel == 2 ? 32 : 16;
  desc.ddpfPixelFormat.dwRBitMask = road().bytesPerPixel == 2 ? 0xFF0000 : 0xF800;
  desc.ddpfPixelFormat.dwGBitMask = road().bytesPerPixel == 2 ? 0xFF00 : 0x7E0;
  desc.ddpfPixelFormat.dwBBitMask = road().bytesPerPixel == 2 ? 0xFF : 0x1F;
  IDirectDrawSurface7* other = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &other, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(other);
  EXPECT_EQ(target->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_ROP, nullptr), DDERR_UNSUPPORTED);
  DDBLTFX shortFx{};
  shortFx.dwSize = 20;
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &shortFx), DDERR_INVALIDPARAMS);
}

TEST_P(BltTest, SurfacesOfAnotherDirectDrawObjectAreRefused) {
  void* object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
  Com<IDirectDraw7> other(static_cast<IDirectDraw7*>(object));
  DDSURFACEDESC2 desc = OffscreenDesc(4, 4);
  IDirectDrawSurface7* foreign = nullptr;
  ASSERT_EQ(other->CreateSurface(&desc, &foreign, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(foreign);
  auto target = Filled(4, 4, 0);
  EXPECT_EQ(target->Blt(nullptr, foreign, nullptr, DDBLT_WAIT, nullptr), DDERR_DEVICEDOESNTOWNSURFACE);
}

TEST_P(BltTest, ColourKeysAreStoredPerKindAndCanBeCleared) {
  auto surface = Offscreen(2, 2);
  DDCOLORKEY key{};
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  DDCOLORKEY set{5, 5};
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &set), DD_OK);
  ASSERT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, 5u);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_DESTBLT, &key), DDERR_NOCOLORKEY);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  surface->GetSurfaceDesc(&desc);
  EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 5u);
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  DDCOLORKEY range{1, 9};
  EXPECT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &range), DDERR_NOCOLORKEYHW);
  EXPECT_EQ(surface->SetColorKey(0, &set), DDERR_INVALIDPARAMS);
}

INSTANTIATE_TEST_SUITE_P(Roads, BltTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
