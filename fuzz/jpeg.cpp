// Decodes arbitrary bytes as a JPEG file; a picture must have a size within the caps.
#include <cstdint>
#include <cstdlib>

#include "framework/resource/ImageLimits.h"
#include "framework/resource/JPEGReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto image = ImageLib::DecodeJPEG({data, size});
  if (image && !ImageLib::IsAcceptableImageSize(image->GetWidth(), image->GetHeight())) std::abort();
  return 0;
}
