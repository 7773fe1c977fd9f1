#include "DDrawFixture.h"
#include "platform/win/Modules.h"

namespace ddraw_test {
namespace {

using ObjectTest = DDrawTest;

TEST_P(ObjectTest, TheLibraryExportsBothCreationEntryPoints) {
  HMODULE module = LoadLibrary("DDRAW.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "DirectDrawCreate"), nullptr);
  EXPECT_NE(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
  // The older road: a machine whose DirectDraw lacks the newer entry point.
  plat::SetExportMissing("ddraw.dll", "DirectDrawCreateEx", true);
  EXPECT_EQ(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
  auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(GetProcAddress(module, "DirectDrawCreate"));
  ASSERT_NE(create, nullptr);
  IDirectDraw* dd = nullptr;
  EXPECT_EQ(create(nullptr, &dd, nullptr), DD_OK);
  ASSERT_NE(dd, nullptr);
  dd->Release();
  plat::ResetModuleFaults();
  FreeLibrary(module);
}

TEST_P(ObjectTest, CreationRefusesBadArguments) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(DirectDrawCreateEx(nullptr, nullptr, IID_IDirectDraw7, nullptr), DDERR_INVALIDPARAMS);
  GUID adapter = IID_IDirectDraw;
  EXPECT_EQ(DirectDrawCreateEx(&adapter, &object, IID_IDirectDraw7, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
  IDirectDraw* dd = nullptr;
  EXPECT_EQ(DirectDrawCreate(nullptr, &dd, reinterpret_cast<IUnknown*>(mDD.get())), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(dd, nullptr);
}

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

TEST_P(ObjectTest, AClipperOfAnotherObjectIsRefused) {
  void* object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
  Com<IDirectDraw7> other(static_cast<IDirectDraw7*>(object));
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(other->CreateClipper(0, &clipper, nullptr), DD_OK);
  Com<IDirectDrawClipper> owned(clipper);
  auto surface = Offscreen(4, 4);
  EXPECT_EQ(surface->SetClipper(clipper), DDERR_INVALIDOBJECT);
}

INSTANTIATE_TEST_SUITE_P(Roads, ObjectTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
