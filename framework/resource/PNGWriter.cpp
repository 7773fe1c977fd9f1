#include "framework/resource/PNGWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "framework/resource/ImageFileWriting.h"

namespace ImageLib {
namespace {

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Kept free of C++ objects with destructors: a library error jumps back into this frame.
bool WriteTo(std::FILE* file, const Image& image) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_color_8 significant{};
  significant.red = significant.green = significant.blue = significant.alpha = 8;
  png_set_sBIT(png, info, &significant);
  png_set_bgr(png);
  png_set_IHDR(png, info, image.GetWidth(), image.GetHeight(), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  auto* pixels = reinterpret_cast<png_bytep>(const_cast<uint32_t*>(image.GetBits()));
  for (int y = 0; y < image.GetHeight(); ++y) {
    png_bytep row = pixels + static_cast<size_t>(y) * image.GetWidth() * 4;
    png_write_rows(png, &row, 1);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePNGImage(const std::string& fileName, const Image& image, plat::FileSync sync) {
  return WriteImageFile(fileName, image, WriteTo, sync);
}

}  // namespace ImageLib
