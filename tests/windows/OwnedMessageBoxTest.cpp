// A message box stays above the window it belongs to, as an owned box does on Windows. The program
// waits on the box and does not repaint, so a click on its window beside the box must not raise that
// window over the box: the box would still seem to be on top, but take no input. Both kinds of box:
// SDL's, and the one the layer paints where SDL's cannot be shown.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/win/Windows.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TestWindow.h"
#include "tests/support/ToolProgram.h"
#include "tests/support/XWindowManager.h"
#include "tests/support/XvfbServer.h"

namespace {

constexpr char kXvfbRun[] = "KIT_OWNED_BOX_XVFB_CHILD";
constexpr char kProgramRun[] = "KIT_OWNED_BOX_PROGRAM";  // "sdl" or "painted": the kind of box shown
constexpr char kWindowTitle[] = "Box owner";
constexpr char kBoxCaption[] = "Owned box";

[[noreturn]] void ShowABoxOverAWindow(bool painted) {
  std::optional<plat::ScopedPaintedMessageBoxes> paintedOnly;
  if (painted) paintedOnly.emplace();
  HWND window = testsupport::CreateTestWindow("BoxOwner", kWindowTitle, 100, 100, 640, 480);
  std::_Exit(MessageBox(window, "Player data was damaged.", kBoxCaption, MB_OK | MB_ICONERROR) == IDOK ? 0 : 3);
}

class OwnedMessageBox : public testing::TestWithParam<const char*> {};

TEST_P(OwnedMessageBox, StaysAboveItsWindowClickedBesideItAndItsOkEndsIt) {
  if (const char* kind = std::getenv(kProgramRun)) ShowABoxOverAWindow(std::string(kind) == "painted");
  if (!testsupport::InRealWindowRun(kXvfbRun)) return;
  if (!testsupport::XWindowManager::Installed()) GTEST_SKIP() << "openbox is not installed";
  testsupport::XWindowManager manager;
  ASSERT_TRUE(manager.Ready());
  testsupport::XUser user;
  ASSERT_TRUE(user.Ready()) << "no X test extension";
  const testsupport::ScopedChild program(
      testsupport::StartThisTestOnDisplay(std::getenv("DISPLAY"), {{kProgramRun, GetParam()}}));
  ASSERT_GT(program.Pid(), 0);
  std::optional<testsupport::XShownWindow> window, box;
  ASSERT_TRUE(testsupport::PollUntil(
      [&] { return (window = user.WindowTitled(kWindowTitle)) && (box = user.WindowTitled(kBoxCaption)); }));
  // The keyboard starts on the window, so that only a box on top can take it from there.
  user.Focus(*window);
  ASSERT_TRUE(testsupport::PollUntil([&] { return user.HasFocus(*window); }));
  user.ClickAt(window->x + 10, window->y + window->height - 10);  // the box is a third of the way down
  // What lies on top at the box's place takes the next click, and with it the keyboard.
  user.ClickAt(box->x + box->width / 2, box->y + 8);
  ASSERT_TRUE(testsupport::PollUntil([&] { return user.HasFocus(*box); })) << "the box was not on top";
  user.Tap("Return");  // its OK
  int status = -1;
  ASSERT_TRUE(program.Ends(&status)) << "OK did not end the box";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

INSTANTIATE_TEST_SUITE_P(Kinds, OwnedMessageBox, testing::Values("sdl", "painted"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
