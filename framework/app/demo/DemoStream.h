// The demo stream: the bit stream that records everything coming into a run from outside (window
// input, the loading thread's completion, the display state, registry, file, clipboard and HTTP
// outcomes) and replays it tick for tick.
//
// Every record is a timing block (the update ticks since the previous record in 4 bits, longer gaps
// bridged by no-op fillers), a flag bit (1 mouse, 0 command) and a 1-bit mouse or a 5-bit command
// number, then the command's payload. Input records are applied by PlaybackStep through a
// DemoPlaybackSink; the outcomes of synchronised operations are taken back by the operation itself,
// inside the same update in which it was recorded.
//
// A damaged stream ends the playback: a record whose header or payload runs past the stored bytes
// (the padding bits of the last byte, a cut file, a length larger than what is left) is not applied.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/app/demo/DemoFile.h"
#include "framework/util/Buffer.h"

namespace Kit {

enum DemoCommand : int {
  DEMO_ABSOLUTE_MOVE = 0,
  DEMO_ACTIVATE = 1,
  DEMO_SIZE = 2,
  DEMO_KEY_DOWN = 3,
  DEMO_KEY_UP = 4,
  DEMO_CHARACTER = 5,
  DEMO_CLOSE = 6,
  DEMO_MOUSE_ENTER = 7,
  DEMO_MOUSE_LEAVE = 8,
  DEMO_LOADING_COMPLETED = 9,
  DEMO_HTTP_RESULT = 17,
  DEMO_DATA_BLOCK = 18,
  DEMO_MOUSE_WHEEL = 21,
  DEMO_DISPLAY_STATE = 23,
  DEMO_NO_OP = 31,
};

// The records of the registry and file operations, which carry their one-bit result first.
enum class DemoResultRecord : int {
  RegistryRead = 11,
  RegistryWrite = 12,
  FileExists = 14,
  FileRead = 15,
  FileWrite = 16,
};

enum DemoMouseCommand : int {
  DEMO_MOUSE_RELATIVE_MOVE = 0,
  DEMO_MOUSE_BUTTON = 1,
};

// Where replayed input goes. Positions are the replayed mouse position.
class DemoPlaybackSink {
 public:
  virtual ~DemoPlaybackSink() = default;
  // Playback stops applying records as soon as this turns true.
  virtual bool DemoShuttingDown() = 0;
  virtual void DemoMouseMove(int x, int y) = 0;
  virtual void DemoMouseButton(int x, int y, bool down, int clickCode) = 0;
  virtual void DemoActivate(bool active) = 0;
  virtual void DemoSize(bool minimised) = 0;
  virtual void DemoKeyDown(int key) = 0;
  virtual void DemoKeyUp(int key) = 0;
  virtual void DemoCharacter(int character) = 0;
  virtual void DemoClose() = 0;
  virtual void DemoMouseEnter() = 0;
  virtual void DemoMouseLeave(int x, int y) = 0;
  // The wheel delta in notches (the message's delta divided by 120).
  virtual void DemoMouseWheel(int notches) = 0;
  virtual void DemoDisplayState(bool windowed, int refreshRate) = 0;
};

class DemoStream {
 public:
  // Writing: the recorder calls these with the application's current update count. Each writes
  // one whole record.
  void WriteDemoTimingBlock(std::int32_t updateCount);
  void WriteCommandHeader(std::int32_t updateCount, int command);
  // A mouse message at (x, y): a relative or absolute move record when the position changed, then
  // the stored position becomes (x, y).
  void RecordMousePosition(std::int32_t updateCount, int x, int y);
  // A button message; clickCode 1 left, -1 right, 3 middle, 2 / -2 double clicks.
  void RecordMouseButton(std::int32_t updateCount, int x, int y, bool down, int clickCode);
  // Commands whose payload is nothing (6, 7, 8, 9, 31), one bit (1) or eight bits (3, 4, 5).
  void RecordCommand(std::int32_t updateCount, int command);
  void RecordActivate(std::int32_t updateCount, bool active);
  void RecordSize(std::int32_t updateCount, bool minimised);
  void RecordKey(std::int32_t updateCount, int command, int key);
  // The message's wheel delta; stored in notches of 120, truncated towards zero.
  void RecordMouseWheel(std::int32_t updateCount, int wheelDelta);
  void RecordDisplayState(std::int32_t updateCount, bool windowed, int refreshRate);
  // Outcomes of synchronised operations.
  void RecordResult(std::int32_t updateCount, DemoResultRecord record, bool result);
  void RecordRegistryRead(std::int32_t updateCount, bool found, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t length);
  void RecordFileRead(std::int32_t updateCount, bool found, const Buffer& contents);
  void RecordHttpResult(std::int32_t updateCount, std::int32_t transferId, int resultCode, const std::string& content);
  void RecordDataBlock(std::int32_t updateCount, const Buffer& block);

