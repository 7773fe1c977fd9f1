// An application that starts without sound and stays in the test's folder, under a product name of
// its own in each test process (the name keys the single-instance lock and the registry).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "framework/app/KitAppBase.h"
#include "platform/win/process/Process.h"
#include "platform/win/process/SingleInstance.h"
#include "platform/win/threads/Threads.h"
#include "tests/support/TempDir.h"

namespace testsupport {

class HeadlessApp : public Kit::KitAppBase {
 public:
  explicit HeadlessApp(const std::string& name, int width = 320, int height = 240) {
    mProdName = name + std::to_string(GetCurrentProcessId());
    mWidth = width;
    mHeight = height;
    mNoSoundNeeded = true;
  }
  bool ChangeDirHook(const char*) override { return true; }
};

// A test whose applications keep their single-instance lock in a folder of the test's own and start
// with a command line without switches.
class AppFixture : public testing::Test {
 protected:
  AppFixture() {
    plat::SetInstanceScope(mScope.Path().string());
    plat::SetCommandLine("game.exe");
  }
  ~AppFixture() override { plat::ResetCommandLine(); }

  TempDir mScope;
};

}  // namespace testsupport
