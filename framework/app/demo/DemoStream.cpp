#include "framework/app/demo/DemoStream.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace Kit {

namespace {

constexpr int kTimingBits = 4;
constexpr int kMaxTimingDelta = 15;
constexpr int kCommandBits = 5;
constexpr int kRelativeMoveBits = 6;
constexpr int kMaxRelativeMove = 31;
constexpr int kAbsoluteCoordinateBits = 12;
constexpr int kMaxAbsoluteCoordinate = (1 << kAbsoluteCoordinateBits) - 1;
constexpr int kClickCodeBits = 3;
constexpr int kShortestRecordBits = kTimingBits + 1 + kCommandBits;
constexpr int kWheelNotch = 120;
// Strings in the stream have a signed 16-bit length.
constexpr std::size_t kMaxStreamString = 32767;

}  // namespace

void DemoStream::WriteDemoTimingBlock(std::int32_t updateCount) {
  std::int64_t delta = std::max<std::int64_t>(0, static_cast<std::int64_t>(updateCount) - mLastDemoUpdate);
  while (delta > kMaxTimingDelta) {
    mDemoBuffer.WriteNumBits(kMaxTimingDelta, kTimingBits);
    mDemoBuffer.WriteNumBits(0, 1);
    mDemoBuffer.WriteNumBits(DEMO_NO_OP, kCommandBits);
    delta -= kMaxTimingDelta;
  }
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(delta), kTimingBits);
  mLastDemoUpdate = updateCount;
}

void DemoStream::WriteCommandHeader(std::int32_t updateCount, int command) {
  WriteDemoTimingBlock(updateCount);
  mDemoBuffer.WriteNumBits(0, 1);
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(command), kCommandBits);
}

void DemoStream::RecordMousePosition(std::int32_t updateCount, int x, int y) {
  const int dx = x - mDemoLastMouseX;
  const int dy = y - mDemoLastMouseY;
  if (dx == 0 && dy == 0) return;
  if (std::abs(dx) <= kMaxRelativeMove && std::abs(dy) <= kMaxRelativeMove) {
    WriteDemoTimingBlock(updateCount);
    mDemoBuffer.WriteNumBits(1, 1);
    mDemoBuffer.WriteNumBits(DEMO_MOUSE_RELATIVE_MOVE, 1);
    mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(dx), kRelativeMoveBits);
    mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(dy), kRelativeMoveBits);
    mDemoLastMouseX = x;
    mDemoLastMouseY = y;
    return;
  }
  // A captured mouse can report positions outside 0..4095; the record holds what it can, and the
  // stored position follows the record so that later relative moves replay from the same point.
  const int storedX = std::clamp(x, 0, kMaxAbsoluteCoordinate);
  const int storedY = std::clamp(y, 0, kMaxAbsoluteCoordinate);
  WriteCommandHeader(updateCount, DEMO_ABSOLUTE_MOVE);
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(storedX), kAbsoluteCoordinateBits);
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(storedY), kAbsoluteCoordinateBits);
  mDemoLastMouseX = storedX;
  mDemoLastMouseY = storedY;
}

void DemoStream::RecordMouseButton(std::int32_t updateCount, int x, int y, bool down, int clickCode) {
  RecordMousePosition(updateCount, x, y);
  WriteDemoTimingBlock(updateCount);
  mDemoBuffer.WriteNumBits(1, 1);
  mDemoBuffer.WriteNumBits(DEMO_MOUSE_BUTTON, 1);
  mDemoBuffer.WriteNumBits(down ? 1 : 0, 1);
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(clickCode), kClickCodeBits);
}

void DemoStream::RecordCommand(std::int32_t updateCount, int command) { WriteCommandHeader(updateCount, command); }

void DemoStream::RecordActivate(std::int32_t updateCount, bool active) {
  WriteCommandHeader(updateCount, DEMO_ACTIVATE);
  mDemoBuffer.WriteNumBits(active ? 1 : 0, 1);
}

