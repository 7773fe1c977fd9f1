// Feeds arbitrary bytes to the legacy font loader as a width file and lays the font out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/font/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "fuzz/FuzzInputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzsupport::WriteInputFile(data, size, ".txt");
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
