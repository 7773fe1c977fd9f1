// Record and replay for tests, the project's regression tool: a test application logs what its
// widgets see and hashes the picture of its widget tree at the end of every tick; a run is recorded
// into a demo file while a script injects the user's input, played back from that file, and the two
// traces are compared tick for tick.
//
//   class MyApp : public testsupport::DemoTraceApp { ... Log("pressed") from its listeners ... };
//   const std::string demo = dir / "run.dmo";
//   auto recorded = testsupport::RecordRun<MyApp>(demo, [](MyApp& app, int tick) {
//     if (tick == 20) plat::inject::Tap("A");
//   });
//   auto replayed = testsupport::PlayRun<MyApp>(demo);
//   EXPECT_TRUE(testsupport::SameReplay(recorded, replayed));
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/app/KitAppBase.h"

namespace testsupport {

struct ReplayTrace {
  int mUpdateCount = 0;
  // One line per logged event: "@<update count> <event>".
  std::vector<std::string> mEvents;
  // The hash of the widget tree drawn at the end of each tick; element 0 belongs to tick 1.
  std::vector<std::uint64_t> mFrameHashes;
};

// A windowed application without sound whose every tick is traced. It ends itself after mMaxTicks.
// Subclasses put their widgets up in Begin (called when loading completed, on the first tick after
// it) and log from their widgets and listeners.
class DemoTraceApp : public Kit::KitAppBase {
 public:
  DemoTraceApp();

  bool ChangeDirHook(const char*) override { return true; }
  void LoadingThreadCompleted() override;
  void UpdateFrames() override;
  virtual void Begin() {}
  // Adds an event line for the current update count.
  void Log(const std::string& event);

  // Called after every tick of a recording run, to inject input as a user would.
  std::function<void(int tick)> mScript;
  int mMaxTicks = 200;
  ReplayTrace mTrace;
};

// FNV-1a over the widget tree drawn onto a fresh image of the application's size.
std::uint64_t HashWidgetTree(Kit::KitAppBase& app);

// The trace of one whole run (Init, Start, destruction; a recording's file is written when the
// application is destroyed).
ReplayTrace RunTraced(DemoTraceApp& app, const std::string& demoPath, bool record);

template <class App>
ReplayTrace RecordRun(const std::string& demoPath, std::function<void(App&, int tick)> script) {
  App app;
  app.mScript = [&app, script](int tick) { script(app, tick); };
  return RunTraced(app, demoPath, true);
}

template <class App>
ReplayTrace PlayRun(const std::string& demoPath) {
  App app;
  return RunTraced(app, demoPath, false);
}

// Success when the update counts, the event lines and every tick's hash agree; otherwise the
// message names the first tick where the runs part.
testing::AssertionResult SameReplay(const ReplayTrace& recorded, const ReplayTrace& replayed);

}  // namespace testsupport
