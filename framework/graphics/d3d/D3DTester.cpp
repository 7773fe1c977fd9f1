#include "framework/graphics/d3d/D3DTester.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <string_view>

#include "framework/graphics/d3d/TextureFormat.h"
#include "framework/graphics/display/DirectXErrorString.h"
#include "framework/graphics/display/OffscreenSurfaceDesc.h"
#include "framework/util/StringUtil.h"
#include "framework/util/SubstringMatcher.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Errors.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/system/SystemInfo.h"

namespace Kit {
namespace {

constexpr DWORD kRegistryVersion = 2;
constexpr int kTestSize = 100;
constexpr int kSceneSize = 64;
constexpr int kMaxRegistryText = 4096;

std::string Formatted(const char* format, const std::string& value) {
  char text[512];
  std::snprintf(text, sizeof(text), format, value.c_str());
  return text;
}

// Far beyond any card list: a bigger one is no list.
constexpr std::size_t kMaxCardListBytes = 16u << 20;
// The longest line of a card list, in characters; the rest of a longer line is dropped.
constexpr std::ptrdiff_t kMaxCardLineChars = 4000;

// What std::isspace takes for white space in the "C" locale, which the program never leaves.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether a line of the card list (trimmed, not empty) occurs in the description, ignoring case, as
// StrFindNoCase finds it (both read as C strings, up to a zero byte; nothing occurs in an empty
// description), in time linear in the list. The list is game data, found where the rest of it is. False
// when the list cannot be read (a folder, a read error or a list larger than any real one is no list);
// `opened` says which.
bool CardListMatches(const char* fileName, const std::string& description, bool& opened) {
  std::string text;
  opened = plat::ReadWholeFile(plat::MapPath(fileName), &text, kMaxCardListBytes) == plat::FileReadResult::kRead;
  const std::string_view haystack(description.c_str());
  if (!opened || haystack.empty()) return false;
  const SubstringMatcher matcher(haystack, SubstringMatcher::Case::kIgnored);
  const char* const end = text.data() + text.size();
  for (const char* line = text.data(); line < end;) {
    const auto* lineEnd = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
    if (!lineEnd) lineEnd = end;
    const char* first = line;
    const char* last = lineEnd - line > kMaxCardLineChars ? line + kMaxCardLineChars : lineEnd;
    line = lineEnd + 1;
    while (first < last && IsBlank(*first)) ++first;
    while (last > first && IsBlank(last[-1])) --last;
    if (first == last) continue;
    if (const void* zero = std::memchr(first, '\0', static_cast<std::size_t>(last - first)))
      last = static_cast<const char*>(zero);
    if (matcher.Contains(std::string_view(first, static_cast<std::size_t>(last - first)))) return true;
  }
  return false;
}

// The index of the highest set bit, searched from bit 31 down to bit 1; 0 when none.
int HighestBit(DWORD mask) {
  for (int bit = 31; bit >= 1; --bit)
    if (mask & (1u << bit)) return bit;
  return 0;
}

// The channel of the pixel moved so that the mask's highest bit lands on `top`.
std::uint32_t ChannelAt(DWORD pixel, DWORD mask, int top) {
  const int shift = top - HighestBit(mask);
  const DWORD value = pixel & mask;
  return shift >= 0 ? value << shift : value >> -shift;
}

HRESULT CollectFormat(LPDDPIXELFORMAT format, LPVOID context) {
  *static_cast<int*>(context) |= GetTextureFormatClass(*format);
  return D3DENUMRET_OK;
}

}  // namespace

struct D3DTester::BlendTest {
  DWORD srcBlend;
  const char* srcText;
  DWORD destBlend;
  const char* destText;
  bool modulateAlpha;
  std::uint32_t fill1, color1, fill2, color2, expected;
  const char* failure;
  const char* warning;
};

D3DTester::D3DTester(D3DTestHost* host) : mHost(host) {}

D3DTester::~D3DTester() { Cleanup(); }

void D3DTester::SetVidMemoryConstraints(std::uint32_t minMB, std::uint32_t recommendedMB) {
  mMinVidMemory = minMB;
  mRecVidMemory = recommendedMB;
}

bool D3DTester::TestD3D(HWND window, IDirectDraw7* ddraw) {
  if (!mHost || !mHost->IsPlayingDemo()) {
    // The test's key and its results reach the settings file in one write.
    plat::RegistryWriteGroup results;
    mWriteResults = false;
    if (Init(window, ddraw)) {
      RunTests();
      if (mWriteResults) WriteToRegistry();
    } else if (!mUseRegistry) {
      if (mWriteResults) WriteToRegistry();
    } else if (!mWriteResults) {
      DWORD type = 0, size = 0;
      mResultsChanged = !mRegistryKey ||
                        RegQueryValueEx(mRegistryKey, "FailureReason", nullptr, &type, nullptr, &size) != ERROR_SUCCESS;
      mWriteResults = true;
      WriteToRegistry();
    } else {
      WriteToRegistry();
    }
    Cleanup();
  }
  if (mHost) {
    mHost->DemoSyncString(mFailureReason);
    mHost->DemoSyncString(mWarning);
    mHost->DemoSyncBool(mResultsChanged);
  }
  return mResultsChanged;
}

bool D3DTester::Init(HWND window, IDirectDraw7* ddraw) {
  Cleanup();
  mDriverYear = 0;
  bool ready = false;
  return Guard([&] { ready = InitObjects(window, ddraw); }, false) && ready;
}

bool D3DTester::InitObjects(HWND window, IDirectDraw7* ddraw) {
  if (mUseRegistry && mHost) {
    std::string key = mHost->GetRegistryKey();
    if (!key.empty() && (key.back() == '\\' || key.back() == '/')) key.pop_back();
    const std::string path = "SOFTWARE\\" + key + "\\Test3D";
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                       &mRegistryKey, nullptr) != ERROR_SUCCESS)
      mRegistryKey = nullptr;
  }

  if (ddraw) {
    ddraw->AddRef();
    mDDraw = ddraw;
  } else {
    HMODULE module = GetModuleHandle("ddraw.dll");
    auto create =
        module ? reinterpret_cast<LPDIRECTDRAWCREATEEX>(GetProcAddress(module, "DirectDrawCreateEx")) : nullptr;
    if (!create) return Fail("No DirectDrawCreateEx");
    void* object = nullptr;
    CheckDXError(create(nullptr, &object, IID_IDirectDraw7, nullptr), "DirectDrawCreateEx");
    mDDraw = static_cast<IDirectDraw7*>(object);
  }

  // The adapter's identity. This platform has no Direct3D 8 library, so DirectDraw names it.
  DDDEVICEIDENTIFIER2 identifier{};
  CheckDXError(mDDraw->GetDeviceIdentifier(&identifier, 0), "GetDeviceIdentifier");
  mDisplayGUID = identifier.guidDeviceIdentifier;
  mDriver = identifier.szDriver;
  mDescription = identifier.szDescription;

  if (!MeasureVideoMemory()) return false;

  if (mUseRegistry) {
    if (ReadFromRegistry()) return false;
    mWriteResults = true;
  }
  ReadDriverYear();
  if (!IsSupportedCard(mDescription)) Warn(Formatted("Unsupported video card: %s", mDescription));
  return CreateTestObjects(window);
}

