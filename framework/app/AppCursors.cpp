#include "framework/app/AppCursors.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/win/input/Cursor.h"

namespace Kit {

namespace {

constexpr int kSize = 32;
constexpr int kRowBytes = kSize / 8;
using Mask = std::array<std::uint8_t, kSize * kRowBytes>;

// 'X' black outline, 'o' white fill, anything else shows the screen through. Rows start at `top`.
HCURSOR CursorFromArt(HINSTANCE instance, int hotX, int hotY, int top, std::initializer_list<std::string_view> art) {
  Mask andMask;
  Mask xorMask{};
  andMask.fill(0xFF);
  int y = top;
  for (std::string_view row : art) {
    for (int x = 0; x < static_cast<int>(row.size()) && x < kSize; ++x) {
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
      std::uint8_t& andByte = andMask[static_cast<std::size_t>(y * kRowBytes + x / 8)];
      std::uint8_t& xorByte = xorMask[static_cast<std::size_t>(y * kRowBytes + x / 8)];
      if (row[x] == 'X') {
        andByte &= static_cast<std::uint8_t>(~bit);
      } else if (row[x] == 'o') {
        andByte &= static_cast<std::uint8_t>(~bit);
        xorByte |= bit;
      }
    }
    ++y;
  }
  return CreateCursor(instance, hotX, hotY, kSize, kSize, andMask.data(), xorMask.data());
}

}  // namespace

HCURSOR CreateHandCursor(HINSTANCE instance) {
  return CursorFromArt(instance, 11, 4, 4,
                       {
                           "..........XX",
                           ".........XooX",
                           ".........XooX",
                           ".........XooX",
                           ".........XooXXX",
                           ".........XooXooXXX",
                           ".........XooXooXooXX",
                           "......XX.XooXooXooXoX",
                           "......XoXXooooooooXoX",
                           "......XooXoooooooooooX",
                           ".......XoXoooooooooooX",
                           ".......XooooooooooooooX",
                           "........XoooooooooooooX",
                           "........XooooooooooooX",
                           ".........XoooooooooooX",
                           ".........XooooooooooX",
                           "..........XoooooooooX",
                           "..........XoooooooooX",
                           "..........XXXXXXXXXXX",
                       });
}

HCURSOR CreateDraggingCursor(HINSTANCE instance) {
  return CursorFromArt(instance, 15, 10, 6,
                       {
                           "...........XX.XX.XX",
                           "..........XooXooXooXX",
                           "..........XooXooXooXoX",
                           ".........XXoooooooooooX",
                           "........XoXoooooooooooX",
                           "........XooooooooooooooX",
                           "........XooooooooooooooX",
                           ".........XoooooooooooooX",
                           ".........XooooooooooooX",
                           "..........XoooooooooooX",
                           "..........XooooooooooX",
                           "...........XoooooooooX",
                           "...........XXXXXXXXXXX",
                       });
}

}  // namespace Kit
