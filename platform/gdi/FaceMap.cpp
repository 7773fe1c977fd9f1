#include "platform/gdi/FaceMap.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <vector>

namespace plat::gdi {

namespace {

// One family in its four styles: regular, bold, italic, bold italic.
struct Family {
  const char* folder;
  std::array<const char*, 4> files;
};

constexpr Family kLiberationSans{"liberation",
                                 {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
                                  "LiberationSans-BoldItalic.ttf"}};
constexpr Family kLiberationSerif{"liberation",
                                  {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
                                   "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"}};
constexpr Family kLiberationMono{"liberation",
                                 {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
                                  "LiberationMono-BoldItalic.ttf"}};
constexpr Family kDejaVuSans{
    "dejavu", {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"}};
constexpr Family kDejaVuSerif{
    "dejavu", {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"}};
constexpr Family kDejaVuMono{
    "dejavu",
    {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf", "DejaVuSansMono-BoldOblique.ttf"}};

// Debian keeps Liberation 2 and Liberation 1 in folders of their own.
constexpr std::array<const char*, 3> kRoots = {"/usr/share/fonts/truetype/", "/usr/share/fonts/truetype/liberation2/",
                                               "/usr/share/fonts/truetype/liberation/"};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The families to try for a face name, best first.
std::vector<const Family*> Candidates(const std::string& faceName) {
  const std::string face = Lower(faceName);
  if (face == "tahoma" || face == "verdana") return {&kDejaVuSans, &kLiberationSans};
  if (face == "courier new" || face == "courier" || face == "lucida console" || face == "monospace")
    return {&kLiberationMono, &kDejaVuMono};
  if (face == "times new roman" || face == "times" || face == "serif") return {&kLiberationSerif, &kDejaVuSerif};
  // "Arial", "SansSerif", "MS Sans Serif", the empty name and anything unknown.
  return {&kLiberationSans, &kDejaVuSans};
}

std::string Existing(const Family& family, int style) {
  for (const char* root : kRoots) {
    for (const std::string& folder : {std::string(root) + family.folder + "/", std::string(root)}) {
      const std::string path = folder + family.files[static_cast<std::size_t>(style)];
      std::error_code error;
      if (std::filesystem::is_regular_file(path, error)) return path;
    }
  }
  return {};
}

}  // namespace

FaceFile FindFaceFile(const std::string& faceName, bool bold, bool italic) {
  const int wanted = (bold ? 1 : 0) + (italic ? 2 : 0);
  const std::vector<const Family*> families = Candidates(faceName);
  for (const Family* family : families)
    if (std::string path = Existing(*family, wanted); !path.empty()) return {path, false, false};
  // The family without the style, which the renderer then imitates.
  for (const Family* family : families)
    if (std::string path = Existing(*family, 0); !path.empty()) return {path, bold, italic};
  return {};
}

}  // namespace plat::gdi