void DemoStream::RecordSize(std::int32_t updateCount, bool minimised) {
  WriteCommandHeader(updateCount, DEMO_SIZE);
  mDemoBuffer.WriteBoolean(minimised);
}

void DemoStream::RecordKey(std::int32_t updateCount, int command, int key) {
  WriteCommandHeader(updateCount, command);
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(key), 8);
}

void DemoStream::RecordMouseWheel(std::int32_t updateCount, int wheelDelta) {
  WriteCommandHeader(updateCount, DEMO_MOUSE_WHEEL);
  mDemoBuffer.WriteNumBits(static_cast<std::uint32_t>(wheelDelta / kWheelNotch), 8);
}

void DemoStream::RecordDisplayState(std::int32_t updateCount, bool windowed, int refreshRate) {
  WriteCommandHeader(updateCount, DEMO_DISPLAY_STATE);
  mDemoBuffer.WriteBoolean(windowed);
  mDemoBuffer.WriteByte(static_cast<std::uint8_t>(refreshRate));
}

void DemoStream::RecordResult(std::int32_t updateCount, DemoResultRecord record, bool result) {
  WriteCommandHeader(updateCount, static_cast<int>(record));
  mDemoBuffer.WriteNumBits(result ? 1 : 0, 1);
}

void DemoStream::RecordRegistryRead(std::int32_t updateCount, bool found, std::uint32_t type, const std::uint8_t* data,
                                    std::uint32_t length) {
  RecordResult(updateCount, DemoResultRecord::RegistryRead, found);
  if (!found) return;
  mDemoBuffer.WriteLong(static_cast<std::int32_t>(type));
  mDemoBuffer.WriteLong(static_cast<std::int32_t>(length));
  mDemoBuffer.WriteBytes(data, static_cast<int>(length));
}

void DemoStream::RecordFileRead(std::int32_t updateCount, bool found, const Buffer& contents) {
  RecordResult(updateCount, DemoResultRecord::FileRead, found);
  if (!found) return;
  mDemoBuffer.WriteLong(contents.GetDataLen());
  mDemoBuffer.WriteBytes(contents.GetDataPtr(), contents.GetDataLen());
}

void DemoStream::RecordHttpResult(std::int32_t updateCount, std::int32_t transferId, int resultCode,
                                  const std::string& content) {
  WriteCommandHeader(updateCount, DEMO_HTTP_RESULT);
  mDemoBuffer.WriteLong(transferId);
  mDemoBuffer.WriteByte(static_cast<std::uint8_t>(resultCode));
  // A longer string would read back as empty and leave its bytes to be misread as records.
  mDemoBuffer.WriteString(content.substr(0, kMaxStreamString));
}

void DemoStream::RecordDataBlock(std::int32_t updateCount, const Buffer& block) {
  WriteCommandHeader(updateCount, DEMO_DATA_BLOCK);
  mDemoBuffer.WriteLong(block.GetDataLen());
  mDemoBuffer.WriteBytes(block.GetDataPtr(), block.GetDataLen());
}

std::int64_t DemoStream::BitsLeft() const {
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(mDemoBuffer.mDataBitSize) - mDemoBuffer.mReadBitPos);
}

bool DemoStream::Take(int count, bool signExtend, std::uint32_t* value) {
  if (mEnded || BitsLeft() < count) {
    EndStream();
    *value = 0;
    return false;
  }
  *value = mDemoBuffer.ReadNumBits(count, signExtend);
  return true;
}

bool DemoStream::TakeLong(std::int32_t* value) {
  std::uint32_t raw = 0;
  const bool taken = Take(32, false, &raw);
  *value = static_cast<std::int32_t>(raw);
  return taken;
}

void DemoStream::EndStream() {
  mEnded = true;
  mDemoNeedHeader = true;
  mDemoBuffer.mReadBitPos = mDemoBuffer.mDataBitSize;
}

