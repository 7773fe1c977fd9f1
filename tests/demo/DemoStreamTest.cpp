#include "framework/app/demo/DemoStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kit::DemoStream;

// A playback sink that writes down every replayed record as a line of text, so that tests compare
// whole replays at a glance.
class RecordingSink : public Kit::DemoPlaybackSink {
 public:
  bool DemoShuttingDown() override { return mShuttingDown; }
  void DemoMouseMove(int x, int y) override { Add("move " + std::to_string(x) + "," + std::to_string(y)); }
  void DemoMouseButton(int x, int y, bool down, int clickCode) override {
    Add(std::string(down ? "down " : "up ") + std::to_string(x) + "," + std::to_string(y) + " " +
        std::to_string(clickCode));
  }
  void DemoActivate(bool active) override { Add(active ? "active" : "inactive"); }
  void DemoSize(bool minimised) override { Add(minimised ? "minimised" : "restored"); }
  void DemoKeyDown(int key) override { Add("keydown " + std::to_string(key)); }
  void DemoKeyUp(int key) override { Add("keyup " + std::to_string(key)); }
  void DemoCharacter(int character) override { Add("char " + std::to_string(character)); }
  void DemoClose() override {
    Add("close");
    if (mShutDownOnClose) mShuttingDown = true;
  }
  void DemoMouseEnter() override { Add("enter"); }
  void DemoMouseLeave(int x, int y) override { Add("leave " + std::to_string(x) + "," + std::to_string(y)); }
  void DemoMouseWheel(int notches) override { Add("wheel " + std::to_string(notches)); }
  void DemoDisplayState(bool windowed, int refreshRate) override {
    Add(std::string(windowed ? "windowed " : "fullscreen ") + std::to_string(refreshRate));
  }

  void Add(const std::string& line) { mLines.push_back("@" + std::to_string(mUpdateCount) + " " + line); }

  std::vector<std::string> mLines;
  int mUpdateCount = 0;
  bool mShuttingDown = false;
  bool mShutDownOnClose = false;
};

// Plays the whole stream as the frame loop would: a playback step, then one update unless a due
// record holds it back; at most `maxUpdates` updates.
std::vector<std::string> PlayAll(Kit::DemoStream& stream, int maxUpdates) {
  RecordingSink sink;
  for (int guard = 0; guard < maxUpdates * 4 && sink.mUpdateCount < maxUpdates; ++guard) {
    stream.PlaybackStep(sink.mUpdateCount, sink);
    if (!stream.HoldsUpdate(sink.mUpdateCount)) ++sink.mUpdateCount;
  }
  return sink.mLines;
}

// A recorder's stream handed to a fresh player, as a saved and reopened file would be.
DemoStream Reopen(const DemoStream& recorder) {
  DemoStream player;
  player.StartPlayback(recorder.MakeFile(7, "1.0", 0));
  return player;
}

