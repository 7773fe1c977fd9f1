// A fatal error as the user meets it: one message box, then the end of the program with a failure status
// (caught, rather than ending the test program).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"

namespace testsupport {

// Runs `action`, which must end so; the box it showed.
template <typename Action>
plat::ShownMessageBox FatalEnd(Action action) {
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher catcher;
  try {
    action();
    ADD_FAILURE() << "the program went on";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
  }
  EXPECT_EQ(boxes.Shown().size(), 1u);
  return boxes.Shown().empty() ? plat::ShownMessageBox{} : boxes.Shown().front();
}

}  // namespace testsupport