// The shortest record (a button, or a command without payload) has 10 bits: fewer left are the zero
// bits that pad the last byte.
bool DemoStream::Exhausted() const { return mEnded || (mDemoNeedHeader && BitsLeft() < kShortestRecordBits); }

bool DemoStream::ReadDemoTimingBlock(std::int32_t updateCount) {
  if (mDemoNeedHeader) {
    // The shortest record header is 6 bits and a command header 10: the zero bits that pad the last
    // byte never make a whole one.
    std::uint32_t delta = 0;
    std::uint32_t flag = 0;
    std::uint32_t command = 0;
    if (!Take(kTimingBits, false, &delta) || !Take(1, false, &flag) ||
        !Take(flag != 0 ? 1 : kCommandBits, false, &command))
      return false;
    if (mLastDemoUpdate > std::numeric_limits<std::int32_t>::max() - kMaxTimingDelta) {
      EndStream();
      return false;
    }
    mLastDemoUpdate += static_cast<std::int32_t>(delta);
    mDemoIsMouseRecord = flag != 0;
    mDemoCommand = static_cast<int>(command);
    mDemoNeedHeader = false;
  }
  return updateCount == mLastDemoUpdate;
}

bool DemoStream::IsOutcomePending() const {
  if (mDemoNeedHeader || mDemoIsMouseRecord) return false;
  switch (mDemoCommand) {
    case static_cast<int>(DemoResultRecord::RegistryRead):
    case static_cast<int>(DemoResultRecord::RegistryWrite):
    case static_cast<int>(DemoResultRecord::FileExists):
    case static_cast<int>(DemoResultRecord::FileRead):
    case static_cast<int>(DemoResultRecord::FileWrite):
    case DEMO_HTTP_RESULT:
    case DEMO_DATA_BLOCK:
      return true;
    default:
      return false;
  }
}

bool DemoStream::HoldsUpdate(std::int32_t updateCount) const {
  return mDemoPlaying && !Exhausted() && updateCount == mLastDemoUpdate && !IsOutcomePending();
}

void DemoStream::PlaybackStep(std::int32_t updateCount, DemoPlaybackSink& sink) {
  if (!mDemoPlaying) return;
  while (updateCount == mLastDemoUpdate) {
    if (sink.DemoShuttingDown() || Exhausted()) return;
    if (!ReadDemoTimingBlock(updateCount)) return;
    // An outcome is left to the operation that records it; one due now belongs to the work that
    // runs next between updates (the loading hand-over), or to the next update.
    if (IsOutcomePending()) return;
    mDemoNeedHeader = true;
    ApplyRecord(sink);
  }
}

