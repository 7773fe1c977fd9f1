// How the application's outside-data operations (registry and file access) meet the input recording:
// while recording, each outcome is written into the demo stream; while a demo plays, the recorded
// outcome is taken back instead of asking the machine. The recorder owns the stream and implements
// this; the application only holds a pointer to it while a recording or a playback is open.
#pragma once

#include <cstdint>
#include <vector>

namespace Kit {

// The command numbers of the synchronised operations inside the demo stream.
enum DemoSyncCommand {
  DEMO_REGISTRY_READ = 11,
  DEMO_REGISTRY_WRITE = 12,
  DEMO_FILE_EXISTS = 14,
  DEMO_FILE_READ = 15,
  DEMO_FILE_WRITE = 16,
  // A value taken from outside (the clipboard's text): its length and bytes; no result bit is kept.
  DEMO_SYNC_BUFFER = 18,
};

class DemoSync {
 public:
  virtual ~DemoSync() = default;

  // Recording: a record of the command with its one-bit result, then the values that go with it.
  virtual void WriteRecord(int command, bool result) = 0;
  virtual void WriteLong(std::uint32_t value) = 0;
  virtual void WriteBytes(const std::uint8_t* bytes, std::uint32_t count) = 0;

  // Playback: the next record (which must be of the command) and its result bit, then its values.
  // A stream that ends or holds another command answers false, and the recorder ends the playback.
  virtual bool ReadRecord(int command) = 0;
  virtual std::uint32_t ReadLong() = 0;
  // The next count bytes; fewer when the stream ends first.
  virtual std::vector<std::uint8_t> ReadBytes(std::uint32_t count) = 0;
};

}  // namespace Kit
