#include "framework/app/demo/DemoFile.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>

#include "framework/util/Buffer.h"
#include "framework/util/FileSystemUtil.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

const char kInvalidDemoFile[] = "Invalid demo file.";
const char kDemoFileNotFound[] = "Demo file not found: ";

// Reads little-endian fields from the file's bytes; every read says whether the bytes were there.
class HeaderReader {
 public:
  HeaderReader(const std::uint8_t* bytes, std::size_t size) : mBytes(bytes), mSize(size) {}

  std::size_t Left() const { return mSize - mPos; }
  const std::uint8_t* Here() const { return mBytes + mPos; }
  void Skip(std::size_t count) { mPos += std::min(count, Left()); }

  bool ReadU32(std::uint32_t* value) {
    if (Left() < 4) return false;
    *value = 0;
    for (int i = 0; i < 4; ++i) *value |= static_cast<std::uint32_t>(mBytes[mPos + i]) << (8 * i);
    mPos += 4;
    return true;
  }
  bool ReadI32(std::int32_t* value) {
    std::uint32_t raw = 0;
    if (!ReadU32(&raw)) return false;
    *value = static_cast<std::int32_t>(raw);
    return true;
  }
  bool ReadU16(std::uint16_t* value) {
    if (Left() < 2) return false;
    *value = static_cast<std::uint16_t>(mBytes[mPos] | (mBytes[mPos + 1] << 8));
    mPos += 2;
    return true;
  }

 private:
  const std::uint8_t* mBytes;
  std::size_t mSize;
  std::size_t mPos = 0;
};

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::size_t BufferBytesLeft(const Buffer& buffer) {
  const std::int64_t bits = static_cast<std::int64_t>(buffer.mDataBitSize) - buffer.mReadBitPos;
  return bits <= 0 ? 0 : static_cast<std::size_t>(bits / 8);
}

// The marker block: a count, then per marker a string and an update count. A marker cut off by the
// block's end is damage, not a marker named with zeros.
bool ParseMarkers(const std::uint8_t* bytes, std::size_t size, std::vector<DemoMarker>* markers) {
  Buffer block;
  block.SetData(bytes, static_cast<int>(size));
  if (BufferBytesLeft(block) < 4) return false;
  const std::int32_t count = block.ReadLong();
  std::int32_t read = 0;
  while (read < count && !block.AtEnd()) {
    if (BufferBytesLeft(block) < 2) return false;
    const std::int16_t nameLength = block.ReadShort();
    if (nameLength > 0 && BufferBytesLeft(block) < static_cast<std::size_t>(nameLength)) return false;
    block.mReadBitPos -= 16;
    DemoMarker marker;
    marker.mName = block.ReadString();
    if (BufferBytesLeft(block) < 4) return false;
    marker.mUpdateCount = block.ReadLong();
    markers->push_back(std::move(marker));
    ++read;
  }
  return read >= count;
}

}  // namespace

bool ParseDemoFile(const std::uint8_t* bytes, std::size_t size, const std::string& productVersion, DemoFile* file,
                   std::string* error) {
  *file = DemoFile{};
  HeaderReader reader(bytes, size);
  std::uint32_t magic = 0;
  if (!reader.ReadU32(&magic) || magic != DemoFile::kMagic) {
    *error = kInvalidDemoFile;
    return false;
  }
  std::uint16_t versionLength = 0;
  if (!reader.ReadI32(&file->mVersion) || !reader.ReadI32(&file->mSeed) || !reader.ReadU16(&versionLength) ||
      reader.Left() < versionLength) {
    *error = kInvalidDemoFile;
    return false;
  }
  // The whole string is compared and skipped, so that a long version neither passes for a shorter
  // one nor leaves its tail to be read as the marker block.
  const std::string recordedVersion(reinterpret_cast<const char*>(reader.Here()), versionLength);
  reader.Skip(versionLength);
  file->mProductVersion = recordedVersion.substr(0, DemoFile::kMaxKeptVersionLength);
  if (recordedVersion != productVersion) {
    *error = "This demo file appears to be for '" + file->mProductVersion + "'";
    return false;
  }
  if (file->mVersion >= 2) {
    std::uint32_t blockLength = 0;
    if (!reader.ReadU32(&blockLength) || blockLength >= reader.Left() ||
        !ParseMarkers(reader.Here(), blockLength, &file->mMarkers)) {
      *error = kInvalidDemoFile;
      return false;
    }
    reader.Skip(blockLength);
  }
  if (!reader.ReadI32(&file->mEndUpdate) || reader.Left() == 0 ||
      reader.Left() > static_cast<std::size_t>(Buffer::kMaxBits / 8)) {
    *error = kInvalidDemoFile;
    return false;
  }
  file->mStream.assign(reader.Here(), reader.Here() + reader.Left());
  return true;
}

std::vector<std::uint8_t> EncodeDemoFile(const DemoFile& file) {
  std::vector<std::uint8_t> out;
  PutU32(&out, DemoFile::kMagic);
  PutU32(&out, static_cast<std::uint32_t>(DemoFile::kWrittenVersion));
  PutU32(&out, static_cast<std::uint32_t>(file.mSeed));
  // The length field has 16 bits: a longer version is cut rather than written past its length.
  const std::size_t versionLength = std::min<std::size_t>(file.mProductVersion.size(), 0xFFFF);
  out.push_back(static_cast<std::uint8_t>(versionLength));
  out.push_back(static_cast<std::uint8_t>(versionLength >> 8));
  out.insert(out.end(), file.mProductVersion.begin(), file.mProductVersion.begin() + versionLength);
  Buffer markers;
  markers.WriteLong(static_cast<std::int32_t>(file.mMarkers.size()));
  for (const DemoMarker& marker : file.mMarkers) {
    markers.WriteString(marker.mName);
    markers.WriteLong(marker.mUpdateCount);
  }
  PutU32(&out, static_cast<std::uint32_t>(markers.GetDataLen()));
  out.insert(out.end(), markers.mData.begin(), markers.mData.begin() + markers.GetDataLen());
  PutU32(&out, static_cast<std::uint32_t>(file.mEndUpdate));
  out.insert(out.end(), file.mStream.begin(), file.mStream.end());
  return out;
}

bool LoadDemoFile(const std::string& path, const std::string& productVersion, DemoFile* file, std::string* error) {
  std::vector<std::uint8_t> bytes;
  // Beyond what a stream can address the file cannot be a recording of ours.
  const std::size_t maxBytes = static_cast<std::size_t>(Buffer::kMaxBits / 8) + (1u << 20);
  const std::string realPath = plat::MapPath(path);
  switch (plat::ReadWholeFile(realPath, &bytes, maxBytes)) {
    case plat::FileReadResult::kRead:
      return ParseDemoFile(bytes.data(), bytes.size(), productVersion, file, error);
    case plat::FileReadResult::kMissing:
      *error = std::string(kDemoFileNotFound) + path;
      break;
    case plat::FileReadResult::kUnreadable:
      // What cannot be opened as a file (a folder, a pipe, a link loop, no permission) is not found; a
      // file that opens but whose bytes cannot be read or are too many is no demo.
      *error = plat::OpenFileForReading(realPath) ? kInvalidDemoFile : std::string(kDemoFileNotFound) + path;
      break;
  }
  *file = DemoFile{};
  return false;
}

bool SaveDemoFile(const std::string& path, const DemoFile& file) {
  // A recording cut short by a crash or a full disk must not replace an earlier one.
  const std::vector<std::uint8_t> bytes = EncodeDemoFile(file);
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace Kit
