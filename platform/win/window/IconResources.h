// The program's icon resources: what its resource script would name, here PNG pictures that the program
// names at start-up and LoadIcon reads; and the window icon an SDL window takes from its class.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/Types.h"

struct SDL_Window;

namespace plat {

// The picture LoadIcon (the program's instance, name) loads: the first of these PNG files (program
// paths, through plat::MapPath) that reads. A later call for the same name replaces them for the loads
// that follow; an icon loaded before stays as it was.
void AddIconResource(const std::string& name, const std::vector<std::string>& programPaths);

// The icon resource of that name, read once and kept for the life of the process (as Windows keeps
// shared icons): the handle stays valid however the name is given files later. Null when no such
// resource was named or its file is missing, cannot be read or is no PNG.
[[nodiscard]] HICON LoadIconResource(const std::string& name);

struct IconPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // row after row, 0xAARRGGBB
};

// The picture of an icon loaded from a resource; null for the system's icons and for null.
[[nodiscard]] const IconPicture* IconPictureOf(HICON icon);

// Gives the SDL window the icon's picture (the window manager's icon of the window); nothing for an
// icon without one. Main thread only.
void ShowWindowIcon(SDL_Window* window, HICON icon);

}  // namespace plat
