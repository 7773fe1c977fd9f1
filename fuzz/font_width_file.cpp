// Feeds arbitrary bytes to the legacy font loader as a width file and lays the font out.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "framework/font/ImageFont.h"
#include "framework/graphics/MemoryImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_font_width_file_" + std::to_string(getpid()) + ".txt";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Kit::MemoryImage sheet;
  sheet.Create(40, 12);
  Kit::ImageFont font(&sheet, path);
  const std::string text = "Hello, World\x80";
  int width = 0;
  font.LayoutString(0, 10, text, Kit::Color::White, nullptr, &width);
  if (width != font.StringWidth(text)) __builtin_trap();
  font.SetScale(0.5);
  font.LayoutString(0, 10, text, Kit::Color::White, nullptr, &width);
  return 0;
}
