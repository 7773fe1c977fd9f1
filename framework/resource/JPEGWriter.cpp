#include "framework/resource/JPEGWriter.h"

#include "framework/resource/ImageFileWriting.h"
#include "framework/resource/JPEGErrorManager.h"

namespace ImageLib {
namespace {

constexpr int kQuality = 80;

// Kept free of C++ objects with destructors: a library error jumps back into this frame.
bool WriteTo(std::FILE* file, const Image& image) {
  jpeg_compress_struct info;
  JPEGErrorManager errors;
  info.err = InstallJPEGErrorManager(&errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  info.image_width = static_cast<JDIMENSION>(image.GetWidth());
  info.image_height = static_cast<JDIMENSION>(image.GetHeight());
  // The pixels' own byte order (blue, green, red, alpha) goes in as is; the alpha byte is skipped.
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kQuality, TRUE);
  jpeg_stdio_dest(&info, file);
  jpeg_start_compress(&info, TRUE);
  auto* pixels = reinterpret_cast<JSAMPLE*>(const_cast<uint32_t*>(image.GetBits()));
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = pixels + static_cast<size_t>(info.next_scanline) * image.GetWidth() * 4;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool WriteJPEGImage(const std::string& fileName, const Image& image, plat::FileSync sync) {
  return WriteImageFile(fileName, image, WriteTo, sync);
}

}  // namespace ImageLib
