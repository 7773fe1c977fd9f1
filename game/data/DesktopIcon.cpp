#include "game/data/DesktopIcon.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "game/data/Canvas.h"
#include "game/data/DataOutput.h"

namespace gamedata {
namespace {

// Painted on a 64-unit square scaled to the size, so that every size shows the same picture.
Canvas PaintIcon(int size) {
  const float u = size / 64.0f;
  Canvas c(size, size);
  c.Fill(RoundBox(2 * u, 2 * u, 62 * u, 62 * u, 11 * u), VerticalGradient(2 * u, Hex(0x0C1438), 62 * u, Hex(0x2A1450)));
  c.Fill(
      [u](float x, float y) {
        return std::max(RoundBox(2 * u, 2 * u, 62 * u, 62 * u, 11 * u)(x, y),
                        -RoundBox(3.5f * u, 3.5f * u, 60.5f * u, 60.5f * u, 9.5f * u)(x, y));
      },
      Solid(Hex(0x97BCFB, 0.8f)));
  // Three rows of bricks, one gap where the ball broke through.
  const unsigned rows[] = {0x5EC8D8, 0xD85A9A, 0x6AD060};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      if (row == 2 && column == 2) continue;
      const float x0 = (9 + column * 12) * u, y0 = (11 + row * 7) * u;
      const Rgba base = Hex(rows[row]);
      c.Fill(RoundBox(x0, y0, x0 + 10.5f * u, y0 + 5.5f * u, 1.5f * u),
             VerticalGradient(y0, Shade(base, 1.3f), y0 + 5.5f * u, Shade(base, 0.65f)));
    }
  }
  // The ball on its way down, with a short trail.
  c.Fill(Segment(38 * u, 31 * u, 33.5f * u, 41 * u, 0.9f * u), Solid(Hex(0xA0C0FF, 0.3f)), Blend::kAdd);
  c.Fill(Circle(32 * u, 44 * u, 3.2f * u), VerticalGradient(41 * u, Hex(0xFFFFFF), 47 * u, Hex(0xA8B4C8)));
  // The paddle: silver with glowing ends.
  c.Fill(RoundBox(18 * u, 50 * u, 46 * u, 55 * u, 2.5f * u),
         VerticalGradient(50 * u, Hex(0xE8F0FF), 55 * u, Hex(0x6878A0)));
  c.Fill(Circle(19.5f * u, 52.5f * u, 2.5f * u), Solid(Hex(0xE06030)));
  c.Fill(Circle(44.5f * u, 52.5f * u, 2.5f * u), Solid(Hex(0xE06030)));
  c.Fill(RoundBox(23 * u, 51.8f * u, 41 * u, 53.2f * u, 0.7f * u), Solid(Hex(0x40A0FF)), Blend::kAdd);
  return c;
}

}  // namespace

void MakeDesktopIcons(DataOutput& out) {
  for (int size : kDesktopIconSizes) {
    const std::string path = out.PathOf("icons/" + std::to_string(size) + "/quarvel.png");
    if (!PaintIcon(size).SavePNG(path)) throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace gamedata