std::vector<std::string> Lines(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

// Moves within 31 are relative, farther ones absolute and held to 0..4095; gaps over 15 updates are
// bridged with fillers.
TEST(DemoStreamRoundTrip, EveryInputRecordReplaysAtItsUpdate) {
  DemoStream rec;
  rec.RecordMousePosition(1, 31, 31);
  rec.RecordMousePosition(1, 63, 31);
  rec.RecordMousePosition(1, -50, 5000);
  rec.RecordMousePosition(1, 500, 400);
  rec.RecordMouseButton(2, 505, 390, true, 1);
  rec.RecordMouseButton(2, 505, 390, false, 1);
  rec.RecordMouseButton(3, 505, 390, true, -2);
  rec.RecordMouseButton(3, 505, 390, true, 3);
  rec.RecordActivate(4, false);
  rec.RecordActivate(4, true);
  rec.RecordSize(5, true);
  rec.RecordSize(5, false);
  rec.RecordKey(6, Kit::DEMO_KEY_DOWN, 0x25);
  rec.RecordKey(6, Kit::DEMO_CHARACTER, 'x');
  rec.RecordKey(6, Kit::DEMO_KEY_UP, 0x25);
  rec.RecordCommand(7, Kit::DEMO_MOUSE_ENTER);
  rec.RecordCommand(7, Kit::DEMO_MOUSE_LEAVE);
  rec.RecordMouseWheel(8, -240);
  rec.RecordMouseWheel(8, 130);
  rec.RecordMouseWheel(8, -119);
  rec.RecordDisplayState(9, false, 85);
  rec.RecordCommand(100, Kit::DEMO_CLOSE);

  DemoStream player = Reopen(rec);
  EXPECT_EQ(
      PlayAll(player, 200),
      Lines({"@1 move 31,31",     "@1 move 63,31",    "@1 move 0,4095",     "@1 move 500,400",   "@2 move 505,390",
             "@2 down 505,390 1", "@2 up 505,390 1",  "@3 down 505,390 -2", "@3 down 505,390 3", "@4 inactive",
             "@4 active",         "@5 minimised",     "@5 restored",        "@6 keydown 37",     "@6 char 120",
             "@6 keyup 37",       "@7 enter",         "@7 leave 505,390",   "@8 wheel -2",       "@8 wheel 1",
             "@8 wheel 0",        "@9 fullscreen 85", "@100 close"}));
  EXPECT_TRUE(player.Exhausted());
}

TEST(DemoStreamPlayback, UpdatesAreHeldUntilTheDueRecordIsAppliedAndRunOnAfterTheEnd) {
  DemoStream rec;
  rec.RecordKey(2, Kit::DEMO_KEY_DOWN, 1);
  DemoStream player = Reopen(rec);
  RecordingSink sink;
  player.PlaybackStep(0, sink);
  EXPECT_FALSE(player.HoldsUpdate(0));
  EXPECT_FALSE(player.HoldsUpdate(1));
  EXPECT_TRUE(player.HoldsUpdate(2)) << "the key of update 2 must be applied before update 3 runs";
  player.PlaybackStep(2, sink);
  EXPECT_EQ(sink.mLines.size(), 1u);
  EXPECT_FALSE(player.HoldsUpdate(2)) << "an exhausted stream must not stop the frame loop";
  EXPECT_FALSE(player.HoldsUpdate(3));
}

TEST(DemoStreamPlayback, AnOutcomeDueNowIsLeftForItsOperationAndHoldsNothing) {
  // The loading hand-over runs between updates: its file read is due at the count of the
  // loading-completed record, right after it.
  DemoStream rec;
  rec.RecordCommand(4, Kit::DEMO_LOADING_COMPLETED);
  rec.RecordResult(4, Kit::DemoResultRecord::FileExists, true);
  rec.RecordKey(4, Kit::DEMO_KEY_DOWN, 8);
  DemoStream player = Reopen(rec);
  RecordingSink sink;
  sink.mUpdateCount = 4;
  for (int count = 0; count <= 4; ++count) player.PlaybackStep(count, sink);
  EXPECT_TRUE(player.mDemoLoadingCompleted);
  EXPECT_TRUE(sink.mLines.empty()) << "the key comes after the outcome";
  EXPECT_TRUE(player.IsOutcomePending());
  EXPECT_FALSE(player.HoldsUpdate(4));
  EXPECT_TRUE(player.ReplayResult(4, Kit::DemoResultRecord::FileExists));
  EXPECT_TRUE(player.HoldsUpdate(4)) << "the key is due before the next update";
  player.PlaybackStep(4, sink);
  EXPECT_EQ(sink.mLines, Lines({"@4 keydown 8"}));
}

TEST(DemoStreamPlayback, StopsApplyingWhenTheApplicationShutsDown) {
  DemoStream rec;
  rec.RecordCommand(1, Kit::DEMO_CLOSE);
  rec.RecordKey(1, Kit::DEMO_KEY_DOWN, 9);
  DemoStream player = Reopen(rec);
  RecordingSink sink;
  sink.mShutDownOnClose = true;
  sink.mUpdateCount = 1;
  player.PlaybackStep(0, sink);
  player.PlaybackStep(1, sink);
  EXPECT_EQ(sink.mLines, Lines({"@1 close"}));
}

TEST(DemoStreamDamage, ACutRecordIsDroppedAndThePlaybackEnds) {
  DemoStream rec;
  rec.RecordKey(0, Kit::DEMO_KEY_DOWN, 1);
  rec.RecordDisplayState(1, true, 60);
  Kit::DemoFile file = rec.MakeFile(0, "", 0);
  file.mStream.resize(file.mStream.size() - 1);
  DemoStream player;
  player.StartPlayback(file);
  EXPECT_EQ(PlayAll(player, 5), Lines({"@0 keydown 1"}));
  EXPECT_TRUE(player.Exhausted());
}

TEST(DemoStreamSynchronised, HugeRecordedLengthsEndThePlaybackInsteadOfReading) {
  DemoStream rec;
  rec.RecordCommand(0, Kit::DEMO_DATA_BLOCK);
  rec.mDemoBuffer.WriteLong(0x7FFFFFF0);
  rec.mDemoBuffer.WriteLong(0);
  rec.RecordResult(0, Kit::DemoResultRecord::FileRead, true);
  DemoStream player = Reopen(rec);
  Kit::Buffer block;
  block.WriteByte(5);
  player.ReplayDataBlock(0, &block);
  EXPECT_EQ(block.GetDataLen(), 1) << "the caller's buffer is left as it was";
  EXPECT_TRUE(player.Exhausted());
  Kit::Buffer file;
  EXPECT_FALSE(player.ReplayFileRead(0, &file));
}

TEST(DemoStreamSynchronised, ARecordOfAnotherKindEndsThePlayback) {
  DemoStream rec;
  rec.RecordResult(0, Kit::DemoResultRecord::FileExists, true);
  rec.RecordKey(0, Kit::DEMO_KEY_DOWN, 3);
  DemoStream player = Reopen(rec);
  EXPECT_FALSE(player.ReplayResult(0, Kit::DemoResultRecord::RegistryWrite));
  EXPECT_TRUE(player.Exhausted());
  EXPECT_TRUE(PlayAll(player, 2).empty());
  EXPECT_FALSE(player.ReplayResult(0, Kit::DemoResultRecord::FileExists)) << "nothing is read after the end";
}

TEST(DemoStreamSynchronised, PayloadValuesAreReadWhileTheyLastAndACountBeyondTheEndEndsThePlayback) {
  DemoStream rec;
  rec.RecordResult(0, Kit::DemoResultRecord::FileRead, true);
  rec.mDemoBuffer.WriteLong(-7);
  const std::uint8_t bytes[] = {5, 6, 7};
  rec.mDemoBuffer.WriteBytes(bytes, 3);
  DemoStream player = Reopen(rec);
  ASSERT_TRUE(player.ReplayResult(0, Kit::DemoResultRecord::FileRead));
  EXPECT_EQ(player.ReadPayloadLong(), -7);
  EXPECT_EQ(player.ReadPayloadBytes(2), (std::vector<std::uint8_t>{5, 6}));
  EXPECT_TRUE(player.ReadPayloadBytes(0x40000000).empty());
  EXPECT_TRUE(player.Exhausted());
  EXPECT_EQ(player.ReadPayloadLong(), 0);
}

// A content too long for a stream string is cut, and the stream stays in step.
TEST(DemoStreamSynchronised, HttpResultsGoToTheTransferWithTheirId) {
  DemoStream rec;
  rec.RecordHttpResult(2, 41, 0, std::string(40000, 'a'));
  rec.RecordHttpResult(2, 40, 2, "");
  rec.RecordKey(2, Kit::DEMO_KEY_DOWN, 3);
  DemoStream player = Reopen(rec);
  RecordingSink sink;
  player.PlaybackStep(0, sink);
  player.PlaybackStep(1, sink);
  int code = -1;
  std::string content = "x";
  EXPECT_FALSE(player.PeekHttpResult(1, 41, &code, &content)) << "not due yet";
  EXPECT_FALSE(player.PeekHttpResult(2, 40, &code, &content)) << "the due record is transfer 41's";
  EXPECT_EQ(code, -1);
  ASSERT_TRUE(player.PeekHttpResult(2, 41, &code, &content));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(content, std::string(32767, 'a'));
  ASSERT_TRUE(player.PeekHttpResult(2, 40, &code, &content));
  EXPECT_EQ(code, 2);
  EXPECT_EQ(content, "");
  sink.mUpdateCount = 2;
  player.PlaybackStep(2, sink);
  EXPECT_EQ(sink.mLines, Lines({"@2 keydown 3"}));
}

TEST(DemoStreamSynchronised, DisplayStateIsTakenByInit) {
  DemoStream rec;
  rec.RecordDisplayState(0, true, 75);
  DemoStream player = Reopen(rec);
  bool windowed = false;
  int rate = 0;
  ASSERT_TRUE(player.ReplayDisplayState(0, &windowed, &rate));
  EXPECT_TRUE(windowed);
  EXPECT_EQ(rate, 75);
  EXPECT_FALSE(player.ReplayDisplayState(0, &windowed, &rate)) << "nothing left";
}

}  // namespace
