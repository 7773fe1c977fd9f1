// The display's per-channel saturation tables for additive drawing: for a channel of b bits, with
// max = 2^b - 1, entry i of its 2 x max + 1 entries is min(i, max), so indexing with the sum of two
// channel values gives their saturated sum in the channel's own bits.
#pragma once

#include "framework/graphics/NativeDisplay.h"

#include <cstdint>
#include <vector>

namespace Kit {

class ChannelAddTables {
 public:
  // Empty tables for a channel whose bit count is outside 1..8.
  void Build(const NativeDisplay& display);
  void Clear();

  const std::vector<std::int32_t>& Red() const { return mRed; }
  const std::vector<std::int32_t>& Green() const { return mGreen; }
  const std::vector<std::int32_t>& Blue() const { return mBlue; }

 private:
  std::vector<std::int32_t> mRed;
  std::vector<std::int32_t> mGreen;
  std::vector<std::int32_t> mBlue;
};

}  // namespace Kit
