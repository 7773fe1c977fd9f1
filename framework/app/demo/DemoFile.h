// The demo file: the header that identifies a recording (magic, format version, random seed, the
// product version it was made with, the playback markers, the update count at which it ended)
// followed by the demo stream's bytes. All header values are little-endian and byte aligned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Kit {

struct DemoMarker {
  std::string mName;
  std::int32_t mUpdateCount = 0;

  bool operator==(const DemoMarker&) const = default;
};

struct DemoFile {
  static constexpr std::uint32_t kMagic = 0x42BEEF78;
  static constexpr std::int32_t kWrittenVersion = 2;
  // The longest product version a reader keeps (and shows in its message).
  static constexpr std::size_t kMaxKeptVersionLength = 255;

  std::int32_t mVersion = kWrittenVersion;
  std::int32_t mSeed = 0;
  std::string mProductVersion;
  std::vector<DemoMarker> mMarkers;
  std::int32_t mEndUpdate = 0;
  std::vector<std::uint8_t> mStream;
};

// Parses a whole file's bytes. On failure `error` holds the message shown to the user: "Invalid demo
// file." for anything damaged or foreign, or the product-version refusal. A file whose product
// version differs from `productVersion` is refused, but its seed and version are parsed first.
bool ParseDemoFile(const std::uint8_t* bytes, std::size_t size, const std::string& productVersion, DemoFile* file,
                   std::string* error);
// The file's bytes in the current format (version 2, whatever `file.mVersion` says).
std::vector<std::uint8_t> EncodeDemoFile(const DemoFile& file);

// Reads and parses the file at `path` (mapped like every program path); "Demo file not found: " and
// the name when no file can be opened there (nothing, a folder, a pipe, no permission), the invalid-file
// error when the file that opens cannot be read or parsed.
bool LoadDemoFile(const std::string& path, const std::string& productVersion, DemoFile* file, std::string* error);
// Writes the file whole; false when it could not be created or written completely.
bool SaveDemoFile(const std::string& path, const DemoFile& file);

}  // namespace Kit
