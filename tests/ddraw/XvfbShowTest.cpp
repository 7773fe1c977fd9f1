// Shows DirectDraw frames in a real X window: starts a private Xvfb server and runs the ddraw_show
// program against it. Skipped where Xvfb is not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/support/ToolProgram.h"
#include "tests/support/XvfbServer.h"

namespace {

// Runs ddraw_show on the display with an SDL render driver (empty: SDL's own choice, the accelerated
// one the application gets); its exit status.
int RunShow(const std::string& program, const std::string& display, const char* bits, const std::string& driver) {
  return testsupport::RunToolOnDisplay(program, display, {"--bits", bits, "--hold", "300"},
                                       {{"SDL_RENDER_DRIVER", driver}});
}

std::string ShowProgram() { return testsupport::ToolProgram("ddraw_show"); }

// The program checks a windowed frame, a full-screen flipped frame scaled over the whole screen, the
// flip back to the system's surface, and a windowed frame after full screen gave the window back.
TEST(XvfbShowTest, WindowedAndFullScreenFramesAreShownInARealWindowInBothDepths) {
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  const std::string program = ShowProgram();
  if (program.empty()) GTEST_SKIP() << "ddraw_show is not built";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  // The software driver keeps its own copy of the window's pixels; SDL's own choice, the accelerated
  // driver the application gets, draws into the X window itself, which has the window's real size.
  for (const std::string& driver : {std::string("software"), std::string()}) {
    for (const char* bits : {"32", "16"}) {
      const int status = RunShow(program, server.Display(), bits, driver);
      if (status == 77) GTEST_SKIP() << "no window could be opened on " << server.Display();
      EXPECT_EQ(status, 0) << bits << "-bit, render driver " << (driver.empty() ? "SDL's choice" : driver);
    }
  }
}

// A display that cannot be reached (a stale DISPLAY, a stopped server) must not leave the program
// without windows: it runs headless on SDL's dummy driver, as where no display is set at all.
TEST(XvfbShowTest, AnUnreachableDisplayFallsBackToTheDummyDriver) {
  const std::string program = ShowProgram();
  if (program.empty()) GTEST_SKIP() << "ddraw_show is not built";
  int number = 4000;
  while (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) ++number;
  EXPECT_EQ(RunShow(program, ":" + std::to_string(number), "32", ""), 0);
}

}  // namespace
