#include "platform/win/IconResources.h"

#include <SDL.h>
#include <png.h>

#include <map>
#include <memory>
#include <mutex>

#include "platform/win/PathMap.h"

namespace plat {
namespace {

struct IconTable {
  std::mutex lock;
  std::map<std::string, std::vector<std::string>> paths;       // program paths by resource name
  std::map<std::string, std::unique_ptr<IconPicture>> loaded;  // by resource name; never freed
};

IconTable& Icons() {
  static IconTable table;
  return table;
}

// libpng's own checks stand between the file and the pixels: a damaged file ends in failure, not in
// a read past the data.
std::unique_ptr<IconPicture> ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return nullptr;
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
  table.loaded.erase(name);
}

HICON LoadIconResource(const std::string& name) {
  IconTable& table = Icons();
  std::lock_guard guard(table.lock);
  if (auto it = table.loaded.find(name); it != table.loaded.end()) return reinterpret_cast<HICON>(it->second.get());
  auto path = table.paths.find(name);
  if (path == table.paths.end()) return nullptr;
  std::unique_ptr<IconPicture> picture;
  for (const std::string& candidate : path->second) {
    picture = ReadPng(MapPath(candidate));
    if (picture) break;
  }
  if (!picture) return nullptr;
  auto handle = reinterpret_cast<HICON>(picture.get());
  table.loaded[name] = std::move(picture);
  return handle;
}

const IconPicture* IconPictureOf(HICON icon) {
  if (!icon) return nullptr;
  IconTable& table = Icons();
  std::lock_guard guard(table.lock);
  for (const auto& [name, picture] : table.loaded) {
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
