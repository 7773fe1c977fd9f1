#include "framework/util/Buffer.h"

#include <algorithm>

namespace Kit {

namespace {

constexpr std::uint32_t LowMask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }

}  // namespace

void Buffer::PutBits(std::uint32_t value, int count) {
  // Positions are public (the demo code restores them), so a negative one must not index the bytes.
  if (writeBitPos < 0) writeBitPos = 0;
  if (count <= 0 || count > kMaxBits - writeBitPos) return;
  const std::size_t first = static_cast<std::size_t>(writeBitPos) / 8;
  const int shift = writeBitPos % 8;
  const std::size_t byteCount = static_cast<std::size_t>(shift + count + 7) / 8;
  if (data.size() < first + byteCount) data.resize(first + byteCount, 0);
  // Overwrite rather than OR, so a write at a position inside existing data stores what it says.
  const std::uint64_t mask = static_cast<std::uint64_t>(LowMask(count)) << shift;
  const std::uint64_t bits = (static_cast<std::uint64_t>(value) << shift) & mask;
  for (std::size_t i = 0; i < byteCount; ++i) {
    std::uint8_t& byte = data[first + i];
    byte = static_cast<std::uint8_t>((byte & ~(mask >> (8 * i))) | (bits >> (8 * i)));
  }
  writeBitPos += count;
}

void Buffer::RaiseBitSize() { dataBitSize = std::max(dataBitSize, writeBitPos); }

void Buffer::WriteNumBits(std::uint32_t value, int count) {
  while (count > 0) {
    int chunk = std::min(count, 32);
    PutBits(value, chunk);
    value = 0;  // bits above the value's 32 are zero
    count -= chunk;
  }
  RaiseBitSize();
}

void Buffer::WriteByte(std::uint8_t value) {
  if (writeBitPos >= 0 && writeBitPos % 8 == 0 && static_cast<std::size_t>(writeBitPos) / 8 == data.size() &&
      writeBitPos <= kMaxBits - 8) {
    data.push_back(value);
    writeBitPos += 8;
  } else {
    PutBits(value, 8);
  }
  RaiseBitSize();
}

void Buffer::WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }

// Multi-byte values are their bytes lowest first, which is exactly their bits lowest first.
void Buffer::WriteShort(std::int16_t value) { WriteNumBits(static_cast<std::uint16_t>(value), 16); }

void Buffer::WriteLong(std::int32_t value) { WriteNumBits(static_cast<std::uint32_t>(value), 32); }

void Buffer::WriteString(const std::string& text) {
  WriteShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(text.size())));
  for (char c : text) WriteByte(static_cast<std::uint8_t>(c));
}

void Buffer::WriteBytes(const std::uint8_t* bytes, int count) {
  if (bytes == nullptr) return;
  for (int i = 0; i < count; ++i) WriteByte(bytes[i]);
}

std::uint32_t Buffer::ReadNumBits(int count, bool signExtend) {
  if (readBitPos < 0 || count <= 0) return 0;
  const std::size_t storedBits = data.size() * 8;
  const std::size_t position = static_cast<std::size_t>(readBitPos);
  if (position >= storedBits) return 0;
  // Bits past the stored bytes are not there to read; bits past the 32nd have no place in the result
  // but are consumed.
  const std::size_t available = storedBits - position;
  const int taken = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(count), available));
  const int kept = std::min(taken, 32);
  const std::size_t first = position / 8;
  const int shift = readBitPos % 8;
  const std::size_t byteCount = static_cast<std::size_t>(shift + kept + 7) / 8;
  std::uint64_t word = 0;
  for (std::size_t i = 0; i < byteCount; ++i) word |= static_cast<std::uint64_t>(data[first + i]) << (8 * i);
  std::uint32_t result = static_cast<std::uint32_t>(word >> shift) & LowMask(kept);
  readBitPos += taken;
  if (signExtend && count < 32 && ((result >> (taken - 1)) & 1u)) result |= ~LowMask(taken);
  return result;
}

std::uint8_t Buffer::ReadByte() {
  if (readBitPos < 0) return 0;
  std::size_t byteIndex = static_cast<std::size_t>(readBitPos) / 8;
  int shift = readBitPos % 8;
  // The whole byte must be stored, including the bits of the next byte an unaligned read spans.
  if ((static_cast<std::size_t>(readBitPos) + 7) / 8 >= data.size()) return 0;
  std::uint8_t result = data[byteIndex];
  if (shift != 0) result = static_cast<std::uint8_t>((result >> shift) | (data[byteIndex + 1] << (8 - shift)));
  readBitPos += 8;
  return result;
}

bool Buffer::ReadBoolean() { return ReadByte() != 0; }

std::int16_t Buffer::ReadShort() {
  std::uint16_t low = ReadByte();
  std::uint16_t high = ReadByte();
  return static_cast<std::int16_t>(low | (high << 8));
}

std::int32_t Buffer::ReadLong() {
  // When all four bytes are stored, the byte-wise read equals one 32-bit read.
  if (readBitPos >= 0 && (static_cast<std::size_t>(readBitPos) + 31) / 8 < data.size()) {
    return static_cast<std::int32_t>(ReadNumBits(32, false));
  }
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(ReadByte()) << (8 * i);
  return static_cast<std::int32_t>(value);
}

std::string Buffer::ReadString() {
  int length = ReadShort();
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  for (char& c : text) c = static_cast<char>(ReadByte());
  return text;
}

void Buffer::ReadBytes(std::uint8_t* bytes, int count) {
  if (bytes == nullptr) return;
  for (int i = 0; i < count; ++i) bytes[i] = ReadByte();
}

void Buffer::SetData(const std::uint8_t* bytes, int count) {
  if (bytes == nullptr || count < 0) count = 0;
  count = std::min(count, kMaxBits / 8);
  data.assign(bytes, bytes + count);
  dataBitSize = count * 8;
}

void Buffer::Clear() {
  data.clear();
  dataBitSize = 0;
  readBitPos = 0;
  writeBitPos = 0;
}

void Buffer::SeekFront() { readBitPos = 0; }

const std::uint8_t* Buffer::GetDataPtr() const { return data.empty() ? nullptr : data.data(); }

std::uint8_t* Buffer::GetDataPtr() { return data.empty() ? nullptr : data.data(); }

int Buffer::GetDataLen() const { return static_cast<int>((static_cast<std::int64_t>(dataBitSize) + 7) / 8); }

bool Buffer::AtEnd() const { return readBitPos >= dataBitSize; }

}  // namespace Kit
