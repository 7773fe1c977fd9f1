// The additive saturation table: entry i is i below 256 and 255 from 256 on, so indexing it with the
// sum of two 8-bit channels gives their sum clamped to 255. It is one process-wide table that the
// application object owns and fills; it starts out filled, so drawing works before the application
// exists (tests, tools) and the application's fill changes nothing.
#pragma once

#include <array>
#include <cstdint>

namespace Kit {

using AdditiveTable = std::array<std::uint8_t, 512>;

void FillAdditiveTable(AdditiveTable& table);
AdditiveTable& GetAdditiveTable();

}  // namespace Kit
