#include "framework/resource/ImageFileWriting.h"

#include "platform/win/files/PathMap.h"

namespace ImageLib {

bool WriteImageFile(const std::string& fileName, const Image& image, ImageEncoder encode) {
  if (!image.GetBits()) return false;
  std::FILE* file = std::fopen(plat::MapPath(fileName).c_str(), "wb");
  if (!file) return false;
  bool written = encode(file, image);
  // A full disk shows only when the buffered bytes reach it.
  if (std::fclose(file) != 0) written = false;
  return written;
}

}  // namespace ImageLib
