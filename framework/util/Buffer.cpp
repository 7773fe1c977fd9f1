#include "framework/util/Buffer.h"

#include <algorithm>

namespace Kit {

namespace {

constexpr std::uint32_t LowMask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }

}  // namespace

void Buffer::PutBits(std::uint32_t value, int count) {
  // Positions are public (the demo code restores them), so a negative one must not index the bytes.
  if (writeBitPos < 0) writeBitPos = 0;
  if (count > kMaxBits - writeBitPos) return;
  std::size_t lastByte = (static_cast<std::size_t>(writeBitPos) + count + 7) / 8;
  if (data.size() < lastByte) data.resize(lastByte, 0);
  while (count > 0) {
    int shift = writeBitPos % 8;
    int take = std::min(8 - shift, count);
    std::uint32_t mask = LowMask(take);
    std::uint8_t& byte = data[static_cast<std::size_t>(writeBitPos) / 8];
    // Overwrite rather than OR, so a write at a position inside existing data stores what it says.
    byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | ((value & mask) << shift));
    value = take >= 32 ? 0 : value >> take;
    writeBitPos += take;
    count -= take;
  }
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

void Buffer::WriteShort(std::int16_t value) {
  auto bits = static_cast<std::uint16_t>(value);
  WriteByte(static_cast<std::uint8_t>(bits));
  WriteByte(static_cast<std::uint8_t>(bits >> 8));
}

void Buffer::WriteLong(std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) WriteByte(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void Buffer::WriteString(const std::string& text) {
  WriteShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(text.size())));
  for (char c : text) WriteByte(static_cast<std::uint8_t>(c));
}

void Buffer::WriteBytes(const std::uint8_t* bytes, int count) {
  if (bytes == nullptr) return;
  for (int i = 0; i < count; ++i) WriteByte(bytes[i]);
}

std::uint32_t Buffer::ReadNumBits(int count, bool signExtend) {
  std::uint32_t result = 0;
  if (readBitPos < 0) return 0;
  std::size_t storedBits = data.size() * 8;
  int lastBit = 0;
  int taken = 0;
  while (taken < count && static_cast<std::size_t>(readBitPos) < storedBits) {
    int shift = readBitPos % 8;
    int take = std::min(8 - shift, count - taken);
    std::uint32_t bits = (data[static_cast<std::size_t>(readBitPos) / 8] >> shift) & LowMask(take);
    if (taken < 32) result |= bits << taken;  // bits past the 32nd are consumed but have no place
    lastBit = static_cast<int>((bits >> (take - 1)) & 1u);
    readBitPos += take;
    taken += take;
  }
  if (signExtend && count < 32 && taken > 0 && lastBit) result |= ~LowMask(taken);
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
