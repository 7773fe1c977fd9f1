// Runs the rows of a presented frame (5-6-5, 5-5-5 and 32-bit pixels widened for the window, a scaled
// row spread from its widened pixels) at every step width the processor has against one pixel at a
// time, on arbitrary pixels, lengths and columns, and traps on any difference. Every row is an
// allocation of its own and exactly as long as its pixels, so a step that reads or writes past them is
// caught by AddressSanitizer.
#include <cstdint>
#include <vector>

#include "fuzz/FuzzReader.h"
#include "platform/ddraw/FrameRows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using plat::ddraw::FrameFormat;
  using plat::ddraw::FrameWidth;
  fuzzsupport::Reader in(data, size);
  const int kind = in.Next<std::uint8_t>() % 4;
  const int count = in.Next<std::uint16_t>() % 1200;
  std::uint32_t seed = in.Next<std::uint32_t>();
  // Values from the input and, past it, from a small generator seeded by it.
  const auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return in.More() ? in.Next<std::uint32_t>() : seed;
  };
  const FrameFormat formats[] = {FrameFormat::kRgb565, FrameFormat::kRgb555, FrameFormat::kXrgb8888};
  const int bytes = kind == 2 ? 4 : 2;
  std::vector<BYTE> pixels(static_cast<std::size_t>(count) * bytes);
  std::vector<std::uint32_t> row;
  std::vector<int> columns;
  if (kind < 3) {
    for (BYTE& b : pixels) b = static_cast<BYTE>(next());
  } else {
    row.resize(1 + next() % 1100);
    for (std::uint32_t& pixel : row) pixel = next();
    columns.resize(static_cast<std::size_t>(count));
    for (int& column : columns) column = static_cast<int>(next() % row.size());
  }
  std::vector<std::uint32_t> expected;
  for (const FrameWidth width : {FrameWidth::k1, FrameWidth::k8, FrameWidth::k16}) {
    if (width > plat::ddraw::WidestFrameWidth()) break;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(count));
    if (kind < 3)
      plat::ddraw::WidenRow(formats[kind], pixels.data(), out.data(), count, width);
    else
      plat::ddraw::SpreadRow(row.data(), columns.data(), out.data(), count, width);
    if (width == FrameWidth::k1)
      expected = out;
    else if (out != expected)
      __builtin_trap();
  }
  return 0;
}
