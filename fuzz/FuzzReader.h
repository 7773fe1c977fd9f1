// The fuzz input read as a stream of plain values; past its end every value reads as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fuzzsupport {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  template <typename T>
  T Next() {
    T value{};
    if (mPos + sizeof(T) <= mSize) std::memcpy(&value, mData + mPos, sizeof(T));
    mPos += sizeof(T);
    return value;
  }
  bool More() const { return mPos < mSize; }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

}  // namespace fuzzsupport
