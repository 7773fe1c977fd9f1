#include "framework/resource/ImageFileBytes.h"

#include <cstdio>
#include <memory>

#include "framework/resource/ImageLimits.h"
#include "platform/win/PathMap.h"

namespace ImageLib {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ReadImageFileBytes(const std::string& fileName, std::vector<uint8_t>* bytes) {
  bytes->clear();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(plat::MapPath(fileName).c_str(), "rb"));
  if (!file) return false;
  uint8_t chunk[65536];
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (static_cast<int64_t>(bytes->size() + got) > kMaxImageFileBytes) return false;
    bytes->insert(bytes->end(), chunk, chunk + got);
    if (got < sizeof chunk) return !std::ferror(file.get());
  }
}

}  // namespace ImageLib
