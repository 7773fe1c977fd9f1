// Scopes of a setting (platform/util/ScopedValue.h), seen through the debugger output's capture.
#include "platform/util/ScopedValue.h"

#include <gtest/gtest.h>

#include "platform/win/process/DebugOutput.h"

namespace {

// A capture that ends inside another gives the debugger output back to the outer one, not to standard
// error.
TEST(ScopedValue, AScopeEndingInsideAnotherPutsBackTheOuterValue) {
  plat::ScopedDebugCapture outer;
  OutputDebugString("before ");
  {
    plat::ScopedDebugCapture inner;
    OutputDebugString("inner");
    EXPECT_EQ(inner.Text(), "inner");
  }
  OutputDebugString("after");
  EXPECT_EQ(outer.Text(), "before after");
}

}  // namespace
