#include "platform/win/window/IconResources.h"

#include <SDL.h>
#include <png.h>

#include <map>
#include <memory>
#include <mutex>

#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace plat {
namespace {

// Far beyond any icon's PNG file (one of at most 1024 x 1024 pixels): a bigger file is not read.
constexpr std::size_t kMaxIconFileBytes = 16u << 20;

struct IconTable {
  std::mutex lock;
  std::map<std::string, std::vector<std::string>> paths;  // program paths by resource name
  std::map<std::string, IconPicture*> current;            // what LoadIcon gives for a name now
  // Every picture ever loaded, never freed: a handle once given out stays valid for the process, even
  // after its name has been given other files.
  std::vector<std::unique_ptr<IconPicture>> loaded;
};

IconTable& Icons() {
  static IconTable table;
  return table;
}

// The file is read through the one reader (so that a pipe is not waited on) and decoded from memory;
// libpng's own checks stand between the bytes and the pixels: a damaged file ends in failure, not in a
// read past the data.
std::unique_ptr<IconPicture> ReadPng(const std::string& path) {
  std::string bytes;
  if (ReadWholeFile(path, &bytes, kMaxIconFileBytes) != FileReadResult::kRead) return nullptr;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return nullptr;
  constexpr png_uint_32 kLargest = 1024;
  if (image.width == 0 || image.height == 0 || image.width > kLargest || image.height > kLargest) {
    png_image_free(&image);
    return nullptr;
  }
  image.format = PNG_FORMAT_BGRA;  // in memory: B, G, R, A, so each pixel reads as 0xAARRGGBB
  auto picture = std::make_unique<IconPicture>();
  picture->width = static_cast<int>(image.width);
  picture->height = static_cast<int>(image.height);
  picture->argb.resize(static_cast<std::size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, picture->argb.data(), 0, nullptr)) {
    png_image_free(&image);
    return nullptr;
  }
  return picture;
}

}  // namespace

void AddIconResource(const std::string& name, const std::vector<std::string>& programPaths) {
  IconTable& table = Icons();
  std::lock_guard guard(table.lock);
  table.paths[name] = programPaths;
  table.current.erase(name);
}

HICON LoadIconResource(const std::string& name) {
  IconTable& table = Icons();
  std::lock_guard guard(table.lock);
  if (auto it = table.current.find(name); it != table.current.end()) return reinterpret_cast<HICON>(it->second);
  auto path = table.paths.find(name);
  if (path == table.paths.end()) return nullptr;
  std::unique_ptr<IconPicture> picture;
  for (const std::string& candidate : path->second) {
    picture = ReadPng(MapPath(candidate));
    if (picture) break;
  }
  if (!picture) return nullptr;
  IconPicture* kept = table.loaded.emplace_back(std::move(picture)).get();
  table.current[name] = kept;
  return reinterpret_cast<HICON>(kept);
}

const IconPicture* IconPictureOf(HICON icon) {
  if (!icon) return nullptr;
  IconTable& table = Icons();
  std::lock_guard guard(table.lock);
  for (const auto& picture : table.loaded) {
    if (reinterpret_cast<HICON>(picture.get()) == icon) return picture.get();
  }
  return nullptr;
}

void ShowWindowIcon(SDL_Window* window, HICON icon) {
  const IconPicture* picture = IconPictureOf(icon);
  if (!window || !picture) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint32_t*>(picture->argb.data()), picture->width, picture->height, 32,
      picture->width * static_cast<int>(sizeof(std::uint32_t)), SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

}  // namespace plat
