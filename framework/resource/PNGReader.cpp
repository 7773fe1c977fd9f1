#include "framework/resource/PNGReader.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "framework/resource/ImageFileBytes.h"
#include "framework/resource/ImageLimits.h"

namespace ImageLib {
namespace {

struct MemorySource {
  const uint8_t* bytes;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (source->size - source->pos < count) png_error(png, "read past the end of the data");
  std::memcpy(out, source->bytes + source->pos, count);
  source->pos += count;
}

// Errors end the decode through the library's jump; nothing is printed.
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Kept free of C++ objects with destructors: a library error jumps back into this frame.
bool DecodeInto(const uint8_t* bytes, size_t size, Image* image) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  MemorySource source{bytes, size, 0};
  // A file damaged only after its last image row still gives its picture.
  volatile bool rowsComplete = false;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return rowsComplete;
  }
  png_set_read_fn(png, &source, ReadFromMemory);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  // The library sets aside as much as an ancillary chunk's length claims before it looks for the
  // bytes (a 62-byte file claiming a 900 MB text or palette suggestion had it ask for 900 MB), and a
  // length over its limit is only a warning. Of the ancillary chunks only the transparency is used:
  // the others are stepped over unread.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  static constexpr png_byte kTransparency[] = {'t', 'R', 'N', 'S', '\0'};
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kTransparency, 1);
  png_read_info(png, info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colorType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  if (!IsAcceptableImageSize(width, height)) png_error(png, "image too large");

  png_set_expand(png);
  png_set_scale_16(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) png_error(png, "unexpected row layout");
  if (!image->Allocate(static_cast<int>(width), static_cast<int>(height))) png_error(png, "out of memory");

  auto* rows = reinterpret_cast<png_bytep>(image->GetBits());
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, rows + static_cast<size_t>(y) * width * 4, nullptr);
  }
  rowsComplete = true;
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

std::unique_ptr<Image> DecodePNG(std::span<const uint8_t> bytes) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return nullptr;
  auto image = std::make_unique<Image>();
  if (!DecodeInto(bytes.data(), bytes.size(), image.get())) return nullptr;
  return image;
}

std::unique_ptr<Image> GetPNGImage(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadImageFileBytes(fileName, &bytes)) return nullptr;
  return DecodePNG(bytes);
}

}  // namespace ImageLib
