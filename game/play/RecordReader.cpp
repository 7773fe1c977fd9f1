#include "game/play/RecordReader.h"

#include <bit>
#include <cstring>

bool RecordReader::ReadBytes(void* destination, std::streamsize count) {
  mIn.read(static_cast<char*>(destination), count);
  return mIn.gcount() == count;
}

bool RecordReader::ReadInt32(std::int32_t& value) {
  std::uint8_t bytes[4];
  if (!ReadBytes(bytes, sizeof bytes)) return false;
  value =
      static_cast<std::int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
  return true;
}

bool RecordReader::ReadFloat(float& value) {
  std::int32_t bits;
  if (!ReadInt32(bits)) return false;
  value = std::bit_cast<float>(bits);
  return true;
}

bool RecordReader::ReadString(std::string& text, int maxBytes) {
  std::int32_t count;
  if (!ReadInt32(count) || count < 0 || count > maxBytes) return false;
  char buffer[256] = {};
  if (count > static_cast<std::int32_t>(sizeof buffer) || !ReadBytes(buffer, count)) return false;
  text.assign(buffer, strnlen(buffer, static_cast<std::size_t>(count)));
  return true;
}
