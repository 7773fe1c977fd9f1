#include "framework/resource/ResourceHost.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/resource/ImageLoader.h"

namespace Kit {

std::unique_ptr<Image> ResourceHost::GetImage(const std::string& path) {
  std::unique_ptr<ImageLib::Image> decoded = ImageLib::GetImage(path, true);
  if (!decoded) return nullptr;
  auto image = std::make_unique<MemoryImage>();
  image->SetBits(decoded->GetBits(), decoded->GetWidth(), decoded->GetHeight(), true);
  return image;
}

}  // namespace Kit
