// RecordReader.h: reads the little-endian fields of the game's binary files (template and level files)
// from a stream, refusing instead of guessing: every read reports whether the stream held the whole
// field, and a string never takes more than its fixed buffer. Used on the main thread.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

class RecordReader {
 public:
  explicit RecordReader(std::istream& in) : mIn(in) {}

  bool ReadByte(std::uint8_t& value) { return ReadBytes(&value, 1); }
  bool ReadInt32(std::int32_t& value);
  bool ReadFloat(float& value);
  // An int32 byte count N, then N bytes; the text is the bytes up to the first zero among them. A count
  // outside 0..maxBytes or a short read is refused.
  bool ReadString(std::string& text, int maxBytes);

 private:
  bool ReadBytes(void* destination, std::streamsize count);

  std::istream& mIn;
};
