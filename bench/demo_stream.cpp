// The demo stream's cost per input record: recording a busy minute of play (mouse moves every tick,
// clicks and keys), replaying it through the playback step, and opening the saved file.
#include <benchmark/benchmark.h>

#include "framework/app/demo/DemoFile.h"
#include "framework/app/demo/DemoStream.h"

namespace {

constexpr int kTicks = 6000;  // a minute at 100 ticks a second

class NullSink : public Kit::DemoPlaybackSink {
 public:
  bool DemoShuttingDown() override { return false; }
  void DemoMouseMove(int x, int y) override { mSum += x + y; }
  void DemoMouseButton(int x, int y, bool, int clickCode) override { mSum += x + clickCode; }
  void DemoActivate(bool) override {}
  void DemoSize(bool) override {}
  void DemoKeyDown(int key) override { mSum += key; }
  void DemoKeyUp(int key) override { mSum += key; }
  void DemoCharacter(int character) override { mSum += character; }
  void DemoClose() override {}
  void DemoMouseEnter() override {}
  void DemoMouseLeave(int, int) override {}
  void DemoMouseWheel(int notches) override { mSum += notches; }
  void DemoDisplayState(bool, int) override {}
  long long mSum = 0;
};

// Returns the number of records written.
int RecordMinute(Kit::DemoStream& stream) {
  int records = 0;
  for (int tick = 0; tick < kTicks; ++tick) {
    // Small moves most ticks, a jump now and then.
    const int x = (tick * 3) % 800 + (tick % 97 == 0 ? 100 : 0);
    const int y = (tick * 2) % 600;
    stream.RecordMousePosition(tick, x, y);
    ++records;
    if (tick % 50 == 0) {
      stream.RecordMouseButton(tick, x, y, true, 1);
      stream.RecordMouseButton(tick, x, y, false, 1);
      records += 2;
    }
    if (tick % 30 == 0) {
      stream.RecordKey(tick, Kit::DEMO_KEY_DOWN, 'A' + tick % 26);
      stream.RecordKey(tick, Kit::DEMO_CHARACTER, 'a' + tick % 26);
      stream.RecordKey(tick, Kit::DEMO_KEY_UP, 'A' + tick % 26);
      records += 3;
    }
  }
  return records;
}

void BM_DemoRecordMinuteOfInput(benchmark::State& state) {
  int records = 0;
  for (auto _ : state) {
    Kit::DemoStream stream;
    stream.StartRecording();
    records = RecordMinute(stream);
    benchmark::DoNotOptimize(stream.mDemoBuffer.GetDataPtr());
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_DemoRecordMinuteOfInput);

void BM_DemoReplayMinuteOfInput(benchmark::State& state) {
  Kit::DemoStream recorder;
  recorder.StartRecording();
  const int records = RecordMinute(recorder);
  const Kit::DemoFile file = recorder.MakeFile(1, "1.0", kTicks);
  for (auto _ : state) {
    Kit::DemoStream player;
    player.StartPlayback(file);
    NullSink sink;
    for (int tick = 0; tick < kTicks; ++tick) player.PlaybackStep(tick, sink);
    benchmark::DoNotOptimize(sink.mSum);
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.mStream.size()));
}
BENCHMARK(BM_DemoReplayMinuteOfInput);

void BM_DemoOpenFile(benchmark::State& state) {
  Kit::DemoStream recorder;
  recorder.StartRecording();
  RecordMinute(recorder);
  const std::vector<std::uint8_t> bytes = Kit::EncodeDemoFile(recorder.MakeFile(1, "1.0", kTicks));
  for (auto _ : state) {
    Kit::DemoFile file;
    std::string error;
    benchmark::DoNotOptimize(Kit::ParseDemoFile(bytes.data(), bytes.size(), "1.0", &file, &error));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_DemoOpenFile);

}  // namespace