void DemoStream::ApplyRecord(DemoPlaybackSink& sink) {
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  if (mDemoIsMouseRecord) {
    if (mDemoCommand == DEMO_MOUSE_RELATIVE_MOVE) {
      if (!Take(kRelativeMoveBits, true, &a) || !Take(kRelativeMoveBits, true, &b)) return;
      mDemoLastMouseX += static_cast<std::int32_t>(a);
      mDemoLastMouseY += static_cast<std::int32_t>(b);
      sink.DemoMouseMove(mDemoLastMouseX, mDemoLastMouseY);
    } else {
      if (!Take(1, false, &a) || !Take(kClickCodeBits, true, &b)) return;
      sink.DemoMouseButton(mDemoLastMouseX, mDemoLastMouseY, a != 0, static_cast<std::int32_t>(b));
    }
    return;
  }
  switch (mDemoCommand) {
    case DEMO_ABSOLUTE_MOVE:
      if (!Take(kAbsoluteCoordinateBits, false, &a) || !Take(kAbsoluteCoordinateBits, false, &b)) return;
      mDemoLastMouseX = static_cast<int>(a);
      mDemoLastMouseY = static_cast<int>(b);
      sink.DemoMouseMove(mDemoLastMouseX, mDemoLastMouseY);
      break;
    case DEMO_ACTIVATE:
      if (Take(1, false, &a)) sink.DemoActivate(a != 0);
      break;
    case DEMO_SIZE:
      if (Take(8, false, &a)) sink.DemoSize(a != 0);
      break;
    case DEMO_KEY_DOWN:
      if (Take(8, false, &a)) sink.DemoKeyDown(static_cast<int>(a));
      break;
    case DEMO_KEY_UP:
      if (Take(8, false, &a)) sink.DemoKeyUp(static_cast<int>(a));
      break;
    case DEMO_CHARACTER:
      if (Take(8, false, &a)) sink.DemoCharacter(static_cast<int>(a));
      break;
    case DEMO_CLOSE:
      sink.DemoClose();
      break;
    case DEMO_MOUSE_ENTER:
      sink.DemoMouseEnter();
      break;
    case DEMO_MOUSE_LEAVE:
      sink.DemoMouseLeave(mDemoLastMouseX, mDemoLastMouseY);
      break;
    case DEMO_LOADING_COMPLETED:
      mDemoLoadingCompleted = true;
      break;
    case DEMO_MOUSE_WHEEL:
      if (Take(8, true, &a)) sink.DemoMouseWheel(static_cast<std::int32_t>(a));
      break;
    case DEMO_DISPLAY_STATE:
      if (Take(8, false, &a) && Take(8, false, &b)) sink.DemoDisplayState(a != 0, static_cast<int>(b));
      break;
    default:
      break;
  }
}

bool DemoStream::TakeRecord(std::int32_t updateCount, int command) {
  if (mEnded || mDemoUserClosed) return false;
  ReadDemoTimingBlock(updateCount);
  // Fillers of a long gap carry nothing; the playback step normally takes them at their own counts.
  while (!mEnded && !mDemoIsMouseRecord && mDemoCommand == DEMO_NO_OP && command != DEMO_NO_OP) {
    mDemoNeedHeader = true;
    ReadDemoTimingBlock(updateCount);
  }
  mDemoNeedHeader = true;
  if (mEnded) return false;
  // Another record here means the replay went out of step; reading its bits as this payload would
  // only spread the damage.
  if (mDemoIsMouseRecord || mDemoCommand != command) {
    EndStream();
    return false;
  }
  return true;
}

bool DemoStream::ReplayResult(std::int32_t updateCount, DemoResultRecord record) {
  std::uint32_t result = 0;
  return TakeRecord(updateCount, static_cast<int>(record)) && Take(1, false, &result) && result != 0;
}

bool DemoStream::ReplayRegistryRead(std::int32_t updateCount, std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* length) {
  if (!ReplayResult(updateCount, DemoResultRecord::RegistryRead)) return false;
  std::int32_t recordedType = 0;
  std::int32_t recordedLength = 0;
  if (!TakeLong(&recordedType) || !TakeLong(&recordedLength)) return false;
  if (recordedLength < 0 || BitsLeft() < static_cast<std::int64_t>(recordedLength) * 8) {
    EndStream();
    return false;
  }
  if (static_cast<std::uint32_t>(recordedLength) > *length || (data == nullptr && recordedLength > 0)) {
    // Skipped whole, so that the stream stays in step.
    mDemoBuffer.mReadBitPos += recordedLength * 8;
    return false;
  }
  mDemoBuffer.ReadBytes(data, recordedLength);
  *type = static_cast<std::uint32_t>(recordedType);
  *length = static_cast<std::uint32_t>(recordedLength);
  return true;
}

bool DemoStream::ReplayFileRead(std::int32_t updateCount, Buffer* contents) {
  if (!ReplayResult(updateCount, DemoResultRecord::FileRead)) return false;
  std::int32_t length = 0;
  if (!TakeLong(&length)) return false;
  if (length < 0 || BitsLeft() < static_cast<std::int64_t>(length) * 8) {
    EndStream();
    return false;
  }
  contents->Clear();
  for (std::int32_t i = 0; i < length; ++i) contents->WriteByte(mDemoBuffer.ReadByte());
  return true;
}

