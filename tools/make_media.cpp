// Writes small sample pictures (PNG, JPEG, TGA) made by the project's own writers into a folder, as
// seeds for the image fuzz targets or for trying the game's loaders by hand.
//   make_media <folder>
#include <cstdio>
#include <string>

#include "framework/resource/ImageLib.h"
#include "platform/win/PathMap.h"

namespace {

bool WriteTGA(const std::string& path, const ImageLib::Image& image) {
  std::FILE* file = std::fopen(plat::MapPath(path).c_str(), "wb");
  if (!file) return false;
  unsigned char header[18] = {};
  header[2] = 2;
  header[12] = static_cast<unsigned char>(image.GetWidth());
  header[13] = static_cast<unsigned char>(image.GetWidth() >> 8);
  header[14] = static_cast<unsigned char>(image.GetHeight());
  header[15] = static_cast<unsigned char>(image.GetHeight() >> 8);
  header[16] = 32;
  header[17] = 0x28;
  bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
            std::fwrite(image.GetBits(), 4, image.GetPixelCount(), file) == image.GetPixelCount();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_media <folder>\n");
    return 2;
  }
  std::string folder = argv[1];
  ImageLib::Image image;
  image.Allocate(24, 16);
  for (int y = 0; y < image.GetHeight(); ++y) {
    for (int x = 0; x < image.GetWidth(); ++x) {
      image.GetBits()[y * image.GetWidth() + x] =
          static_cast<uint32_t>(x * 10) << 24 | (x * 10) << 16 | (y * 16) << 8 | 0x40;
    }
  }
  bool ok = ImageLib::WritePNGImage(folder + "/sample.png", image) &&
            ImageLib::WriteJPEGImage(folder + "/sample.jpg", image) && WriteTGA(folder + "/sample.tga", image);
  if (!ok) std::fprintf(stderr, "make_media: could not write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
