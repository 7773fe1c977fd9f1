#include "tests/support/DemoReplay.h"

#include <algorithm>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/WidgetFlags.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/Process.h"

namespace testsupport {

DemoTraceApp::DemoTraceApp() {
  // A name of its own, so that the single-instance check never meets another test's run.
  mProdName = "DemoTrace" + std::to_string(GetCurrentProcessId());
  mTitle = "DemoTrace";
  mProductVersion = "1.0";
  mWidth = 320;
  mHeight = 240;
  mNoSoundNeeded = true;
  // The recording or playback is chosen by the test, not by the test program's own arguments.
  mCmdLineParsed = true;
}

void DemoTraceApp::LoadingThreadCompleted() {
  Log("loaded");
  Begin();
}

void DemoTraceApp::UpdateFrames() {
  KitAppBase::UpdateFrames();
  mTrace.mUpdateCount = mUpdateCount;
  mTrace.mFrameHashes.push_back(HashWidgetTree(*this));
  if (mScript && mRecordingDemoBuffer) mScript(mUpdateCount);
  if (mUpdateCount >= mMaxTicks) Shutdown();
}

void DemoTraceApp::Log(const std::string& event) {
  mTrace.mEvents.push_back("@" + std::to_string(mUpdateCount) + " " + event);
}

std::uint64_t HashWidgetTree(Kit::KitAppBase& app) {
  // The widget tree drawn onto an image of the application's size: the frame the window is given.
  Kit::MemoryImage image(&app);
  image.Create(app.mWidth, app.mHeight);
  Kit::Graphics g(&image);
  Kit::ModalFlags flags;
  app.mWidgetManager->InitModalFlags(flags);
  app.mWidgetManager->DrawAll(flags, &g);
  app.mWidgetManager->MarkAllDirty();  // the tree's own draw still has everything to draw
  std::uint64_t hash = 14695981039346656037ull;
  const std::uint32_t* bits = image.GetBits();
  for (int i = 0; i < app.mWidth * app.mHeight; ++i) {
    hash ^= bits[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

ReplayTrace RunTraced(DemoTraceApp& app, const std::string& demoPath, bool record) {
  app.mDemoFileName = demoPath;
  app.mRecordingDemoBuffer = record;
  app.mPlayingDemoBuffer = !record;
  app.Init();
  app.Start();
  return app.mTrace;
}

testing::AssertionResult SameReplay(const ReplayTrace& recorded, const ReplayTrace& replayed) {
  const auto& a = recorded.mFrameHashes;
  const auto parted = std::mismatch(a.begin(), a.end(), replayed.mFrameHashes.begin(), replayed.mFrameHashes.end());
  if (parted.first != a.end() || parted.second != replayed.mFrameHashes.end())
    return testing::AssertionFailure() << "the frames differ from tick " << parted.first - a.begin() + 1 << " ("
                                       << a.size() << " ticks recorded, " << replayed.mFrameHashes.size()
                                       << " replayed)";
  if (recorded.mEvents != replayed.mEvents || recorded.mUpdateCount != replayed.mUpdateCount)
    return testing::AssertionFailure() << "recorded " << testing::PrintToString(recorded.mEvents) << " in "
                                       << recorded.mUpdateCount << " updates, replayed "
                                       << testing::PrintToString(replayed.mEvents) << " in " << replayed.mUpdateCount;
  return testing::AssertionSuccess();
}

}  // namespace testsupport