bool D3DTester::MeasureVideoMemory() {
  HDC dc = GetDC(nullptr);
  const int bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
  const std::int64_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);

  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_VIDEOMEMORY;
  DWORD total = 0, available = 0;
  const HRESULT result = mDDraw->GetAvailableVidMem(&caps, &total, &available);
  if (FAILED(result)) {
    return Warn(Formatted("GetAvailableVidMem failed: %s", GetDirectXErrorString(result)));
  }
  // The total leaves out the visible screen; in 64 bits, so that a large card does not wrap around.
  const std::int64_t megabytes = (std::int64_t{total} + width * height * (bitsPerPixel / 8)) >> 20;
  if (megabytes < mMinVidMemory) return Fail("Not enough video memory.");
  if (megabytes < mRecVidMemory) Warn("Low video memory.");
  return true;
}

void D3DTester::ReadDriverYear() {
  std::string path = mDriver;
  if (path.empty()) return;
  WIN32_FIND_DATA found{};
  HANDLE find = FindFirstFile(path.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  FindClose(find);
  SYSTEMTIME time{};
  if (FileTimeToSystemTime(&found.ftLastWriteTime, &time)) mDriverYear = time.wYear;
}

bool D3DTester::CreateTestObjects(HWND window) {
  void* d3d = nullptr;
  CheckDXError(mDDraw->QueryInterface(IID_IDirect3D7, &d3d), "QueryInterface IID_IDirect3D7");
  mD3D = static_cast<IDirect3D7*>(d3d);
  CheckDXError(mDDraw->SetCooperativeLevel(window, DDSCL_NORMAL), "SetCooperativeLevel");

  DDSURFACEDESC2 desc = OffscreenSurfaceDesc(kTestSize, kTestSize, DDSCAPS_3DDEVICE);
  CheckDXError(mDDraw->CreateSurface(&desc, &mTestSurface, nullptr), "CreateSurface (Primary)");
  mTestImage.Create(kTestSize, kTestSize);
  CheckDXError(mD3D->CreateDevice(IID_IDirect3DHALDevice, mTestSurface, &mDevice), "CreateDevice");
  int formats = 0;
  CheckDXError(mDevice->EnumTextureFormats(CollectFormat, &formats), "EnumTextureFormats");

  if (!(formats & TEXFMT_A8R8G8B8)) {
    Warn("A8R8G8B8 texture format not supported.");
    if (!(formats & TEXFMT_A4R4G4B4)) {
      return Fail("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
    }
  }
  mUploadA4R4G4B4 = !(formats & TEXFMT_A8R8G8B8);

  DDSURFACEDESC2 texture{};
  texture.dwSize = sizeof(texture);
  texture.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  texture.dwWidth = texture.dwHeight = kSceneSize;
  texture.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  texture.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  texture.ddpfPixelFormat = MakeTexturePixelFormat(mUploadA4R4G4B4 ? TEXFMT_A4R4G4B4 : TEXFMT_A8R8G8B8);
  CheckDXError(mDDraw->CreateSurface(&texture, &mTexture1, nullptr), "CreateSurface (TextureSurface1)");
  CheckDXError(mDDraw->CreateSurface(&texture, &mTexture2, nullptr), "CreateSurface (TextureSurfacd2)");
  return true;
}

bool D3DTester::ReadFromRegistry() {
  mResultsChanged = true;
  if (!mRegistryKey) return false;
  auto readDword = [this](const char* name, DWORD& value) {
    DWORD type = 0, size = sizeof(value);
    return RegQueryValueEx(mRegistryKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof(value);
  };
  auto readText = [this](const char* name, std::string& text) {
    char buffer[kMaxRegistryText + 1] = {};
    DWORD type = 0, size = kMaxRegistryText;
    if (RegQueryValueEx(mRegistryKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
      return false;
    text.assign(buffer, strnlen(buffer, size));
    return true;
  };
  DWORD version = 0, minMemory = 0, recMemory = 0;
  if (!readDword("Version", version) || version != kRegistryVersion) return false;
  if (!readDword("MinVidMemory", minMemory) || minMemory != mMinVidMemory) return false;
  if (!readDword("RecVidMemory", recMemory) || recMemory != mRecVidMemory) return false;
  GUID stored{};
  DWORD type = 0, size = sizeof(stored);
  if (RegQueryValueEx(mRegistryKey, "DisplayGUID", nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) !=
          ERROR_SUCCESS ||
      size != sizeof(stored) || std::memcmp(&stored, &mDisplayGUID, sizeof(stored)) != 0)
    return false;
  std::string failure, warning;
  if (!readText("FailureReason", failure) || !readText("Warning", warning)) return false;
  mFailureReason = failure;
  mWarning = warning;
  mResultsChanged = false;
  return true;
}

void D3DTester::WriteToRegistry() {
  if (!mRegistryKey) return;
  auto writeDword = [this](const char* name, DWORD value) {
    RegSetValueEx(mRegistryKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  };
  auto writeText = [this](const char* name, const std::string& text) {
    RegSetValueEx(mRegistryKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                  static_cast<DWORD>(text.size() + 1));
  };
  writeDword("Version", kRegistryVersion);
  writeDword("MinVidMemory", mMinVidMemory);
  writeDword("RecVidMemory", mRecVidMemory);
  RegSetValueEx(mRegistryKey, "DisplayGUID", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&mDisplayGUID),
                sizeof(mDisplayGUID));
  writeText("FailureReason", mFailureReason);
  writeText("Warning", mWarning);
}

bool D3DTester::IsSupportedCard(const std::string& description) const {
  bool opened = false;
  if (CardListMatches("vhwb.dat", description, opened)) return false;
  const bool supported = CardListMatches("vhw.dat", description, opened);
  if (opened) return supported;
  return mDriverYear >= 2002 || StrFindNoCase(description.c_str(), "nvidia") >= 0 ||
         StrFindNoCase(description.c_str(), "radeon") >= 0 || StrFindNoCase(description.c_str(), "ati ") >= 0;
}

bool D3DTester::Fail(const std::string& reason) {
  mFailureReason = reason;
  return false;
}

bool D3DTester::Warn(const std::string& text) {
  mWarning = text;
  return true;
}

void D3DTester::CheckDXError(HRESULT result, const char* action) {
  if (SUCCEEDED(result)) return;
  throw TestException{std::string("DXError - ") + action + ": " + GetDirectXErrorString(result)};
}

void D3DTester::CopyPrimary() {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  CheckDXError(mTestSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), "CopyPrimary Lock");
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  const DWORD bits = format.dwRGBBitCount;
  if (bits != 32 && bits != 16) {
    // Unlocked on both failures, so that the surface is not left locked behind the exception.
    mTestSurface->Unlock(nullptr);
    throw TestException{bits == 24 ? "Can't test 24-bit mode." : "Invalid Color Depth"};
  }
  const auto* surface = static_cast<const BYTE*>(desc.lpSurface);
  for (int row = 0; row < mTestImage.mHeight; ++row)
    for (int column = 0; column < mTestImage.mWidth; ++column) {
      DWORD pixel = 0;
      if (bits == 32) {
        std::memcpy(&pixel, surface + row * desc.lPitch + column * 4, 4);
      } else {
        std::uint16_t narrow = 0;
        std::memcpy(&narrow, surface + row * desc.lPitch + column * 2, 2);
        pixel = narrow;
      }
      mTestImage.mBits[row * mTestImage.mWidth + column] =
          0xFF000000 | (ChannelAt(pixel, format.dwRBitMask, 23) & 0xFF0000) |
          (ChannelAt(pixel, format.dwGBitMask, 15) & 0xFF00) | (ChannelAt(pixel, format.dwBBitMask, 7) & 0xFF);
    }
  mTestSurface->Unlock(nullptr);
}

bool D3DTester::RunTests() {
  static const BlendTest kBlendTests[] = {
      {D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
       "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA", false, 0xFF0000FF, 0xFFFFFFFF, 0x80FF0000, 0xFFFFFFFF,
       0x7F007F, "Alpha blend Not Supported", "Alpha blend test not uniform."},
      {D3DBLEND_ONE, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE", D3DBLEND_ONE, "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE",
       false, 0xFF404040, 0xFFFFFFFF, 0xFF404040, 0xFFFFFFFF, 0x808080, "Additive blend not supported.",
       "Additive blend test not uniform."},
      {D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_ONE,
       "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE", false, 0xFF404040, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF, 0x808080,
       "AlphaAdd blend not supported.", "AlphaAdd blend test not uniform."},
      {D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
       "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA", true, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0x80FFFFFF, 0x7F007F,
       "AlphaModulated blend not supported.", "AlphaModulated blend test not uniform."},
  };
  for (const BlendTest& test : kBlendTests)
    if (!RunBlendTest(test)) return false;
  return RunClipTest();
}

void D3DTester::BeginTestScene(DWORD srcBlend, const char* srcText, DWORD destBlend, const char* destText) {
  CheckDXError(mDevice->BeginScene(), "");
  CheckDXError(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), "Clear");
  CheckDXError(mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE), "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
  CheckDXError(mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, srcBlend), srcText);
  CheckDXError(mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, destBlend), destText);
  CheckDXError(mDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
}

bool D3DTester::RunBlendTest(const BlendTest& test) {
  D3DTestImage image;
  const bool drawn = Guard(
      [&] {
        BeginTestScene(test.srcBlend, test.srcText, test.destBlend, test.destText);
        if (test.modulateAlpha)
          CheckDXError(mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE),
                       "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
        image.Create(kSceneSize, kSceneSize);
        image.FillRect(0, 0, kSceneSize, kSceneSize, test.fill1);
        image.DrawToDevice(mDevice, mTexture1, 0, 0, test.color1, mUploadA4R4G4B4);
        image.FillRect(0, 0, kSceneSize, kSceneSize, test.fill2);
        image.DrawToDevice(mDevice, mTexture1, 0, 0, test.color2, mUploadA4R4G4B4);
        CheckDXError(mDevice->EndScene(), "EndScene");
        CopyPrimary();
      },
      true);
  if (!drawn) return false;
  int errors = 0;
  const bool uniform = mTestImage.CheckUniform(test.expected, errors, 10, 10);
  if (errors > 0) return Fail(test.failure);
  if (!uniform) return Warn(test.warning);
  return true;
}

bool D3DTester::RunClipTest() {
  D3DTestImage image;
  const bool drawn = Guard(
      [&] {
        BeginTestScene(D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
                       "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA");
        image.Create(kSceneSize, kSceneSize);
        image.MakeVerticalStripes();
        image.DrawToDevice(mDevice, mTexture1, -2, -2, 0xFFFFFFFF, mUploadA4R4G4B4);
        CheckDXError(mDevice->EndScene(), "EndScene");
        CopyPrimary();
      },
      true);
  if (!drawn) return false;
  if (mTestImage.CountStripeErrors(62, 62, 0, 0) > 0) Warn("Clip problem detected.");
  return true;
}

bool D3DTester::Guard(const std::function<void()>& step, bool inScene) {
  try {
    step();
    return true;
  } catch (const TestException& e) {
    if (inScene) mDevice->EndScene();
    return Fail(e.mMessage);
  } catch (const std::bad_alloc&) {
    if (inScene) mDevice->EndScene();
    return Fail("Out of memory");
  }
}

template <typename Interface>
void D3DTester::Release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

void D3DTester::Cleanup() {
  Release(mDevice);
  Release(mD3D);
  Release(mTexture1);
  Release(mTexture2);
  Release(mTestSurface);
  Release(mDDraw);
  if (mRegistryKey) RegCloseKey(mRegistryKey);
  mRegistryKey = nullptr;
}

}  // namespace Kit
