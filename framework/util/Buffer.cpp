#include "framework/util/Buffer.h"

#include <algorithm>

namespace Kit {

namespace {

constexpr std::uint32_t LowMask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }

}  // namespace

void Buffer::PutBits(std::uint32_t value, int count) {
  // Positions are public (the demo code restores them), so a negative one must not index the bytes.
  if (mWriteBitPos < 0) mWriteBitPos = 0;
  if (count <= 0 || count > kMaxBits - mWriteBitPos) return;
  const std::size_t first = static_cast<std::size_t>(mWriteBitPos) / 8;
  const int shift = mWriteBitPos % 8;
  const std::size_t byteCount = static_cast<std::size_t>(shift + count + 7) / 8;
  if (mData.size() < first + byteCount) mData.resize(first + byteCount, 0);
  // Overwrite rather than OR, so a write at a position inside existing data stores what it says.
  const std::uint64_t mask = static_cast<std::uint64_t>(LowMask(count)) << shift;
  const std::uint64_t bits = (static_cast<std::uint64_t>(value) << shift) & mask;
  for (std::size_t i = 0; i < byteCount; ++i) {
    std::uint8_t& byte = mData[first + i];
    byte = static_cast<std::uint8_t>((byte & ~(mask >> (8 * i))) | (bits >> (8 * i)));
  }
  mWriteBitPos += count;
}

void Buffer::RaiseBitSize() { mDataBitSize = std::max(mDataBitSize, mWriteBitPos); }

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
  if (mWriteBitPos >= 0 && mWriteBitPos % 8 == 0 && static_cast<std::size_t>(mWriteBitPos) / 8 == mData.size() &&
      mWriteBitPos <= kMaxBits - 8) {
    mData.push_back(value);
    mWriteBitPos += 8;
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
  if (mReadBitPos < 0 || count <= 0) return 0;
  const std::size_t storedBits = mData.size() * 8;
  const std::size_t position = static_cast<std::size_t>(mReadBitPos);
  if (position >= storedBits) return 0;
  // Bits past the stored bytes are not there to read; bits past the 32nd have no place in the result
  // but are consumed.
  const std::size_t available = storedBits - position;
  const int taken = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(count), available));
  const int kept = std::min(taken, 32);
  const std::size_t first = position / 8;
  const int shift = mReadBitPos % 8;
  const std::size_t byteCount = static_cast<std::size_t>(shift + kept + 7) / 8;
  std::uint64_t word = 0;
  for (std::size_t i = 0; i < byteCount; ++i) word |= static_cast<std::uint64_t>(mData[first + i]) << (8 * i);
  std::uint32_t result = static_cast<std::uint32_t>(word >> shift) & LowMask(kept);
  mReadBitPos += taken;
  if (signExtend && count < 32 && ((result >> (taken - 1)) & 1u)) result |= ~LowMask(taken);
  return result;
}

std::uint8_t Buffer::ReadByte() {
  if (mReadBitPos < 0) return 0;
  std::size_t byteIndex = static_cast<std::size_t>(mReadBitPos) / 8;
  int shift = mReadBitPos % 8;
  // The whole byte must be stored, including the bits of the next byte an unaligned read spans.
  if ((static_cast<std::size_t>(mReadBitPos) + 7) / 8 >= mData.size()) return 0;
  std::uint8_t result = mData[byteIndex];
  if (shift != 0) result = static_cast<std::uint8_t>((result >> shift) | (mData[byteIndex + 1] << (8 - shift)));
  mReadBitPos += 8;
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
  if (mReadBitPos >= 0 && (static_cast<std::size_t>(mReadBitPos) + 31) / 8 < mData.size()) {
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
  mData.assign(bytes, bytes + count);
  mDataBitSize = count * 8;
}

void Buffer::Clear() {
  mData.clear();
  mDataBitSize = 0;
  mReadBitPos = 0;
  mWriteBitPos = 0;
}

void Buffer::SeekFront() { mReadBitPos = 0; }

const std::uint8_t* Buffer::GetDataPtr() const { return mData.empty() ? nullptr : mData.data(); }

std::uint8_t* Buffer::GetDataPtr() { return mData.empty() ? nullptr : mData.data(); }

int Buffer::GetDataLen() const { return static_cast<int>((static_cast<std::int64_t>(mDataBitSize) + 7) / 8); }

bool Buffer::AtEnd() const { return mReadBitPos >= mDataBitSize; }

}  // namespace Kit
