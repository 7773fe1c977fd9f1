#include "framework/resource/ImageLoader.h"

#include <strings.h>

#include "framework/resource/GIFReader.h"
#include "framework/resource/JPEGReader.h"
#include "framework/resource/PNGReader.h"
#include "framework/resource/TGAReader.h"

namespace ImageLib {

uint32_t gAlphaComposeColor = 0xFFFFFF;

namespace {

struct Reader {
  const char* extension;
  std::unique_ptr<Image> (*read)(const std::string&);
};

constexpr Reader kReaders[] = {
    {".tga", GetTGAImage},
    {".jpg", GetJPEGImage},
    {".png", GetPNGImage},
    {".gif", GetGIFImage},
};

// Where the file name starts: after the last '\' or '/'.
size_t FileNameStart(const std::string& name) {
  size_t separator = name.find_last_of("\\/");
  return separator == std::string::npos ? 0 : separator + 1;
}

std::unique_ptr<Image> ReadByExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  bool hasExtension = dot != std::string::npos && dot >= FileNameStart(name);
  std::string base = hasExtension ? name.substr(0, dot) : name;
  std::string extension = hasExtension ? name.substr(dot) : std::string();
  for (const Reader& reader : kReaders) {
    if (!extension.empty() && strcasecmp(extension.c_str(), reader.extension) != 0) continue;
    if (auto image = reader.read(base + reader.extension)) return image;
  }
  return nullptr;
}

std::unique_ptr<Image> FindAlphaImage(const std::string& name) {
  size_t start = FileNameStart(name);
  if (auto alpha = GetImage(name.substr(0, start) + "_" + name.substr(start), false)) return alpha;
  return GetImage(name + "_", false);
}

}  // namespace

std::unique_ptr<Image> GetImage(const std::string& fileName, bool lookForAlpha) {
  std::unique_ptr<Image> image = ReadByExtension(fileName);
  if (!lookForAlpha) return image;
  std::unique_ptr<Image> alpha = FindAlphaImage(fileName);
  if (!alpha) return image;

  uint32_t* alphaBits = alpha->GetBits();
  if (!image) {
    // Only the alpha file exists: a uniformly coloured picture with the alpha file's shape.
    const uint32_t color = gAlphaComposeColor & 0xFFFFFF;
    for (size_t i = 0; i < alpha->GetPixelCount(); ++i) alphaBits[i] = (alphaBits[i] & 0xFF) << 24 | color;
    return alpha;
  }
  if (alpha->GetWidth() == image->GetWidth() && alpha->GetHeight() == image->GetHeight()) {
    uint32_t* bits = image->GetBits();
    for (size_t i = 0; i < image->GetPixelCount(); ++i) bits[i] = (bits[i] & 0xFFFFFF) | (alphaBits[i] & 0xFF) << 24;
  }
  return image;
}

}  // namespace ImageLib
