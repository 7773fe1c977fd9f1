// The binary object records of the template file and the level files: little-endian, no header,
// strings as an int32 byte count followed by the bytes. The generator writes them and reads them back
// to check itself. Plain values; no thread rule.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gamedata {

struct ObjectRecord {
  bool running = true, visible = true;
  float x = 0, y = 0, width = 0, height = 0;
  std::string name, imageName, note, code;
  int drawMode = 0, alphaMode = 0, alpha = 255, alphaMax = 255, alphaStep = 0, alphaDelay = 1;
  int frameMode = 0, frame = 0, frameCount = 1, frameStep = 0, frameDelay = 1;

  bool operator==(const ObjectRecord&) const = default;
};

struct LevelContents {
  int background = 0;
  std::vector<ObjectRecord> records;
};

std::string EncodeTemplates(const std::vector<ObjectRecord>& records);
std::string EncodeLevel(const LevelContents& level);
// Nothing when the bytes are short, a count is negative or a string is longer than 254 bytes.
std::optional<std::vector<ObjectRecord>> DecodeTemplates(const std::string& bytes);
std::optional<LevelContents> DecodeLevel(const std::string& bytes);

}  // namespace gamedata
