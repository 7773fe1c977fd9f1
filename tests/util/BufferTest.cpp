#include "framework/util/Buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Kit::Buffer;

std::vector<std::uint8_t> Bytes(const Buffer& buffer) {
  const std::uint8_t* p = buffer.GetDataPtr();
  return p ? std::vector<std::uint8_t>(p, p + buffer.GetDataLen()) : std::vector<std::uint8_t>{};
}

Buffer FromBytes(std::vector<std::uint8_t> bytes) {
  Buffer buffer;
  buffer.SetData(bytes.data(), static_cast<int>(bytes.size()));
  return buffer;
}

TEST(Buffer, ValuesAreLittleEndianBytes) {
  Buffer buffer;
  buffer.WriteShort(static_cast<std::int16_t>(0xBEEF));
  buffer.WriteLong(-2);
  buffer.WriteBoolean(true);
  buffer.WriteBoolean(false);
  buffer.WriteString("Hi");
  buffer.WriteString("");
  EXPECT_EQ(Bytes(buffer), (std::vector<std::uint8_t>{0xEF, 0xBE, 0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x02, 0x00, 'H',
                                                      'i', 0x00, 0x00}));
  EXPECT_EQ(buffer.ReadShort(), static_cast<std::int16_t>(0xBEEF));
  EXPECT_EQ(buffer.ReadLong(), -2);
  EXPECT_TRUE(buffer.ReadBoolean());
  EXPECT_FALSE(buffer.ReadBoolean());
  EXPECT_EQ(buffer.ReadString(), "Hi");
  EXPECT_EQ(buffer.ReadString(), "");
  EXPECT_TRUE(buffer.AtEnd());
}

TEST(Buffer, UnalignedFieldsPackBackToBack) {
  // A demo-style record: 4-bit timing 3, flag 0, 5-bit command 3, 8-bit key 0x41, then a long.
  Buffer buffer;
  buffer.WriteNumBits(3, 4);
  buffer.WriteNumBits(0, 1);
  buffer.WriteNumBits(3, 5);
  buffer.WriteByte(0x41);
  buffer.WriteLong(0x12345678);
  // Stream bits 1100 0 11000 10000010 then the long's, eight to a byte from bit 0 up.
  EXPECT_EQ(Bytes(buffer), (std::vector<std::uint8_t>{0x63, 0x04, 0xE1, 0x59, 0xD1, 0x48, 0x00}));
  EXPECT_EQ(buffer.mDataBitSize, 50);
  EXPECT_EQ(buffer.mWriteBitPos, 50);
  EXPECT_EQ(buffer.ReadNumBits(4, false), 3u);
  EXPECT_EQ(buffer.ReadNumBits(1, false), 0u);
  EXPECT_EQ(buffer.ReadNumBits(5, false), 3u);
  EXPECT_EQ(buffer.ReadByte(), 0x41);
  EXPECT_EQ(buffer.ReadLong(), 0x12345678);
}

TEST(Buffer, SignExtensionFollowsTheLastBitRead) {
  Buffer negative;
  negative.WriteNumBits(0b100000, 6);  // stream order 0,0,0,0,0,1
  EXPECT_EQ(static_cast<std::int32_t>(negative.ReadNumBits(6, true)), -32);
  negative.SeekFront();
  EXPECT_EQ(negative.ReadNumBits(6, false), 32u);

  Buffer positive;
  positive.WriteNumBits(0b011111, 6);  // stream order 1,1,1,1,1,0
  EXPECT_EQ(static_cast<std::int32_t>(positive.ReadNumBits(6, true)), 31);

  Buffer full;
  full.WriteNumBits(0xFFFFFFFFu, 32);
  EXPECT_EQ(full.ReadNumBits(32, true), 0xFFFFFFFFu);
}

TEST(Buffer, ZeroOrNegativeCountsWriteNothingAndCountsAbove32WriteZeros) {
  Buffer buffer;
  buffer.WriteNumBits(0xFF, 0);
  buffer.WriteNumBits(0xFF, -3);
  std::uint8_t byte = 7;
  buffer.WriteBytes(&byte, 0);
  buffer.WriteBytes(&byte, -1);
  buffer.WriteBytes(nullptr, 4);
  EXPECT_EQ(buffer.GetDataLen(), 0);
  EXPECT_EQ(buffer.ReadNumBits(0, true), 0u);
  buffer.WriteNumBits(0xFFFFFFFFu, 40);
  buffer.WriteByte(0xA5);
  EXPECT_EQ(buffer.mDataBitSize, 48);
  EXPECT_EQ(buffer.ReadNumBits(40, false), 0xFFFFFFFFu);
  EXPECT_EQ(buffer.ReadByte(), 0xA5);
}

