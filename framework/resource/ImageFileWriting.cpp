#include "framework/resource/ImageFileWriting.h"

#include <cstdlib>

#include "platform/win/files/PathMap.h"

namespace ImageLib {
namespace {

// The bytes an encoder wrote into a stream in memory, freed with the stream's own allocator.
struct EncodedBytes {
  ~EncodedBytes() { std::free(data); }
  char* data = nullptr;
  std::size_t size = 0;
};

}  // namespace

bool WriteImageFile(const std::string& fileName, const Image& image, ImageEncoder encode, plat::FileSync sync) {
  if (!image.GetBits()) return false;
  // Encoded in memory first, so that the file is written whole by the one writer of files, or not at all.
  EncodedBytes encoded;
  std::FILE* memory = ::open_memstream(&encoded.data, &encoded.size);
  if (!memory) return false;
  const bool written = encode(memory, image);
  if (std::fclose(memory) != 0 || !written) return false;
  return plat::ReplaceFileContents(plat::MapPath(fileName), std::string_view(encoded.data, encoded.size), sync);
}

}  // namespace ImageLib
