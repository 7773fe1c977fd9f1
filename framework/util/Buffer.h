// Kit::Buffer: the framework's serialisation container, a growable byte sequence written and read as a
// stream of bits. Demo recordings, the player and score files and the crash upload are made of it, so
// its bit order and value layout are a file format:
//   - bit position p is bit (p % 8) of byte (p / 8), bit 0 being the least significant;
//   - multi-byte values are little-endian and need no alignment (they are written byte by byte);
//   - strings are a 16-bit length followed by their bytes, without terminator.
// Reading past the end never fails: missing bits and bytes read as zero, and callers detect
// truncation with AtEnd or their own counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Kit {

class Buffer {
 public:
  // The largest number of bits a buffer can address with its 32-bit positions. Writes that would go
  // beyond it are dropped, and SetData keeps only as many bytes as fit.
  static constexpr std::int32_t kMaxBits = INT32_MAX - 7;

  Buffer() = default;
  virtual ~Buffer() = default;
  Buffer(const Buffer&) = default;
  Buffer& operator=(const Buffer&) = default;
  Buffer(Buffer&&) noexcept = default;
  Buffer& operator=(Buffer&&) noexcept = default;

  // Appends the low `count` bits of `value`, lowest bit first; nothing for count <= 0. Bits of a
  // count above 32 are zero.
  void WriteNumBits(std::uint32_t value, int count);
  void WriteByte(std::uint8_t value);
  // A whole byte, 1 or 0: booleans are 8 bits in every stored format.
  void WriteBoolean(bool value);
  void WriteShort(std::int16_t value);
  void WriteLong(std::int32_t value);
  // The low 16 bits of the length, then every byte. Only strings up to 32767 bytes read back.
  void WriteString(const std::string& text);
  void WriteBytes(const std::uint8_t* bytes, int count);

  // Up to `count` bits, lowest first; bits beyond the stored bytes are 0. With signExtend and a count
  // below 32, a set last bit fills the bits above it.
  std::uint32_t ReadNumBits(int count, bool signExtend);
  // 8 bits, or 0 without moving when fewer than 8 stored bits remain in the bytes.
  std::uint8_t ReadByte();
  bool ReadBoolean();
  std::int16_t ReadShort();
  std::int32_t ReadLong();
  // A signed 16-bit length; 0 or below gives an empty string and reads nothing more.
  std::string ReadString();
  void ReadBytes(std::uint8_t* bytes, int count);

  // Replaces the bytes with a copy; the read and write positions stay where they were.
  void SetData(const std::uint8_t* bytes, int count);
  void Clear();
  void SeekFront();
  // The first byte, or null when there are none.
  const std::uint8_t* GetDataPtr() const;
  std::uint8_t* GetDataPtr();
  // The number of bytes holding meaningful bits.
  int GetDataLen() const;
  bool AtEnd() const;

  // The stored bytes and positions, as the demo code reads and restores them (a reader may put
  // mReadBitPos back to where it peeked from).
  std::vector<std::uint8_t> mData;
  std::int32_t mDataBitSize = 0;  // the highest write position ever reached
  std::int32_t mReadBitPos = 0;   // next bit to read, from bit 0 of byte 0
  std::int32_t mWriteBitPos = 0;  // next bit to write

 private:
  // Stores `count` (0..32) bits at the write position, creating the bytes it reaches.
  void PutBits(std::uint32_t value, int count);
  void RaiseBitSize();
};

}  // namespace Kit