void DemoStream::ReplayDataBlock(std::int32_t updateCount, Buffer* block) {
  std::int32_t length = 0;
  if (!TakeRecord(updateCount, DEMO_DATA_BLOCK) || !TakeLong(&length)) return;
  if (length < 0 || BitsLeft() < static_cast<std::int64_t>(length) * 8) {
    EndStream();
    return;
  }
  block->Clear();
  for (std::int32_t i = 0; i < length; ++i) block->WriteByte(mDemoBuffer.ReadByte());
}

bool DemoStream::ReplayDisplayState(std::int32_t updateCount, bool* windowed, int* refreshRate) {
  std::uint32_t windowedByte = 0;
  std::uint32_t rate = 0;
  if (!TakeRecord(updateCount, DEMO_DISPLAY_STATE) || !Take(8, false, &windowedByte) || !Take(8, false, &rate))
    return false;
  *windowed = windowedByte != 0;
  *refreshRate = static_cast<int>(rate);
  return true;
}

bool DemoStream::PeekHttpResult(std::int32_t updateCount, std::int32_t transferId, int* resultCode,
                                std::string* content) {
  if (mDemoUserClosed || !ReadDemoTimingBlock(updateCount) || mDemoIsMouseRecord || mDemoCommand != DEMO_HTTP_RESULT)
    return false;
  if (BitsLeft() < 32 + 8 + 16) {
    EndStream();
    return false;
  }
  const std::int32_t idStart = mDemoBuffer.mReadBitPos;
  if (mDemoBuffer.ReadLong() != transferId) {
    mDemoBuffer.mReadBitPos = idStart;
    return false;
  }
  const int code = mDemoBuffer.ReadByte();
  const std::int16_t length = mDemoBuffer.ReadShort();
  if (length > 0 && BitsLeft() < static_cast<std::int64_t>(length) * 8) {
    EndStream();
    return false;
  }
  mDemoBuffer.mReadBitPos -= 16;
  *content = mDemoBuffer.ReadString();
  *resultCode = code;
  mDemoNeedHeader = true;
  return true;
}

std::int32_t DemoStream::ReadPayloadLong() {
  std::int32_t value = 0;
  TakeLong(&value);
  return value;
}

std::vector<std::uint8_t> DemoStream::ReadPayloadBytes(std::uint32_t count) {
  if (mEnded || BitsLeft() < static_cast<std::int64_t>(count) * 8) {
    EndStream();
    return {};
  }
  std::vector<std::uint8_t> bytes(count);
  mDemoBuffer.ReadBytes(bytes.data(), static_cast<int>(count));
  return bytes;
}

void DemoStream::StartPlayback(const DemoFile& file) {
  mDemoBuffer.Clear();
  mDemoBuffer.SetData(file.mStream.data(), static_cast<int>(file.mStream.size()));
  mDemoBuffer.SeekFront();
  mDemoMarkers = file.mMarkers;
  mDemoEndUpdate = file.mEndUpdate;
  mSeed = file.mSeed;
  mDemoPlaying = true;
  mDemoRecording = false;
  mLastDemoUpdate = 0;
  mDemoNeedHeader = true;
  mEnded = false;
}

void DemoStream::StartRecording() {
  mDemoBuffer.Clear();
  mDemoRecording = true;
  mDemoPlaying = false;
  mLastDemoUpdate = 0;
}

DemoFile DemoStream::MakeFile(std::int32_t seed, const std::string& productVersion, std::int32_t endUpdate) const {
  DemoFile file;
  file.mSeed = seed;
  file.mProductVersion = productVersion;
  file.mMarkers = mDemoMarkers;
  file.mEndUpdate = endUpdate;
  file.mStream.assign(mDemoBuffer.mData.begin(), mDemoBuffer.mData.begin() + mDemoBuffer.GetDataLen());
  return file;
}

}  // namespace Kit
