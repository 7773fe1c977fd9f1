// The application's demo stream: made at start for the recording or playback the command line
// chose, saved as a demo file at the end of a recording, and the values the application
// synchronises through it as data blocks.
#include <cerrno>
#include <cstring>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoFile.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/Buffer.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/DebugOutput.h"

namespace Kit {

namespace {

// Strings travel with a signed 16-bit length.
constexpr std::size_t kMaxSyncedString = 32767;

std::string WriteFailure(const std::string& fileName) {
  return "Could not write demo file: " + fileName + " (" + std::strerror(errno) + ")";
}

}  // namespace

bool KitAppBase::StartDemo(std::string& error) {
  if (!mRecordingDemoBuffer && !mPlayingDemoBuffer) return true;
  mOwnDemoStream = std::make_unique<DemoStream>();
  if (mPlayingDemoBuffer) {
    if (!OpenDemoFile(error)) {
      mPlayingDemoBuffer = false;
      mOwnDemoStream.reset();
      return false;
    }
  } else {
    // A recording killed while its file was written left a temporary beside the file.
    const std::string file = plat::MapPath(mDemoFileName);
    plat::RemoveStaleTemporaries(file);
    // A recording that could not be kept is refused now, not found out once the run is over.
    if (!plat::CanReplaceFile(file)) {
      error = WriteFailure(mDemoFileName);
      mRecordingDemoBuffer = false;
      mOwnDemoStream.reset();
      return false;
    }
    mOwnDemoStream->StartRecording();
  }
  mDemoStream = mOwnDemoStream.get();
  return true;
}

bool KitAppBase::OpenDemoFile(std::string& error) {
  DemoFile file;
  const bool opened = LoadDemoFile(mDemoFileName, mProductVersion, &file, &error);
  // The file's seed replaces the run's as soon as it was read, also when the file is then refused.
  mOwnDemoStream->mSeed = file.mSeed;
  if (opened) mOwnDemoStream->StartPlayback(file);
  return opened;
}

void KitAppBase::WriteDemoFile(std::uint32_t seed) {
  if (!mRecordingDemoBuffer || mDemoStream == nullptr) return;
  if (!SaveDemoFile(mDemoFileName,
                    mDemoStream->MakeFile(static_cast<std::int32_t>(seed), mProductVersion, mUpdateCount)))
    OutputDebugString((WriteFailure(mDemoFileName) + "\n").c_str());
}

void KitAppBase::DemoSyncBuffer(Buffer& buffer) {
  if (mDemoStream == nullptr) return;
  if (mDemoStream->mDemoPlaying)
    mDemoStream->ReplayDataBlock(mUpdateCount, &buffer);
  else if (mDemoStream->mDemoRecording)
    mDemoStream->RecordDataBlock(mUpdateCount, buffer);
}

void KitAppBase::DemoSyncString(std::string& text) {
  // Without a recording or a playback the text stays whole, however long.
  if (mDemoStream == nullptr) return;
  Buffer buffer;
  buffer.WriteString(text.substr(0, kMaxSyncedString));
  DemoSyncBuffer(buffer);
  buffer.SeekFront();
  text = buffer.ReadString();
}

void KitAppBase::DemoSyncBool(bool& value) {
  if (mDemoStream == nullptr) return;
  Buffer buffer;
  buffer.WriteBoolean(value);
  DemoSyncBuffer(buffer);
  buffer.SeekFront();
  value = buffer.ReadBoolean();
}

}  // namespace Kit
