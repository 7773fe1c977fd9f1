// Opens arbitrary bytes as a demo file and plays the stream through every consumer: the playback
// step, and the synchronised operations, which take their records wherever the bytes put them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/app/demo/DemoFile.h"
#include "framework/app/demo/DemoStream.h"

namespace {

class NullSink : public Kit::DemoPlaybackSink {
 public:
  bool DemoShuttingDown() override { return false; }
  void DemoMouseMove(int, int) override {}
  void DemoMouseButton(int, int, bool, int) override {}
  void DemoActivate(bool) override {}
  void DemoSize(bool) override {}
  void DemoKeyDown(int) override {}
  void DemoKeyUp(int) override {}
  void DemoCharacter(int) override {}
  void DemoClose() override {}
  void DemoMouseEnter() override {}
  void DemoMouseLeave(int, int) override {}
  void DemoMouseWheel(int) override {}
  void DemoDisplayState(bool, int) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Kit::DemoFile file;
  std::string error;
  // Fuzzed files mostly carry a product version of their own; the empty one lets short files in.
  if (!Kit::ParseDemoFile(data, size, "", &file, &error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  Kit::DemoStream stream;
  stream.StartPlayback(file);
  NullSink sink;
  std::int32_t updateCount = 0;
  // The stream decides which consumer runs next, as a recorded program's updates would.
  for (int step = 0; step < 20000 && !stream.Exhausted(); ++step) {
    stream.PlaybackStep(updateCount, sink);
    if (stream.HoldsUpdate(updateCount)) continue;
    ++updateCount;
    switch (stream.mDemoCommand) {
      case static_cast<int>(Kit::DemoResultRecord::RegistryRead): {
        std::uint8_t value[64];
        std::uint32_t type = 0;
        std::uint32_t length = sizeof value;
        stream.ReplayRegistryRead(updateCount, &type, value, &length);
        break;
      }
      case static_cast<int>(Kit::DemoResultRecord::FileRead): {
        Kit::Buffer contents;
        stream.ReplayFileRead(updateCount, &contents);
        break;
      }
      case Kit::DEMO_DATA_BLOCK: {
        Kit::Buffer block;
        stream.ReplayDataBlock(updateCount, &block);
        break;
      }
      case Kit::DEMO_HTTP_RESULT: {
        int code = 0;
        std::string content;
        if (!stream.PeekHttpResult(updateCount, 1, &code, &content))
          stream.PeekHttpResult(updateCount, stream.mDemoCommand, &code, &content);
        break;
      }
      case Kit::DEMO_DISPLAY_STATE: {
        bool windowed = false;
        int rate = 0;
        stream.ReplayDisplayState(updateCount, &windowed, &rate);
        break;
      }
      case static_cast<int>(Kit::DemoResultRecord::RegistryWrite):
      case static_cast<int>(Kit::DemoResultRecord::FileExists):
      case static_cast<int>(Kit::DemoResultRecord::FileWrite):
        stream.ReplayResult(updateCount, static_cast<Kit::DemoResultRecord>(stream.mDemoCommand));
        break;
      default:
        break;
    }
  }
  return 0;
}
