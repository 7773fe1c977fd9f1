#include "framework/resource/ImageLoader.h"

#include <strings.h>

#include "framework/resource/GIFReader.h"
#include "framework/resource/JPEGReader.h"
#include "framework/resource/PNGReader.h"
#include "framework/resource/TGAReader.h"
#include "framework/util/PathUtil.h"

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

std::unique_ptr<Image> ReadByExtension(const std::string& name) {
  // The extension is the file name's own: a dot in a folder name is none.
  const std::string fileName = Kit::GetFileName(name);
  const std::string extension = fileName.substr(Kit::GetFileName(name, true).size());
  const std::string base = name.substr(0, name.size() - extension.size());
  for (const Reader& reader : kReaders) {
    if (!extension.empty() && strcasecmp(extension.c_str(), reader.extension) != 0) continue;
    if (auto image = reader.read(base + reader.extension)) return image;
  }
  return nullptr;
}

std::unique_ptr<Image> FindAlphaImage(const std::string& name) {
  if (auto alpha = GetImage(Kit::GetFileDir(name, true) + "_" + Kit::GetFileName(name), false)) return alpha;
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
