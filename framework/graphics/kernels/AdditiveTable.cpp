#include "framework/graphics/kernels/AdditiveTable.h"

namespace Kit {
namespace {

constexpr AdditiveTable MakeFilled() {
  AdditiveTable table{};
  for (int i = 0; i < 512; ++i) table[i] = static_cast<std::uint8_t>(i < 256 ? i : 255);
  return table;
}

constinit AdditiveTable gAdditiveTable = MakeFilled();

}  // namespace

void FillAdditiveTable(AdditiveTable& table) { table = MakeFilled(); }

AdditiveTable& GetAdditiveTable() { return gAdditiveTable; }

}  // namespace Kit
