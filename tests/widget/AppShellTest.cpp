#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win/Modules.h"
#include "platform/win/Shell.h"
#include "platform/win/WindowsModules.h"
#include "tests/widget/WidgetTestSupport.h"

namespace {

TEST(AppShell, OpeningTheSameAddressTwiceWhilePendingStartsTheBrowserOnce) {
  plat::ScopedShellLog shell;
  KitTest::ScriptedApp app;
  EXPECT_TRUE(app.OpenURL("http://example.com/help", false));
  EXPECT_TRUE(app.OpenURL("http://example.com/help", false));
  EXPECT_EQ(shell.Record().opened.size(), 1u);
  EXPECT_TRUE(app.mURLOpenPending);
  app.URLOpenFailed("http://example.com/help");
  EXPECT_FALSE(app.mURLOpenPending);
  EXPECT_TRUE(app.OpenURL("http://example.com/help", false));
  EXPECT_EQ(shell.Record().opened.size(), 2u);
  app.URLOpenSucceeded("http://example.com/help");
  EXPECT_FALSE(app.mQuit);
}

TEST(AppShell, SuccessfulOpenShutsDownWhenAsked) {
  plat::ScopedShellLog shell;
  KitTest::ScriptedApp app;
  app.OpenURL("doc/gamehelp.htm", true);
  app.URLOpenSucceeded("doc/gamehelp.htm");
  EXPECT_TRUE(app.mQuit);
  EXPECT_TRUE(app.mLeaveNestedLoops);
  EXPECT_FALSE(app.UpdateAppStep(nullptr));  // nested loops end
}

// A version resource of the layer's test "version.dll": one string table with a product version.
const char kVersionBlock[] = "VS_VERSION_INFO\0002.5.1";

DWORD WINAPI FakeSize(LPCSTR, LPDWORD handle) {
  *handle = 0;
  return sizeof kVersionBlock;
}
BOOL WINAPI FakeInfo(LPCSTR, DWORD, DWORD size, LPVOID data) {
  std::memcpy(data, kVersionBlock, std::min<DWORD>(size, sizeof kVersionBlock));
  return TRUE;
}
BOOL WINAPI FakeQuery(LPCVOID block, LPCSTR key, LPVOID* value, UINT* length) {
  if (std::string(key) != "\\StringFileInfo\\040904E4\\ProductVersion") return FALSE;
  *value = const_cast<char*>(static_cast<const char*>(block) + 16);
  *length = 6;  // counts the terminator
  return TRUE;
}

TEST(AppShell, ProductVersionComesFromEitherStringTable) {
  // The layer's own modules register on first use; that must not come after the test's.
  FreeLibrary(LoadLibrary("version.dll"));
  plat::RegisterModule("version.dll", {{"GetFileVersionInfoSizeA", plat::ExportOf(&FakeSize)},
                                       {"GetFileVersionInfoA", plat::ExportOf(&FakeInfo)},
                                       {"VerQueryValueA", plat::ExportOf(&FakeQuery)}});
  {
    KitTest::ScriptedApp app;
    EXPECT_EQ(app.GetProductVersion("quarvel.exe"), "2.5.1");
    EXPECT_EQ(app.mProductVersion, "2.5.1");
  }
  plat::RegisterWindowsModules();
  KitTest::ScriptedApp app;
  EXPECT_EQ(app.GetProductVersion("quarvel.exe"), "");
}

TEST(AppShell, NoVersionLibraryMeansNoProductVersion) {
  plat::SetModuleMissing("version.dll", true);
  {
    KitTest::ScriptedApp app;
    EXPECT_EQ(app.GetProductVersion("quarvel.exe"), "");
  }
  plat::SetModuleMissing("version.dll", false);
}

}  // namespace
