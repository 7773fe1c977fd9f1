// The Direct3D self-test: before the display draws through Direct3D it identifies the adapter, checks
// its video memory and driver, looks it up in the card lists and renders five small scenes whose
// pixels it compares with the expected colours. The outcome is two texts (why 3D is not supported,
// why it is not recommended), cached in the registry under the application's key in "Test3D" and
// reused while the adapter and the memory thresholds stay the same. A demo being played back gives
// the recorded outcome without testing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/graphics/d3d/D3DTestImage.h"
#include "platform/d3d/D3D.h"
#include "platform/win/Types.h"
#include "platform/win/registry/Registry.h"

namespace Kit {

// What the self-test takes from its application: the registry key and the demo stream.
class D3DTestHost {
 public:
  // The application's registry key ("Company\\Game\\", a trailing backslash is dropped).
  virtual std::string GetRegistryKey() = 0;
  virtual bool IsPlayingDemo() = 0;
  // Recorded while a demo is recorded, replaced by the recorded value while one is played back.
  virtual void DemoSyncString(std::string& text) = 0;
  virtual void DemoSyncBool(bool& value) = 0;

 protected:
  ~D3DTestHost() = default;
};

class D3DTester {
 public:
  struct TestException {
    std::string mMessage;
  };

  explicit D3DTester(D3DTestHost* host);
  D3DTester(const D3DTester&) = delete;
  D3DTester& operator=(const D3DTester&) = delete;
  virtual ~D3DTester();

  void SetVidMemoryConstraints(std::uint32_t minMB, std::uint32_t recommendedMB);
  // Runs the test (or reads its cached outcome); true when the outcome differs from the cached one.
  bool TestD3D(HWND window, IDirectDraw7* ddraw);

  bool Init(HWND window, IDirectDraw7* ddraw);
  bool RunTests();
  bool ReadFromRegistry();
  void WriteToRegistry();
  bool IsSupportedCard(const std::string& description) const;
  bool Fail(const std::string& reason);
  bool Warn(const std::string& text);
  // Throws TestException "DXError - <action>: <result name>" for a failure code.
  static void CheckDXError(HRESULT result, const char* action);
  void CopyPrimary();
  void Cleanup();

  IDirectDraw7* mDDraw = nullptr;
  IDirectDrawSurface7* mTestSurface = nullptr;
  IDirectDrawSurface7* mTexture1 = nullptr;
  IDirectDrawSurface7* mTexture2 = nullptr;
  IDirect3D7* mD3D = nullptr;
  IDirect3DDevice7* mDevice = nullptr;
  HKEY mRegistryKey = nullptr;
  GUID mDisplayGUID{};
  std::string mDriver;
  std::string mDescription;
  D3DTestImage mTestImage;
  std::string mFailureReason;
  std::string mWarning;
  std::uint32_t mMinVidMemory = 0;
  std::uint32_t mRecVidMemory = 0;
  bool mUseRegistry = true;
  bool mWriteResults = false;
  bool mResultsChanged = false;
  int mDriverYear = 0;

 private:
  struct BlendTest;
  bool InitObjects(HWND window, IDirectDraw7* ddraw);
  bool MeasureVideoMemory();
  void ReadDriverYear();
  bool CreateTestObjects(HWND window);
  void BeginTestScene(DWORD srcBlend, const char* srcText, DWORD destBlend, const char* destText);
  bool RunBlendTest(const BlendTest& test);
  bool RunClipTest();
  // Runs a step; a failing call or exhausted memory becomes the failure reason (an open scene is
  // ended first), so that no exception leaves the tester. False when the step did not finish.
  bool Guard(const std::function<void()>& step, bool inScene);
  template <typename Interface>
  static void Release(Interface*& object);

  D3DTestHost* mHost;
  bool mUploadA4R4G4B4 = false;
};

}  // namespace Kit
