#include "tests/support/XWindowPixels.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace testsupport {

std::vector<std::uint32_t> ReadXWindowPixels(SDL_Window* window, int width, int height) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
  Display* display = info.info.x11.display;
  XSync(display, False);
  const auto destroy = [](XImage* image) { XDestroyImage(image); };
  const std::unique_ptr<XImage, decltype(destroy)> image(
      XGetImage(display, info.info.x11.window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                AllPlanes, ZPixmap),
      destroy);
  if (image == nullptr || image->red_mask != 0xFF0000 || image->green_mask != 0xFF00 || image->blue_mask != 0xFF)
    return {};
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint32_t>(XGetPixel(image.get(), x, y)) & 0xFFFFFF;
  return pixels;
}

}  // namespace testsupport
