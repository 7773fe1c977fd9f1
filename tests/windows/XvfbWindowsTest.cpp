// The crash handler's error window and a dialog in real X windows: windows_show shows them on a private
// Xvfb server, reads back what each window holds, checks its layout and writes it to PNG files.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TempDir.h"
#include "tests/support/ToolProgram.h"
#include "tests/support/XvfbServer.h"

namespace {

TEST(XvfbWindowsTest, CrashWindowAndDialogAreShownAsLaidOut) {
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  const std::string program = testsupport::ToolProgram("windows_show");
  if (program.empty()) GTEST_SKIP() << "windows_show is not built";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  testsupport::TempDir folder;
  const int status = testsupport::RunToolOnDisplay(program, server.Display(), {"--shoot", folder.Path().string()});
  if (status == 77) GTEST_SKIP() << "no window could be opened on " << server.Display();
  EXPECT_EQ(status, 0);
  EXPECT_GT(std::filesystem::file_size(folder.Path() / "crash.png"), 1000u);
  EXPECT_GT(std::filesystem::file_size(folder.Path() / "dialog.png"), 1000u);
}

}  // namespace
