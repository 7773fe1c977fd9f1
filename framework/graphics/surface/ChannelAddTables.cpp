#include "framework/graphics/surface/ChannelAddTables.h"

namespace Kit {
namespace {

std::vector<std::int32_t> MakeTable(int bits) {
  if (bits < 1 || bits > 8) return {};
  const std::int32_t max = (1 << bits) - 1;
  std::vector<std::int32_t> table(static_cast<std::size_t>(2 * max + 1));
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(table.size()); ++i) table[i] = i < max ? i : max;
  return table;
}

}  // namespace

void ChannelAddTables::Build(const NativeDisplay& display) {
  mRed = MakeTable(display.mRedBits);
  mGreen = MakeTable(display.mGreenBits);
  mBlue = MakeTable(display.mBlueBits);
}

void ChannelAddTables::Clear() {
  mRed.clear();
  mGreen.clear();
  mBlue.clear();
}

}  // namespace Kit
