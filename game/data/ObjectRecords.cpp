#include "game/data/ObjectRecords.h"

#include <cstdint>
#include <cstring>

namespace gamedata {
namespace {

constexpr std::int32_t kLongestString = 254;

class Writer {
 public:
  void Int(std::int32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
  }
  void Float(float value) {
    std::int32_t bits;
    std::memcpy(&bits, &value, 4);
    Int(bits);
  }
  void Text(const std::string& text) {
    Int(static_cast<std::int32_t>(text.size()));
    bytes += text;
  }
  void Record(const ObjectRecord& r) {
    bytes.push_back(r.running ? 1 : 0);
    bytes.push_back(r.visible ? 1 : 0);
    for (float f : {r.x, r.y, r.width, r.height}) Float(f);
    for (const std::string* s : {&r.name, &r.imageName, &r.note, &r.code}) Text(*s);
    for (int v : {r.drawMode, r.alphaMode, r.alpha, r.alphaMax, r.alphaStep, r.alphaDelay, r.frameMode, r.frame,
                  r.frameCount, r.frameStep, r.frameDelay})
      Int(v);
  }
  std::string bytes;
};

class Reader {
 public:
  explicit Reader(const std::string& bytes) : mBytes(bytes) {}
  bool Ok() const { return mOk; }
  bool AtEnd() const { return mAt == mBytes.size(); }
  std::uint8_t Byte() {
    if (mAt + 1 > mBytes.size()) return Fail(), 0;
    return static_cast<std::uint8_t>(mBytes[mAt++]);
  }
  std::int32_t Int() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return static_cast<std::int32_t>(value);
  }
  float Float() {
    const std::int32_t bits = Int();
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
  }
  std::string Text() {
    const std::int32_t count = Int();
    if (count < 0 || count > kLongestString || mAt + count > mBytes.size()) return Fail(), std::string();
    std::string text = mBytes.substr(mAt, static_cast<size_t>(count));
    mAt += static_cast<size_t>(count);
    return text.substr(0, text.find('\0'));
  }
  ObjectRecord Record() {
    ObjectRecord r;
    r.running = Byte() != 0;
    r.visible = Byte() != 0;
    for (float* f : {&r.x, &r.y, &r.width, &r.height}) *f = Float();
    for (std::string* s : {&r.name, &r.imageName, &r.note, &r.code}) *s = Text();
    for (int* v : {&r.drawMode, &r.alphaMode, &r.alpha, &r.alphaMax, &r.alphaStep, &r.alphaDelay, &r.frameMode,
                   &r.frame, &r.frameCount, &r.frameStep, &r.frameDelay})
      *v = Int();
    return r;
  }
  std::optional<std::vector<ObjectRecord>> Records() {
    const std::int32_t count = Int();
    if (!mOk || count < 0) return std::nullopt;
    std::vector<ObjectRecord> records;
    for (std::int32_t i = 0; i < count && mOk; ++i) records.push_back(Record());
    if (!mOk || !AtEnd()) return std::nullopt;
    return records;
  }

 private:
  void Fail() { mOk = false; }
  const std::string& mBytes;
  size_t mAt = 0;
  bool mOk = true;
};

}  // namespace

std::string EncodeTemplates(const std::vector<ObjectRecord>& records) {
  Writer writer;
  writer.Int(static_cast<std::int32_t>(records.size()));
  for (const ObjectRecord& r : records) writer.Record(r);
  return writer.bytes;
}

std::string EncodeLevel(const LevelContents& level) {
  Writer writer;
  writer.Int(level.background);
  return writer.bytes + EncodeTemplates(level.records);
}

std::optional<std::vector<ObjectRecord>> DecodeTemplates(const std::string& bytes) { return Reader(bytes).Records(); }

std::optional<LevelContents> DecodeLevel(const std::string& bytes) {
  Reader reader(bytes);
  LevelContents level;
  level.background = reader.Int();
  auto records = reader.Records();
  if (!records) return std::nullopt;
  level.records = std::move(*records);
  return level;
}

}  // namespace gamedata
