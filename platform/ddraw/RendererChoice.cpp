#include "platform/ddraw/RendererChoice.h"

#include <SDL.h>

#include <string>

namespace plat::ddraw {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

// The renderer string of the OpenGL context an OpenGL renderer has just made current, or empty.
std::string CurrentGlRenderer(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return {};
  if (std::string_view(info.name).find("opengl") == std::string_view::npos || !SDL_GL_GetCurrentContext()) return {};
  using GetString = const unsigned char* (*)(unsigned);
  const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
  return name ? std::string(reinterpret_cast<const char*>(name)) : std::string();
}

}  // namespace

bool NamesCpuRasterizer(std::string_view glRenderer) {
  // "llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", Mesa's old "Software Rasterizer"; a GPU driver's
  // string may name LLVM as its shader compiler, so "LLVM" alone says nothing.
  for (std::string_view cpu : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
    if (glRenderer.find(cpu) != std::string_view::npos) return true;
  return false;
}

SDL_Renderer* CreateWindowRenderer(SDL_Window* window) {
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  // Only X11 shows a window's own pixels without a renderer of its own; elsewhere (Wayland) SDL would
  // make them a texture of that same OpenGL again.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!renderer || !driver || std::string_view(driver) != "x11" || !NamesCpuRasterizer(CurrentGlRenderer(renderer)))
    return renderer;
  SDL_DestroyRenderer(renderer);
  // SDL otherwise shows a window's own pixels through a texture of an OpenGL renderer too.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  return renderer ? renderer : SDL_CreateRenderer(window, -1, 0);
}

}  // namespace plat::ddraw
