// Files read and written through the application: synchronised with input recordings, and written
// whole or not at all.
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/Buffer.h"
#include "framework/util/FileSystemUtil.h"
#include "framework/util/PathUtil.h"
#include "platform/win/Files.h"
#include "platform/win/PathMap.h"

namespace Kit {

namespace {

class OpenFile {
 public:
  OpenFile(const std::string& path, const char* mode) : mFile(std::fopen(path.c_str(), mode)) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (mFile != nullptr) std::fclose(mFile);
  }
  std::FILE* Get() const { return mFile; }

 private:
  std::FILE* mFile;
};

// The whole file, or false when it cannot be opened or read to its end.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
  OpenFile file(plat::MapPath(path), "rb");
  if (file.Get() == nullptr) return false;
  if (std::fseek(file.Get(), 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file.Get());
  if (size < 0 || size > std::numeric_limits<int>::max() / 8) return false;
  std::rewind(file.Get());
  bytes->resize(static_cast<std::size_t>(size));
  return std::fread(bytes->data(), 1, bytes->size(), file.Get()) == bytes->size();
}

}  // namespace

bool KitAppBase::ReadBufferFromFile(const std::string& path, Buffer* buffer, bool notRecorded) {
  const bool synchronised = !notRecorded && mDemoStream != nullptr;
  if (synchronised && mDemoStream->mDemoPlaying) return mDemoStream->ReplayFileRead(mUpdateCount, buffer);

  std::vector<std::uint8_t> bytes;
  const bool read = ReadWholeFile(path, &bytes);
  if (read) buffer->SetData(bytes.data(), static_cast<int>(bytes.size()));
  if (synchronised && mDemoStream->mDemoRecording)
    mDemoStream->RecordFileRead(mUpdateCount, read, read ? *buffer : Buffer());
  return read;
}

bool KitAppBase::FileExists(const std::string& path) {
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying)
    return mDemoStream->ReplayResult(mUpdateCount, DemoResultRecord::FileExists);
  // A folder opens for reading here but is no file, as it is not on Windows.
  const DWORD attributes = GetFileAttributes(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                      OpenFile(plat::MapPath(path), "rb").Get() != nullptr;
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
