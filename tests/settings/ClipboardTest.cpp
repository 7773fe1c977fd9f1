#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <string>
#include <thread>

#include "framework/app/KitAppBase.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Memory.h"
#include "tests/settings/FakeDemoSync.h"

namespace {

std::u16string WideClipboard() {
  std::u16string text;
  if (!OpenClipboard(nullptr)) return text;
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (block != nullptr) {
    const auto* wide = static_cast<const char16_t*>(GlobalLock(block));
    if (wide != nullptr) text = wide;
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

TEST(Clipboard, TextCopiedIsReadBackInBothForms) {
  Kit::KitAppBase app;
  app.CopyToClipboard("Score: 1200 \xE9t\xE9");  // code-page accents
  EXPECT_EQ(app.GetClipboard(), "Score: 1200 \xE9t\xE9");
  EXPECT_EQ(WideClipboard(), u"Score: 1200 \u00E9t\u00E9");
  app.CopyToClipboard("");
  EXPECT_EQ(app.GetClipboard(), "");
}

TEST(Clipboard, AClipboardHeldByAnotherThreadLeavesItUnchanged) {
  Kit::KitAppBase app;
  app.CopyToClipboard("first");
  std::promise<void> opened;
  std::promise<void> done;
  std::thread holder([&] {
    const BOOL open = OpenClipboard(nullptr);
    opened.set_value();
    done.get_future().wait();
    if (open) CloseClipboard();
  });
  opened.get_future().wait();
  app.CopyToClipboard("second");  // cannot open it: nothing happens
  EXPECT_EQ(app.GetClipboard(), "");
  done.set_value();
  holder.join();
  EXPECT_EQ(app.GetClipboard(), "first");
}

TEST(Clipboard, AReplayReturnsTheRecordedTextAndSetsNothing) {
  KitTest::FakeDemoSync demo;
  Kit::KitAppBase recorder;
  recorder.mDemoSync = &demo;
  recorder.mRecordingDemoBuffer = true;
  recorder.CopyToClipboard("level code 42");
  EXPECT_EQ(recorder.GetClipboard(), "level code 42");
  ASSERT_EQ(demo.records.size(), 1u);
  EXPECT_EQ(demo.records[0].command, Kit::DEMO_SYNC_BUFFER);

  Kit::KitAppBase player;
  player.CopyToClipboard("what the machine has now");
  player.mDemoSync = &demo;
  player.mPlayingDemoBuffer = true;
  player.CopyToClipboard("ignored while playing");
  EXPECT_EQ(player.GetClipboard(), "level code 42");
  player.mPlayingDemoBuffer = false;
  player.mDemoSync = nullptr;
  EXPECT_EQ(player.GetClipboard(), "what the machine has now");
}

}  // namespace
