#include "game/play/EffectFile.h"

#include <cerrno>
#include <cstring>

#include "game/play/TextLineReader.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace {

// Far beyond any effect table (a line is at most 254 characters): a bigger one is not read.
constexpr std::size_t kMaxEffectFileBytes = 16u << 20;

// The field that an effect key names, or null for any other key.
std::string BrickEffectRecord::*EffectField(const std::string& key) {
  if (key == "hitname") return &BrickEffectRecord::mHitName;
  if (key == "deadname") return &BrickEffectRecord::mDeadName;
  if (key == "explodename") return &BrickEffectRecord::mExplodeName;
  if (key == "fireballname") return &BrickEffectRecord::mFireballName;
  return nullptr;
}

}  // namespace

std::string TextBefore(const std::string& text, const std::string& separator) {
  return text.substr(0, text.find(separator));
}

std::string TextAfter(const std::string& text, const std::string& separator) {
  const std::size_t at = text.find(separator);
  return at == std::string::npos ? std::string() : text.substr(at + separator.size());
}

void EffectTable::Append(BrickEffectRecord record) {
  mLastRecordOf[record.mBrickName] = mRecords.size();
  mRecords.push_back(std::move(record));
}

void EffectTable::Clear() {
  mRecords.clear();
  mLastRecordOf.clear();
}

std::string EffectTable::Lookup(const std::string& brickName, const std::string& key) const {
  const auto field = EffectField(key);
  const auto last = mLastRecordOf.find(brickName);
  if (!field || last == mLastRecordOf.end()) return {};
  return mRecords[last->second].*field;
}

std::string LoadEffectFile(std::string path, EffectTable& table) {
  std::string text;
  const plat::FileReadResult read = plat::ReadWholeFile(plat::MapPath(path), &text, kMaxEffectFileBytes);
  if (read == plat::FileReadResult::kMissing) return {};
  if (read == plat::FileReadResult::kUnreadable) return std::strerror(errno);
  TextLineReader lines(text, kMaxEffectLineChars);
  std::string line;
  bool building = false;
  BrickEffectRecord record;
  while (lines.Next(line) == TextLineReader::kLine) {
    const std::string key = TextBefore(line, "=");
    std::string value = TextAfter(line, "=");
    if (key == "brick") {
      if (building) table.Append(std::move(record));
      record = BrickEffectRecord();
      record.mBrickName = std::move(value);
      building = true;
    } else if (const auto field = EffectField(key); field && building) {
      record.*field = std::move(value);
    }
  }
  if (building) table.Append(std::move(record));
  return {};
}
