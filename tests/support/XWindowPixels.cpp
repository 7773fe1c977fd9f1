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

XWindowIcon ReadXWindowIcon(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
  Display* display = info.info.x11.display;
  XSync(display, False);
  const Atom property = XInternAtom(display, "_NET_WM_ICON", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, info.info.x11.window, property, 0, 1 << 24, False, AnyPropertyType, &type, &format,
                         &count, &after, &data) != Success ||
      data == nullptr)
    return {};
  const std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
  // Xlib hands 32-bit items as longs.
  const auto* items = reinterpret_cast<const unsigned long*>(data);
  if (format != 32 || count < 2) return {};
  XWindowIcon icon;
  const unsigned long width = items[0], height = items[1];
  if (width == 0 || height == 0 || count - 2 < width * height) return {};
  icon.width = static_cast<int>(width);
  icon.height = static_cast<int>(height);
  for (unsigned long i = 0; i < width * height; ++i) icon.argb.push_back(static_cast<std::uint32_t>(items[2 + i]));
  return icon;
}

}  // namespace testsupport