TEST(Buffer, ReadingPastTheEndGivesZerosButTheLastBytesFillBitsRead) {
  Buffer one = FromBytes({0xFF});
  one.mReadBitPos = 3;
  EXPECT_EQ(one.ReadByte(), 0);  // only 5 bits left: nothing moves
  EXPECT_EQ(one.mReadBitPos, 3);
  // Bit reads take what is there and leave zeros above.
  EXPECT_EQ(one.ReadNumBits(8, false), 0x1Fu);
  EXPECT_EQ(one.mReadBitPos, 8);
  EXPECT_EQ(one.ReadNumBits(8, true), 0u);

  Buffer partialLong = FromBytes({0x11, 0x22});
  EXPECT_EQ(partialLong.ReadLong(), 0x2211);

  Buffer truncated = FromBytes({0x05, 0x00, 'a', 'b'});
  EXPECT_EQ(truncated.ReadString(), std::string("ab\0\0\0", 5));

  std::uint8_t out[3] = {9, 9, 9};
  Buffer empty;
  empty.ReadBytes(out, 3);
  EXPECT_EQ(out[0] + out[1] + out[2], 0);
  Buffer buffer;
  buffer.WriteNumBits(1, 3);
  EXPECT_EQ(buffer.ReadNumBits(3, false), 1u);
  EXPECT_TRUE(buffer.AtEnd());
  EXPECT_EQ(buffer.ReadNumBits(5, false), 0u);  // the zero padding is stored, so it reads
  EXPECT_EQ(buffer.mReadBitPos, 8);
}

TEST(Buffer, LongStringsKeepOnlyTheLow16BitsOfTheirLength) {
  Buffer limit;
  limit.WriteString(std::string(32767, 'x'));
  EXPECT_EQ(limit.ReadString().size(), 32767u);

  Buffer tooLong;
  tooLong.WriteString(std::string(40000, 'y'));
  tooLong.WriteByte(0x42);
  EXPECT_EQ(tooLong.GetDataLen(), 2 + 40000 + 1);
  EXPECT_EQ(tooLong.ReadString(), "");  // negative as a signed length
  EXPECT_EQ(tooLong.mReadBitPos, 16);

  Buffer wrapped;
  wrapped.WriteString(std::string(65536 + 3, 'z'));
  EXPECT_EQ(wrapped.ReadString(), "zzz");
}

TEST(Buffer, WholeBufferOperations) {
  Buffer buffer;
  buffer.WriteNumBits(0x1FF, 9);
  EXPECT_EQ(buffer.GetDataLen(), 2);
  buffer.Clear();
  EXPECT_EQ(buffer.GetDataPtr(), nullptr);
  EXPECT_EQ(buffer.GetDataLen(), 0);
  EXPECT_EQ(buffer.mDataBitSize + buffer.mReadBitPos + buffer.mWriteBitPos, 0);

  Buffer read = FromBytes({1, 2, 3, 4});
  EXPECT_EQ(read.ReadShort(), 0x0201);
  const std::uint8_t replacement[] = {9, 8, 7, 6};
  read.SetData(replacement, 4);
  EXPECT_EQ(read.mReadBitPos, 16);  // kept, as callers expect
  EXPECT_EQ(read.ReadByte(), 7);
  read.SeekFront();
  EXPECT_EQ(read.ReadByte(), 9);
  EXPECT_EQ(read.GetDataLen(), 4);
  read.SetData(nullptr, 5);
  EXPECT_EQ(read.GetDataLen(), 0);
}

TEST(Buffer, WritingInsideExistingDataOverwritesThereAndNegativePositionsStayInside) {
  Buffer buffer = FromBytes({0xFF, 0xFF});
  buffer.WriteNumBits(0, 4);
  buffer.WriteByte(0x00);
  EXPECT_EQ(Bytes(buffer), (std::vector<std::uint8_t>{0x00, 0xF0}));
  EXPECT_EQ(buffer.mDataBitSize, 16);
  Buffer negative = FromBytes({0xAA});
  negative.mReadBitPos = -9;
  EXPECT_EQ(negative.ReadByte(), 0);
  EXPECT_EQ(negative.ReadNumBits(8, false), 0u);
  negative.mWriteBitPos = -5;
  negative.WriteByte(0x11);
  EXPECT_EQ(Bytes(negative), std::vector<std::uint8_t>{0x11});
}

}  // namespace