  // Reading. ReadDemoTimingBlock reads the next header when the last one was consumed and says whether
  // that record is due at `updateCount`.
  bool ReadDemoTimingBlock(std::int32_t updateCount);
  // Applies every record due at `updateCount`; leaves the first one not yet due with its header read.
  void PlaybackStep(std::int32_t updateCount, DemoPlaybackSink& sink);
  // Whether the frame loop must hold the next update back until a due record was consumed. An
  // exhausted stream holds nothing: updates run on.
  bool HoldsUpdate(std::int32_t updateCount) const;
  // True once no further record can be read.
  bool Exhausted() const;
  // Whether the header read last is an operation's outcome that no operation has taken yet.
  bool IsOutcomePending() const;

  // Replayed outcomes of synchronised operations: each reads the record due now and returns what
  // it recorded (false / empty for a stream that ended). A record of another kind ends the playback.
  // Once the user closed the window during playback they read nothing and give those results.
  bool ReplayResult(std::int32_t updateCount, DemoResultRecord record);
  // The recorded value goes to the caller only when it fits `*length` bytes (a longer one is skipped
  // and reported as a failed read); `*type` and `*length` are changed only on success.
  bool ReplayRegistryRead(std::int32_t updateCount, std::uint32_t* type, std::uint8_t* data, std::uint32_t* length);
  bool ReplayFileRead(std::int32_t updateCount, Buffer* contents);
  void ReplayDataBlock(std::int32_t updateCount, Buffer* block);
  bool ReplayDisplayState(std::int32_t updateCount, bool* windowed, int* refreshRate);
  // Takes the HTTP result when the record due now is the one of `transferId`; otherwise leaves the
  // record for the transfer it belongs to.
  bool PeekHttpResult(std::int32_t updateCount, std::int32_t transferId, int* resultCode, std::string* content);

  // Payload values of the record just taken; zero / nothing for an ended stream. A byte count beyond
  // the stream's end ends it.
  std::int32_t ReadPayloadLong();
  std::vector<std::uint8_t> ReadPayloadBytes(std::uint32_t count);

  // Takes a loaded file for playback (the stream from its front) or prepares a recording.
  void StartPlayback(const DemoFile& file);
  void StartRecording();
  // The file to save for a recording made so far.
  DemoFile MakeFile(std::int32_t seed, const std::string& productVersion, std::int32_t endUpdate) const;

  Buffer mDemoBuffer;
  bool mDemoRecording = false;
  bool mDemoPlaying = false;
  bool mDemoUserClosed = false;
  std::int32_t mLastDemoUpdate = 0;
  bool mDemoNeedHeader = true;
  bool mDemoIsMouseRecord = false;
  int mDemoCommand = 0;
  bool mDemoLoadingCompleted = false;
  int mDemoLastMouseX = 0;
  int mDemoLastMouseY = 0;
  std::vector<DemoMarker> mDemoMarkers;
  std::int32_t mDemoEndUpdate = 0;
  // The random seed of the played file.
  std::int32_t mSeed = 0;

 private:
  std::int64_t BitsLeft() const;
  // Reads `count` bits of payload, or ends the stream when they are not all there.
  bool Take(int count, bool signExtend, std::uint32_t* value);
  bool TakeLong(std::int32_t* value);
  // Reads the header of the record a synchronised operation consumes and checks its kind.
  bool TakeRecord(std::int32_t updateCount, int command);
  void EndStream();
  void ApplyRecord(DemoPlaybackSink& sink);

  bool mEnded = false;
};

}  // namespace Kit
