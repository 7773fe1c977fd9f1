#include "framework/resource/JPEGReader.h"

#include <vector>

#include "framework/resource/ImageFileBytes.h"
#include "framework/resource/ImageLimits.h"
#include "framework/resource/JPEGErrorManager.h"

namespace ImageLib {
namespace {

// Every scan of a progressive file passes over every block of the picture, so the work is its size
// times its scans. Real progressive files have about ten scans; a flood of tiny scans over a large
// picture would take seconds, and thousands of them over any picture only burn time.
constexpr int64_t kMaxScans = 256;
constexpr int64_t kMaxScannedPixels = int64_t{1} << 29;

struct ScanLimit {
  jpeg_progress_mgr progress;
};

void CheckScanCount(j_common_ptr info) {
  auto* decompressor = reinterpret_cast<j_decompress_ptr>(info);
  const int64_t scans = decompressor->input_scan_number;
  const int64_t pixels = int64_t{decompressor->image_width} * decompressor->image_height;
  if (scans > kMaxScans || scans * pixels > kMaxScannedPixels) AbandonJPEG(info);
}

// Kept free of C++ objects with destructors: a library error jumps back into this frame.
bool DecodeInto(const uint8_t* bytes, size_t size, Image* image) {
  jpeg_decompress_struct info;
  JPEGErrorManager errors;
  info.err = InstallJPEGErrorManager(&errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  ScanLimit limit;
  limit.progress.progress_monitor = CheckScanCount;
  info.progress = &limit.progress;
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (!IsAcceptableImageSize(info.image_width, info.image_height)) AbandonJPEG(reinterpret_cast<j_common_ptr>(&info));
  // Decoding straight into 0xAARRGGBB pixels; greyscale files are widened to grey RGB.
  info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&info);
  if (info.output_components != 4 ||
      !image->Allocate(static_cast<int>(info.output_width), static_cast<int>(info.output_height))) {
    AbandonJPEG(reinterpret_cast<j_common_ptr>(&info));
  }
  auto* pixels = reinterpret_cast<JSAMPLE*>(image->GetBits());
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels + static_cast<size_t>(info.output_scanline) * info.output_width * 4;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::unique_ptr<Image> DecodeJPEG(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return nullptr;
  auto image = std::make_unique<Image>();
  if (!DecodeInto(bytes.data(), bytes.size(), image.get())) return nullptr;
  return image;
}

std::unique_ptr<Image> GetJPEGImage(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadImageFileBytes(fileName, &bytes)) return nullptr;
  return DecodeJPEG(bytes);
}

}  // namespace ImageLib
