#include "tests/resource/TestImageFiles.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "framework/resource/PNGWriter.h"

namespace testimages {

bool WriteSolidPNG(const std::string& path, int width, int height, uint32_t color) {
  ImageLib::Image image;
  if (!image.Allocate(width, height)) return false;
  std::fill_n(image.GetBits(), image.GetPixelCount(), color);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  return ImageLib::WritePNGImage(path, image);
}

std::unique_ptr<ImageLib::Image> MakeImage(int width, int height, uint32_t (*pattern)(int x, int y)) {
  auto image = std::make_unique<ImageLib::Image>();
  if (!image->Allocate(width, height)) throw std::runtime_error("bad test image size");
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image->GetBits()[y * width + x] = pattern(x, y);
  }
  return image;
}

uint32_t Gradient(int x, int y) {
  return static_cast<uint32_t>((x * 7 + y) & 0xFF) << 24 | static_cast<uint32_t>(x * 5 & 0xFF) << 16 |
         static_cast<uint32_t>(y * 3 & 0xFF) << 8 | static_cast<uint32_t>((x ^ y) & 0xFF);
}

namespace {

void PutLE16(std::string* out, int value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>(value >> 8 & 0xFF));
}

// Packs codes least significant bit first and cuts the result into data sub-blocks.
class CodeWriter {
 public:
  void Put(int code, int width) {
    mBits |= static_cast<uint64_t>(code) << mCount;
    mCount += width;
    while (mCount >= 8) {
      mBytes.push_back(static_cast<uint8_t>(mBits));
      mBits >>= 8;
      mCount -= 8;
    }
  }
  std::string Blocks() {
    if (mCount > 0) mBytes.push_back(static_cast<uint8_t>(mBits));
    std::string out;
    for (size_t i = 0; i < mBytes.size(); i += 255) {
      size_t n = std::min<size_t>(255, mBytes.size() - i);
      out.push_back(static_cast<char>(n));
      out.append(reinterpret_cast<const char*>(mBytes.data() + i), n);
    }
    out.push_back('\0');
    return out;
  }

 private:
  std::vector<uint8_t> mBytes;
  uint64_t mBits = 0;
  int mCount = 0;
};

std::string Lzw(const std::vector<uint8_t>& indices, int minCodeSize) {
  const int clear = 1 << minCodeSize;
  int width = minCodeSize + 1;
  int next = clear + 2;
  std::map<std::pair<int, int>, int> table;
  CodeWriter writer;
  writer.Put(clear, width);
  int current = indices.empty() ? -1 : indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    auto found = table.find({current, indices[i]});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    writer.Put(current, width);
    if (next < 4096) {
      table[{current, indices[i]}] = next++;
      if (next > (1 << width) && width < 12) ++width;
    } else {
      writer.Put(clear, width);
      table.clear();
      next = clear + 2;
      width = minCodeSize + 1;
    }
    current = indices[i];
  }
  if (current >= 0) writer.Put(current, width);
  writer.Put(clear + 1, width);
  return writer.Blocks();
}

void PutPalette(std::string* out, const std::vector<uint32_t>& palette) {
  for (uint32_t rgb : palette) {
    out->push_back(static_cast<char>(rgb >> 16 & 0xFF));
    out->push_back(static_cast<char>(rgb >> 8 & 0xFF));
    out->push_back(static_cast<char>(rgb & 0xFF));
  }
}

// The packed-byte size bits for a palette of n entries (n a power of two, 2 to 256).
int SizeBits(size_t n) {
  int bits = 0;
  while ((size_t{2} << bits) < n) ++bits;
  return bits;
}

void PNGWriteToString(png_structp png, png_bytep data, size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

}  // namespace

std::string TGABytes(int width, int height, const std::vector<uint32_t>& pixels, uint8_t descriptor, uint8_t depth,
                     const std::string& imageId) {
  std::string out;
  out.push_back(static_cast<char>(imageId.size()));
  out.push_back('\0');  // no colour map
  out.push_back('\2');  // uncompressed true colour
  out.append(5, '\0');
  PutLE16(&out, 0);
  PutLE16(&out, 0);
  PutLE16(&out, width);
  PutLE16(&out, height);
  out.push_back(static_cast<char>(depth));
  out.push_back(static_cast<char>(descriptor));
  out += imageId;
  out.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
  return out;
}

std::string GIFBytes(const std::vector<uint32_t>& globalPalette, const std::vector<GIFFrame>& frames, int minCodeSize) {
  std::string out = "GIF89a";
  PutLE16(&out, frames.empty() ? 1 : frames[0].width);
  PutLE16(&out, frames.empty() ? 1 : frames[0].height);
  out.push_back(static_cast<char>(globalPalette.empty() ? 0 : 0x80 | SizeBits(globalPalette.size())));
  out.append(2, '\0');
  PutPalette(&out, globalPalette);
  out += std::string("!\xFE\x05hello\x00", 10);  // a comment
  for (const GIFFrame& frame : frames) {
    if (frame.transparentIndex >= 0) {
      out += "!\xF9\x04\x01";
      out.append(2, '\0');
      out.push_back(static_cast<char>(frame.transparentIndex));
      out.push_back('\0');
    }
    out.push_back(',');
    PutLE16(&out, 0);
    PutLE16(&out, 0);
    PutLE16(&out, frame.width);
    PutLE16(&out, frame.height);
    int packed = frame.interlaced ? 0x40 : 0;
    if (!frame.localPalette.empty()) packed |= 0x80 | SizeBits(frame.localPalette.size());
    out.push_back(static_cast<char>(packed));
    PutPalette(&out, frame.localPalette);
    out.push_back(static_cast<char>(minCodeSize));
    std::vector<uint8_t> order = frame.indices;
    if (frame.interlaced) {
      order.clear();
      for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < frame.height; y += step) {
          order.insert(order.end(), frame.indices.begin() + y * frame.width,
                       frame.indices.begin() + (y + 1) * frame.width);
        }
      }
    }
    out += Lzw(order, minCodeSize);
  }
  out.push_back(';');
  return out;
}

std::string PNGBytes(const PNGPicture& picture) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("test PNG could not be made");
  }
  png_set_write_fn(png, &out, PNGWriteToString, nullptr);
  png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
               picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (uint32_t rgb : picture.palette) {
    palette.push_back({static_cast<png_byte>(rgb >> 16), static_cast<png_byte>(rgb >> 8), static_cast<png_byte>(rgb)});
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!picture.paletteAlpha.empty()) {
    png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& row : picture.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::string GreyJPEGBytes(int width, int height, const std::vector<uint8_t>& levels, bool progressive, int extraScans) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(levels.data() + info.next_scanline * width);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string out(reinterpret_cast<char*>(buffer), size);
  free(buffer);
  // The last scan runs from its start-of-scan marker to the end-of-image marker.
  const std::size_t lastScan = out.rfind("\xFF\xDA");
  const std::string scan = out.substr(lastScan, out.size() - 2 - lastScan);
  for (int i = 0; i < extraScans; ++i) out.insert(out.size() - 2, scan);
  return out;
}

std::vector<uint8_t> AsBytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace testimages
