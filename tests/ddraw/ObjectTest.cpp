#include "DDrawFixture.h"
#include "platform/win/Modules.h"

namespace ddraw_test {
namespace {

using ObjectTest = DDrawTest;

TEST_P(ObjectTest, InterfacesConvertAndShareOneReferenceCount) {
  EXPECT_EQ(RefCount(mDD.get()), 1u);
  IDirectDraw* dd1 = nullptr;
  ASSERT_EQ(mDD->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&dd1)), S_OK);
  EXPECT_EQ(RefCount(mDD.get()), 2u);
  IDirectDraw7* back = nullptr;
  ASSERT_EQ(dd1->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(&back)), S_OK);
  EXPECT_EQ(static_cast<void*>(back), static_cast<void*>(mDD.get()));
  EXPECT_EQ(back->Release(), 2u);
  EXPECT_EQ(dd1->Release(), 1u);
  EXPECT_EQ(mDD->QueryInterface(IID_IDirectDraw7, nullptr), E_POINTER);
}

TEST_P(ObjectTest, ClippersCountReferencesAndKeepTheirWindow) {
  IDirectDrawClipper* clipper = nullptr;
  EXPECT_EQ(mDD->CreateClipper(1, &clipper, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(mDD->CreateClipper(0, &clipper, nullptr), DD_OK);
  Com<IDirectDrawClipper> owned(clipper);
  const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x77));
  EXPECT_EQ(clipper->SetHWnd(1, window), DDERR_INVALIDPARAMS);
  ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
  HWND got = nullptr;
  ASSERT_EQ(clipper->GetHWnd(&got), DD_OK);
  EXPECT_EQ(got, window);

  auto surface = Offscreen(4, 4);
  IDirectDrawClipper* attached = nullptr;
  EXPECT_EQ(surface->GetClipper(&attached), DDERR_NOCLIPPERATTACHED);
  ASSERT_EQ(surface->SetClipper(clipper), DD_OK);
  EXPECT_EQ(RefCount(clipper), 2u);
  ASSERT_EQ(surface->GetClipper(&attached), DD_OK);
  EXPECT_EQ(attached, clipper);
  attached->Release();
  // The surface keeps the clipper alive after its creator lets go.
  owned.release()->Release();
  ASSERT_EQ(surface->GetClipper(&attached), DD_OK);
  EXPECT_EQ(RefCount(attached), 2u);
  attached->Release();
  ASSERT_EQ(surface->SetClipper(nullptr), DD_OK);
}

INSTANTIATE_TEST_SUITE_P(Roads, ObjectTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
