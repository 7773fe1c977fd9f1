// Feeds arbitrary bytes to the tweakable constants' reload as a source file, then reads back every
// value the reload stored for it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/app/devtools/ModValues.h"
#include "fuzz/FuzzInputFile.h"
#include "platform/ui/dialogs/MessageBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzsupport::WriteInputFile(data, size, ".cpp");
  const plat::ScopedMessageBoxScript boxes;  // a refused file is told in a box: none is shown
  Kit::ResetModValues();
  Kit::RegisterModValSite(path);
  Kit::ReparseModValues();
  const Kit::ModValueFile& file = Kit::RegisterModValSite(path);
  for (int macro = 0; macro < 10; ++macro) {
    const std::size_t lines = file.mLists[macro].size();
    for (std::size_t line = 0; line < lines + 2; ++line) {
      Kit::ModValueAt(macro, path.c_str(), static_cast<int>(line), 0);
      Kit::ModValueAt(macro, path.c_str(), static_cast<int>(line), 0.0);
    }
  }
  return 0;
}
