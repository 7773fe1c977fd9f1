// The windowed presenting and cursor tests once more in a real X window: this program runs itself against a
// private Xvfb server with SDL's X11 driver. Skipped where Xvfb is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/XvfbServer.h"

namespace {

constexpr const char* kChildMark = "KIT_DISPLAY_XVFB_CHILD";

TEST(XvfbDisplay, FramesAndTheCursorReachARealWindowPixelExact) {
  if (std::getenv(kChildMark)) GTEST_SKIP() << "already running under Xvfb";
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the X renderer's GL driver is not built for the thread sanitizer";
#endif
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty());
  EXPECT_EQ(testsupport::RunSelfOnDisplay(server, "Roads/PresentTest.*:Roads/CursorTest.*:-*FullScreen*", kChildMark),
            0);
}

}  // namespace
