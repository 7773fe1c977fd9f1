#include "tests/support/Canvas.h"

#include <algorithm>

namespace testsupport {

std::unique_ptr<Kit::MemoryImage> Canvas(int width, int height, std::uint32_t fill) {
  auto image = std::make_unique<Kit::MemoryImage>();
  image->Create(width, height);
  std::fill(image->GetBits(), image->GetBits() + width * height, fill);
  image->BitsChanged();
  return image;
}

}  // namespace testsupport
