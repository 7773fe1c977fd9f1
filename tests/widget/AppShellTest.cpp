#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/shell/Shell.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/system/WindowsModules.h"
#include "platform/win/window/Messages.h"
#include "tests/support/TempDir.h"
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

// Opening a document through the desktop's opener, as the help screen's "More" does. The opener is
// not waited for: a missing document or opener is told at once and fails the open; an opener that finds
// nothing to open the document with is told once it has said so, from the frame loop's message pump,
// unless it says so after the verdict time (it was showing the document until its viewer closed).
struct Opening {
  const char* name;
  const char* opener;  // the opener script's body; null: no opener is installed
  bool documentThere;
  bool removedWhileOpen;   // the document goes once the open has returned
  unsigned verdictMillis;  // kAnyFailure: a failure counts however slow the machine
  bool started;
  const char* told;  // what the message box says, or null for no box
};

void PrintTo(const Opening& c, std::ostream* out) { *out << c.name; }

constexpr unsigned kAnyFailure = 600000;

class AppShellOpening : public testing::TestWithParam<Opening> {};

TEST_P(AppShellOpening, StartsTheOpenerAndTellsAFailure) {
  const Opening& c = GetParam();
  testsupport::TempDir folder;
  const std::string document =
      c.documentThere ? folder.Write("doc/gamehelp.htm", "<html></html>") : folder / "gone.htm";
  std::string opener = folder / "no-such-opener";
  if (c.opener != nullptr) {
    opener = folder.Write("opener", std::string("#!/bin/sh\n") + c.opener + "\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  }
  plat::ScopedShellOpener shellOpener(opener, c.verdictMillis);
  plat::ScopedMessageBoxScript boxes;
  KitTest::ScriptedApp app;
  EXPECT_EQ(app.OpenURL(document, false), c.started);
  EXPECT_EQ(app.mURLOpenPending, c.started) << "a failure to start is reported at once";
  if (c.removedWhileOpen) std::filesystem::remove(document);
  shellOpener.WaitForOpeners();
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  const std::vector<plat::ShownMessageBox> shown = boxes.Shown();
  if (c.told == nullptr) {
    EXPECT_TRUE(shown.empty());
    return;
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find(c.told), std::string::npos) << shown[0].text;
  EXPECT_NE(shown[0].text.find(document), std::string::npos) << "the document is named: " << shown[0].text;
  EXPECT_EQ(shown[0].caption, c.documentThere ? "gamehelp.htm" : "gone.htm");
  EXPECT_EQ(shown[0].type & 0xF0, static_cast<UINT>(MB_ICONERROR));
}

INSTANTIATE_TEST_SUITE_P(
    Help, AppShellOpening,
    testing::Values(Opening{"Opened", "[ -f \"$1\" ] && exit 0; exit 1", true, false, kAnyFailure, true, nullptr},
                    Opening{"NoOpenerInstalled", nullptr, true, false, kAnyFailure, false,
                            "xdg-open (xdg-utils) is not installed"},
                    Opening{"NothingOpensIt", "exit 3", true, false, kAnyFailure, true, "No program could open"},
                    Opening{"DocumentMissing", "exit 0", false, false, kAnyFailure, false, "could not be found"},
                    // Shows the document in the foreground (as xdg-open running a browser) until it is gone: the
                    // open returns meanwhile. It fails after ten seconds.
                    Opening{"OpenerStillShowingItHoldsNothing",
                            "for i in $(seq 1000); do [ -e \"$1\" ] || exit 0; sleep 0.01; done; exit 1", true, true,
                            kAnyFailure, true, nullptr},
                    Opening{"OpenerFailingAfterTheVerdictTimeHadOpenedIt", "exit 1", true, false, 0, true, nullptr}),
    testing::PrintToStringParamName());

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
