// Files read and written through the application: synchronised with input recordings, and written
// whole or not at all.
#include <limits>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/Buffer.h"
#include "framework/util/FileSystemUtil.h"
#include "framework/util/PathUtil.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

// Beyond what a Buffer can hold in bits the file is not read.
constexpr std::size_t kMaxFileBytes = std::numeric_limits<int>::max() / 8;

}  // namespace

bool KitAppBase::ReadBufferFromFile(const std::string& path, Buffer* buffer, bool notRecorded) {
  const bool synchronised = !notRecorded && mDemoStream != nullptr;
  if (synchronised && mDemoStream->mDemoPlaying) return mDemoStream->ReplayFileRead(mUpdateCount, buffer);

  std::vector<std::uint8_t> bytes;
  const bool read = plat::ReadWholeFile(plat::MapPath(path), &bytes, kMaxFileBytes) == plat::FileReadResult::kRead;
  if (read) buffer->SetData(bytes.data(), static_cast<int>(bytes.size()));
  if (synchronised && mDemoStream->mDemoRecording)
    mDemoStream->RecordFileRead(mUpdateCount, read, read ? *buffer : Buffer());
  return read;
}

bool KitAppBase::FileExists(const std::string& path) {
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying)
    return mDemoStream->ReplayResult(mUpdateCount, DemoResultRecord::FileExists);
  // Only a file that opens for reading counts: a folder, a pipe or a file without permission does not.
  const bool exists = plat::OpenFileForReading(plat::MapPath(path)) != nullptr;
  if (mDemoStream != nullptr && mDemoStream->mDemoRecording)
    mDemoStream->RecordResult(mUpdateCount, DemoResultRecord::FileExists, exists);
  return exists;
}

bool KitAppBase::WriteBytesToFile(const std::string& path, const std::uint8_t* data, int length) {
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying)
    return mDemoStream->ReplayResult(mUpdateCount, DemoResultRecord::FileWrite);
  bool written = false;
  if (length >= 0 && (data != nullptr || length == 0)) {
    const std::string folder = GetFileDir(path);
    if (!folder.empty()) MakeDirectories(folder);
    written = WriteFileAtomically(path, data, static_cast<std::size_t>(length));
  }
  if (mDemoStream != nullptr && mDemoStream->mDemoRecording)
    mDemoStream->RecordResult(mUpdateCount, DemoResultRecord::FileWrite, written);
  return written;
}

bool KitAppBase::WriteBufferToFile(const std::string& path, const Buffer& buffer) {
  return WriteBytesToFile(path, buffer.GetDataPtr(), buffer.GetDataLen());
}

}  // namespace Kit
