// Which SDL renderer shows the frames of a window. SDL prefers its OpenGL renderer; where the only
// OpenGL is one the CPU runs (Mesa's llvmpipe or softpipe: a virtual machine, a remote desktop, a
// machine without GPU drivers, Xvfb), copying each frame into a texture and drawing it through that
// OpenGL costs several times what SDL's software path does, which writes into the window's own
// pixels and lets the video driver put them on the screen. Main thread only (SDL video calls).
#pragma once

#include <string_view>

struct SDL_Renderer;
struct SDL_Window;

namespace plat::ddraw {

// Whether an OpenGL renderer string (GL_RENDERER) names a rasterizer that runs on the CPU.
[[nodiscard]] bool NamesCpuRasterizer(std::string_view glRenderer);

// A renderer for the window: SDL's own choice, unless that is an OpenGL the CPU runs on X11; then SDL's
// software renderer, whose window pixels X11 shows directly (not through OpenGL again). Null when SDL
// can make none.
[[nodiscard]] SDL_Renderer* CreateWindowRenderer(SDL_Window* window);

}  // namespace plat::ddraw
