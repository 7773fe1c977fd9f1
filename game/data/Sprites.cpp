#include "game/data/Sprites.h"

#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

#include "game/data/Canvas.h"
#include "game/data/Catalog.h"
#include "game/data/DataOutput.h"
#include "game/data/Random.h"
#include "game/data/TextPainter.h"

namespace gamedata {
namespace {

constexpr float kPi = 3.14159265f;

Rgba Hsv(float hueDegrees, float saturation, float value) {
  const float h = std::fmod(hueDegrees, 360.0f) / 60.0f;
  const float c = value * saturation, x = c * (1 - std::fabs(std::fmod(h, 2.0f) - 1)), m = value - c;
  float r = 0, g = 0, b = 0;
  if (h < 1)
    r = c, g = x;
  else if (h < 2)
    r = x, g = c;
  else if (h < 3)
    g = c, b = x;
  else if (h < 4)
    g = x, b = c;
  else if (h < 5)
    r = x, b = c;
  else
    r = c, b = x;
  return {r + m, g + m, b + m, 1};
}

// Cels side by side, each painted by cel(canvas, index, phase in [0, 1)).
using CelPainter = std::function<void(Canvas&, int cel, float phase)>;

Canvas Strip(const Animation& animation, const CelPainter& paint) {
  Canvas strip(animation.celWidth * animation.cels, animation.celHeight);
  for (int i = 0; i < animation.cels; ++i) {
    Canvas cel(animation.celWidth, animation.celHeight);
    paint(cel, i, static_cast<float>(i) / animation.cels);
    strip.Draw(cel, i * animation.celWidth, 0);
  }
  return strip;
}

// ---- bricks -------------------------------------------------------------------------------------

Rgba BrickColour(const BrickKind& brick) {
  // Spread the hues of a family round the wheel; later families are deeper and richer.
  const float hue = std::fmod(brick.number * 137.508f, 360.0f);
  if (brick.number <= 14) return Hsv(hue, 0.70f, 0.95f);
  if (brick.number <= 26) return Hsv(hue, 0.80f, 0.85f);
  if (brick.number <= 36) return Hsv(hue, 0.55f, 0.95f);
  if (brick.number <= 42) return Hsv(hue, 0.85f, 0.75f);
  return Hsv(hue, 0.65f, 0.90f);
}

void Rivet(Canvas& c, float x, float y, float r) {
  c.Fill(Circle(x, y, r), [=](float px, float py) {
    const float t = Clamp01(((px - x) + (py - y)) / (2 * r) + 0.5f);
    return Mix(Hex(0xF4F7FF), Hex(0x50586A), t);
  });
}

// A bevelled brick face; `armour` 0 plain, 1 framed with two rivets, 2 heavy frame, stripes and three
// rivets: the more armour, the more hits the brick takes.
void PaintColouredBrick(Canvas& c, const Rgba& base, int armour, int number) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  c.Fill(RoundBox(0, 0, w, h, 3), Solid(Shade(base, 0.35f)));
  c.Fill(RoundBox(1, 1, w - 1, h - 1, 2.5f), VerticalGradient(1, Shade(base, 1.35f), h - 1, Shade(base, 0.6f)));
  // Family patterns, so that neighbouring numbers differ in more than hue.
  const int family = number <= 14 ? 0 : number <= 26 ? 1 : number <= 36 ? 2 : number <= 42 ? 3 : 4;
  if (family == 2) {
    c.Fill(Polygon({w * 0.5f, 2, w - 3, h * 0.5f, w * 0.5f, h - 2, 3, h * 0.5f}),
           Solid(WithAlpha(Shade(base, 1.5f), 0.45f)));
  } else if (family == 3) {
    for (int i = 0; i < 3; ++i)
      c.Fill(Segment(6.0f + i * 12, h - 4, 12.0f + i * 12, 4, 1.0f), Solid(WithAlpha(Shade(base, 0.5f), 0.5f)));
  } else if (family == 4) {
    c.Fill(Circle(w / 2, h / 2, 4.5f), Solid(WithAlpha(Shade(base, 1.6f), 0.6f)));
  }
  c.Fill(RoundBox(3, 2, w - 3, 5, 1.5f), Solid(WithAlpha(Hex(0xFFFFFF), 0.45f)));
  if (armour >= 1) {
    c.Fill(
        [=](float x, float y) {
          return std::max(RoundBox(2, 2, w - 2, h - 2, 2)(x, y), -RoundBox(4, 4, w - 4, h - 4, 1)(x, y));
        },
        Solid(WithAlpha(Hex(0xE8ECF4), 0.75f)));
    Rivet(c, 6.5f, h / 2, 2.2f);
    Rivet(c, w - 6.5f, h / 2, 2.2f);
  }
  if (armour >= 2) {
    c.Fill(
        [=](float x, float y) {
          return std::max(RoundBox(0.5f, 0.5f, w - 0.5f, h - 0.5f, 3)(x, y), -RoundBox(2, 2, w - 2, h - 2, 2)(x, y));
        },
        Solid(Hex(0x2A2E38)));
    for (float x = 12; x < w - 10; x += 6)
      c.Fill(Segment(x, h - 4.5f, x + 4, 4.5f, 0.8f), Solid(WithAlpha(Hex(0x1A1C22), 0.35f)));
    Rivet(c, w / 2, h / 2, 2.4f);
  }
}

void PaintIronBrick(Canvas& c, int number) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const Rgba steel = Mix(Hex(0x9AA4B4), Hsv(number * 51.0f, 0.35f, 0.75f), 0.25f);
  c.Fill(RoundBox(0, 0, w, h, 2), Solid(Hex(0x1E2026)));
  c.Fill(RoundBox(1, 1, w - 1, h - 1, 1.5f), [=](float x, float y) {
    const float brushed = Noise(x * 6, y * 0.5f, 77 + number, 2, 8) - 0.5f;
    return Shade(Mix(Shade(steel, 1.3f), Shade(steel, 0.55f), Clamp01(y / h)), 1.0f + brushed * 0.25f);
  });
  // Each number carries its own embossed plate lines.
  if (number % 2 == 1) c.Fill(Segment(w / 2, 3, w / 2, h - 3, 0.7f), Solid(WithAlpha(Hex(0x2A2E36), 0.8f)));
  if (number % 3 == 0) c.Fill(Segment(5, h / 2, w - 5, h / 2, 0.7f), Solid(WithAlpha(Hex(0x2A2E36), 0.8f)));
  if (number >= 6) c.Fill(Segment(8, 4, w - 8, h - 4, 0.7f), Solid(WithAlpha(Hex(0x2A2E36), 0.6f)));
  for (float x : {4.0f, w - 4.0f})
    for (float y : {4.0f, h - 4.0f}) Rivet(c, x, y, 1.8f);
}

void PaintExplosiveBrick(Canvas& c, int number) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const Rgba base = Hsv(8.0f + number * 3.0f, 0.85f, 0.9f);
  c.Fill(RoundBox(0, 0, w, h, 3), Solid(Hex(0x301008)));
  c.Fill(RoundBox(1, 1, w - 1, h - 1, 2.5f), VerticalGradient(1, Shade(base, 1.3f), h - 1, Shade(base, 0.55f)));
  // Hazard stripes at both ends.
  for (float end : {1.0f, w - 9.0f}) {
    c.Fill(RoundBox(end, 1, end + 8, h - 1, 1), [=](float x, float y) {
      return static_cast<int>(std::floor((x + y) / 4)) % 2 == 0 ? Hex(0xFFD21E) : Hex(0x141414);
    });
  }
  c.Fill(Circle(w / 2, h / 2 + 1, 5.5f), Solid(Hex(0x16161C)));
  c.Fill(Circle(w / 2 - 1.8f, h / 2 - 1, 1.6f), Solid(WithAlpha(Hex(0xFFFFFF), 0.7f)));
  c.Fill(Segment(w / 2 + 3, h / 2 - 3, w / 2 + 6, h / 2 - 7, 0.9f), Solid(Hex(0xC8A060)));
  c.Fill(Circle(w / 2 + 6.5f, h / 2 - 7.5f, 1.8f), Solid(Hex(0xFFF0A0)), Blend::kAdd);
}

void PaintPowerBrick(Canvas& c, float phase, const TextPainter& text) {
  const float w = static_cast<float>(c.Width()), r = w / 2;
  c.Fill(Circle(r, r, r - 0.5f), [=](float x, float y) {
    const float angle = std::atan2(y - r, x - r) * 180 / kPi + phase * 360;
    return Mix(Hsv(angle, 0.8f, 1.0f), Hex(0x202040), Clamp01(std::hypot(x - r, y - r) / r - 0.55f) * 0.5f);
  });
  c.Fill(Circle(r, r, r - 5), VerticalGradient(5, Hex(0x4A3A90), w - 5, Hex(0x120A30)));
  text.Draw(c, "?", r - text.Width("?") / 2.0f, r + text.Ascent() / 2.0f - 2, Solid(Hex(0xFFF4C0)));
  c.Fill(Circle(r - 4, r - 6, 3), Solid(WithAlpha(Hex(0xFFFFFF), 0.5f)));
}

void PaintSwirlBrick(Canvas& c, float phase, const Rgba& colour, bool portal) {
  const float r = c.Width() / 2.0f;
  c.Fill(Circle(r, r, r - 0.5f), [=](float x, float y) {
    const float dx = x - r, dy = y - r, d = std::hypot(dx, dy) / r;
    const float angle = std::atan2(dy, dx) + phase * 2 * kPi;
    const float arms =
        portal ? 0.5f + 0.5f * std::sin(d * 14 - phase * 2 * kPi) : 0.5f + 0.5f * std::sin(3 * angle + d * 7);
    return Mix(Shade(colour, 0.25f), Shade(colour, 1.3f), arms * (1 - d * 0.4f));
  });
  c.Fill(Ring(r, r, r - 1.5f, 1.2f), Solid(Shade(colour, 1.5f)));
  c.Fill(Circle(r, r, 4.5f), Solid(Hex(0xFFFFFF)));
}

void PaintBrick(Canvas& c, const BrickKind& brick, float phase, const TextPainter& question) {
  if (brick.code == "aa")
    PaintColouredBrick(c, BrickColour(brick), 0, brick.number);
  else if (brick.code == "bb")
    PaintColouredBrick(c, BrickColour(brick), 1, brick.number);
  else if (brick.code == "cc")
    PaintColouredBrick(c, BrickColour(brick), 2, brick.number);
  else if (brick.code == "dd")
    PaintIronBrick(c, brick.number);
  else if (brick.code == "ee")
    PaintExplosiveBrick(c, brick.number);
  else if (brick.code == "ff")
    PaintPowerBrick(c, phase, question);
  else if (brick.code == "gg")
    PaintSwirlBrick(c, phase, Hex(0xFF6A20), false);
  else if (brick.code == "hh")
    PaintSwirlBrick(c, -phase, Hex(0x3AA0FF), false);
  else
    PaintSwirlBrick(c, phase, Hex(0xB050FF), true);
}

void MakeBrickImages(DataOutput& out) {
  TextPainter question(Face::kSansBold, 14);
  for (const BrickKind& brick : Bricks()) {
    const Animation& animation = AnimationNamed(brick.Name());
    Canvas strip = Strip(animation, [&](Canvas& c, int, float phase) { PaintBrick(c, brick, phase, question); });
    out.AddImage(animation.imageId, brick.Name(), strip, Cels(animation.cels));
  }
}

// ---- balls and paddles --------------------------------------------------------------------------

// A spinning sphere: the disc is the same in every cel and fully opaque inside its edge; only the
// bands on it turn.
void PaintBall(Canvas& c, float phase, const Rgba& light, const Rgba& dark, const Rgba& band) {
  const float r = c.Width() / 2.0f;
  c.Fill(Circle(r, r, r - 0.5f), [=](float x, float y) {
    const float nx = (x - r) / r, ny = (y - r) / r;
    const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    const float lit = Clamp01(0.25f + 0.75f * (-nx * 0.45f - ny * 0.6f + nz * 0.65f));
    Rgba colour = Mix(dark, light, lit);
    const float longitude = std::atan2(nx, nz) / kPi + phase * 2;
    if (std::fabs(std::sin(longitude * kPi * 2)) > 0.92f) colour = Mix(colour, band, 0.55f * nz);
    const float highlight = Clamp01(1 - std::hypot(nx + 0.35f, ny + 0.4f) / 0.35f);
    return Mix(colour, Hex(0xFFFFFF), highlight * 0.85f);
  });
}

void PaintPaddle(Canvas& c, float phase) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const Shape body = RoundBox(0, 0, w, h, h / 2);
  c.Fill(body, Solid(Hex(0x141A2A)));
  c.Fill(RoundBox(1, 1, w - 1, h - 1, h / 2 - 1), VerticalGradient(1, Hex(0xE4ECFA), h - 1, Hex(0x46506A)));
  // The glowing core, with a pulse that runs along it.
  c.Fill(RoundBox(8, h / 2 - 2.5f, w - 8, h / 2 + 2.5f, 2.5f), [=](float x, float) {
    const float pulse = std::exp(-std::pow((x / w - phase) * 8, 2.0f));
    return Mix(Hex(0x1AA8FF), Hex(0xE8FFFF), pulse);
  });
  // End caps.
  for (float x : {h / 2, w - h / 2})
    c.Fill(Circle(x, h / 2, h / 2 - 3.5f), VerticalGradient(3, Hex(0xFF9A6A), h - 3, Hex(0xA02A10)));
  c.Fill(RoundBox(h / 2, 2, w - h / 2, 4.5f, 1.2f), Solid(WithAlpha(Hex(0xFFFFFF), 0.55f)));
}

// ---- power-up capsules --------------------------------------------------------------------------

// Green helps, red hurts, gold changes the ball, blue changes the bricks or the paddle.
unsigned CapsuleColour(const std::string& powerUp) {
  static const std::map<std::string, unsigned> colours = {
      {"ups_down", 0xD83030},        {"ups_addvel", 0xD86A20},    {"ups_subvel", 0x30A850},
      {"ups_newball", 0xE0B020},     {"ups_fireball", 0xF07010},  {"ups_up", 0x30A850},
      {"ups_largeball", 0xE0B020},   {"ups_smallball", 0xC04080}, {"ups_longpaddle", 0x3070E0},
      {"ups_shortpaddle", 0xC83040}, {"ups_explode", 0xE04A10},   {"ups_threeball", 0x30A850},
      {"ups_eightball", 0x209890},   {"ups_thru", 0x20A8D0},      {"ups_reverse", 0x9030C0},
      {"ups_cannon", 0x607080},      {"ups_sublive", 0xB01818},   {"ups_addlive", 0x20B040},
      {"ups_bounce", 0x3090E0},      {"ups_convert", 0x7050D0}};
  return colours.at(powerUp);
}

void PaintCapsule(Canvas& c, float phase, const std::string& powerUp, const TextPainter& text) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const Rgba base = Hex(CapsuleColour(powerUp));
  c.Fill(RoundBox(0, 0, w, h, h / 2), Solid(Shade(base, 0.3f)));
  c.Fill(RoundBox(1, 1, w - 1, h - 1, h / 2 - 1), VerticalGradient(1, Shade(base, 1.45f), h - 1, Shade(base, 0.55f)));
  // A shine that sweeps across the capsule.
  const float sweep = -10 + phase * (w + 20);
  c.Fill(RoundBox(1, 1, w - 1, h - 1, h / 2 - 1), [=](float x, float y) {
    return WithAlpha(Hex(0xFFFFFF), 0.55f * Clamp01(1 - std::fabs(x - sweep + (y - h / 2) * 0.5f) / 4));
  });
  c.Fill(RoundBox(5, 2.5f, w - 5, 6, 1.5f), Solid(WithAlpha(Hex(0xFFFFFF), 0.35f)));
  text.DrawCaption(c, PowerUpLabel(powerUp), w / 2, h / 2 + text.Ascent() / 2.0f - 1.5f, Solid(Hex(0xFFFFFF)),
                   Hex(0x000000, 0.8f), 1);
}

// ---- effects ------------------------------------------------------------------------------------

struct BurstStyle {
  Rgba core, outer;
  int sparks = 16;
  float reach = 0.45f;  // of the cel width
  bool ring = false;
  unsigned seed = 1;
  float peak = 0.4f;  // when the core is brightest, in [0, 1]
};

void PaintBurst(Canvas& c, float t, const BurstStyle& style) {
  const float w = static_cast<float>(c.Width()), cx = w / 2, cy = c.Height() / 2.0f;
  const float grow = t < style.peak ? t / style.peak : 1.0f;
  const float fade = t < style.peak ? 1.0f : 1 - (t - style.peak) / (1 - style.peak);
  const float coreRadius = w * style.reach * (0.35f + 0.65f * grow) * (0.6f + 0.4f * fade);
  c.Fill(Circle(cx, cy, coreRadius), [=](float x, float y) {
    const float d = std::hypot(x - cx, y - cy) / coreRadius;
    return WithAlpha(Mix(style.core, style.outer, d), fade * (1 - d * d));
  });
  if (style.ring) {
    const float ringRadius = w * style.reach * (0.2f + 0.8f * t);
    c.Fill(Ring(cx, cy, ringRadius, 1.5f + 2 * fade), Solid(WithAlpha(style.outer, fade * 0.9f)));
  }
  Random random(style.seed);
  for (int i = 0; i < style.sparks; ++i) {
    const float angle = static_cast<float>(random.Range(0, 2 * kPi));
    const float speed = static_cast<float>(random.Range(0.5, 1.0));
    const float d = w * style.reach * speed * (0.15f + 0.85f * t);
    const float x = cx + std::cos(angle) * d, y = cy + std::sin(angle) * d;
    const float tail = w * 0.06f * (1 - t);
    c.Fill(Segment(x, y, x - std::cos(angle) * tail, y - std::sin(angle) * tail, 1.1f),
           Solid(WithAlpha(Mix(style.core, style.outer, t), 1 - t * t)));
  }
}

// Pieces that fly apart and fall, drawn in normal mode.
void PaintShatter(Canvas& c, float t, const Rgba& colour, unsigned seed) {
  const float cx = c.Width() / 2.0f, cy = c.Height() / 2.0f;
  Random random(seed);
  // Pieces start where the brick was and fly apart, falling and fading.
  for (int i = 0; i < 12; ++i) {
    const float startX = static_cast<float>(random.Range(-16, 16)), startY = static_cast<float>(random.Range(-6, 6));
    const float vx = startX * 1.2f + static_cast<float>(random.Range(-8, 8)),
                vy = static_cast<float>(random.Range(-24, 0));
    const float size = static_cast<float>(random.Range(4, 8));
    const float spin = static_cast<float>(random.Range(-6, 6));
    const float x = cx + startX + vx * t, y = cy + startY + vy * t + 44 * t * t;
    const float a = spin * t;
    std::vector<float> points;
    for (int k = 0; k < 3; ++k) {
      const float angle = a + k * 2.1f + (k == 2 ? 0.4f : 0.0f);
      points.push_back(x + std::cos(angle) * size);
      points.push_back(y + std::sin(angle) * size * 0.7f);
    }
    const Rgba piece = Shade(colour, 0.8f + 0.5f * static_cast<float>(random.Unit()));
    c.Fill(Polygon(points), Solid(WithAlpha(piece, 1 - t * t)));
  }
}

void PaintFlame(Canvas& c, float phase, unsigned seed) {
  const float w = static_cast<float>(c.Width()), cx = w / 2, cy = c.Height() / 2.0f;
  const float length = cy + 2, radius = 9;
  // A tongue of fire round the ball at the centre, trailing upwards; the game turns it to trail behind.
  c.Generate([=](float x, float y) {
    const float up = Clamp01((cy + radius * 0.6f - y) / (length + radius * 0.6f));
    const float flicker = Noise(x * 1.5f, y * 1.5f + phase * 48, seed, 3, 8);
    const float halfWidth = radius * std::pow(1 - up, 0.8f) * (0.75f + 0.5f * flicker);
    const float across = std::fabs(x - cx) / std::max(halfWidth, 0.5f);
    const float body = Clamp01(1.2f - across) * Clamp01((1 - up) * 1.6f);
    const float halo = Clamp01(1 - std::hypot(x - cx, y - cy) / (radius + 4));
    const float a = Clamp01(std::max(body, halo * 0.7f));
    const Rgba colour = Mix(Mix(Hex(0xFFFFD0), Hex(0xFFA020), Clamp01(across + up * 0.8f)), Hex(0xE02000), up);
    return WithAlpha(colour, a);
  });
}

void PaintAura(Canvas& c, float phase, const Rgba& colour) {
  const float r = c.Width() / 2.0f;
  c.Fill(Ring(r, r, r - 4, 2.0f), [=](float x, float y) {
    const float angle = std::atan2(y - r, x - r) + phase * 2 * kPi;
    return WithAlpha(colour, 0.35f + 0.65f * (0.5f + 0.5f * std::sin(angle * 4)));
  });
  c.Fill(Circle(r, r, r - 6),
         [=](float x, float y) { return WithAlpha(colour, 0.25f * Clamp01(std::hypot(x - r, y - r) / (r - 6))); });
}

void PaintBounceBar(Canvas& c, float phase) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  c.Fill(RoundBox(0, 0, w, h, h / 2), [=](float x, float y) {
    const float wave = 0.5f + 0.5f * std::sin(x / 23 - phase * 2 * kPi);
    const float edge = 1 - std::fabs(y - h / 2) / (h / 2);
    return WithAlpha(Mix(Hex(0x1860FF), Hex(0xB0F0FF), wave * edge), 0.55f + 0.45f * edge);
  });
}

BurstStyle BombStyle(unsigned core, unsigned outer, int sparks, bool ring, unsigned seed) {
  return {Hex(core), Hex(outer), sparks, 0.48f, ring, seed, 5.5f / 12};
}

void MakeEffectImages(DataOutput& out) {
  const std::map<std::string, BurstStyle> bursts = {
      {"explode", {Hex(0xFFFFE0), Hex(0xFF7A10), 18, 0.45f, true, 11, 0.3f}},
      {"hitexplode", {Hex(0xFFFFFF), Hex(0x60C0FF), 12, 0.45f, false, 12, 0.2f}},
      {"hitexplode2", {Hex(0xFFFFFF), Hex(0xFFD040), 12, 0.45f, false, 13, 0.2f}},
      {"hitexplode3", {Hex(0xFFFFFF), Hex(0xB070FF), 12, 0.45f, false, 14, 0.2f}},
      {"hitfireexplode", {Hex(0xFFF8C0), Hex(0xFF4A00), 20, 0.45f, true, 15, 0.3f}},
      {"hitfireball2", {Hex(0xFFF0A0), Hex(0xE02000), 20, 0.45f, true, 16, 0.3f}},
      {"hitfireball3", {Hex(0xFFFFD0), Hex(0xFF9A00), 20, 0.45f, true, 17, 0.3f}},
      {"shootfire", {Hex(0xFFFFE0), Hex(0xFF8000), 6, 0.4f, false, 18, 0.3f}},
      {"largeredbom", BombStyle(0xFFF4D0, 0xFF2A10, 28, true, 21)},
      {"largetrailbom", BombStyle(0xFFFFE8, 0xFF8A20, 36, false, 22)},
      {"middleflashbom", BombStyle(0xFFFFFF, 0x80C8FF, 20, true, 23)},
      {"middlestarbom", BombStyle(0xFFFFE0, 0xFFD020, 24, false, 24)},
      {"middletrailbom", BombStyle(0xFFF0E0, 0xFF6020, 30, false, 25)},
      {"littleballbom", BombStyle(0xFFFFFF, 0x40FF90, 14, true, 26)},
      {"smallballbom", BombStyle(0xFFFFF0, 0xFFA040, 16, true, 27)},
      {"smallbluebom", BombStyle(0xF0FFFF, 0x3070FF, 16, true, 28)},
      {"smallredbom", BombStyle(0xFFF0F0, 0xFF2020, 16, true, 29)},
      {"smallyellowbom", BombStyle(0xFFFFF0, 0xFFE020, 20, true, 30)}};
  const std::map<std::string, std::pair<unsigned, unsigned>> shatters = {
      {"hitshatter1a", {0xC8D8F0, 41}}, {"dead2", {0xE0A060, 42}}, {"dead3", {0xB0B8C8, 43}}};

  for (const Animation& animation : Animations()) {
    CelPainter painter;
    const float last = static_cast<float>(animation.cels - 1);
    if (auto burst = bursts.find(animation.name); burst != bursts.end()) {
      const BurstStyle style = burst->second;
      painter = [style, last](Canvas& c, int cel, float) { PaintBurst(c, cel / last, style); };
    } else if (auto shatter = shatters.find(animation.name); shatter != shatters.end()) {
      const auto look = shatter->second;
      painter = [look, last](Canvas& c, int cel, float) { PaintShatter(c, cel / last, Hex(look.first), look.second); };
    } else if (animation.name == "fire") {
      painter = [](Canvas& c, int, float phase) { PaintFlame(c, phase, 5); };
    } else if (animation.name == "makeball") {
      painter = [](Canvas& c, int, float phase) { PaintAura(c, phase, Hex(0x60E0FF)); };
    } else if (animation.name == "newball") {
      painter = [](Canvas& c, int, float phase) { PaintAura(c, -phase, Hex(0x70FF70)); };
    } else if (animation.name == "bounce") {
      painter = [](Canvas& c, int, float phase) { PaintBounceBar(c, phase); };
    } else {
      continue;
    }
    out.AddImage(animation.imageId, animation.name, Strip(animation, painter), Cels(animation.cels));
  }
}

void MakeMovers(DataOutput& out) {
  const auto ball = [&](const char* name, unsigned light, unsigned dark, unsigned band) {
    const Animation& animation = AnimationNamed(name);
    out.AddImage(
        animation.imageId, name,
        Strip(animation, [=](Canvas& c, int, float phase) { PaintBall(c, phase, Hex(light), Hex(dark), Hex(band)); }),
        Cels(animation.cels));
  };
  ball("largeball", 0xF4F8FF, 0x3A4A78, 0x8098D0);
  ball("smallball", 0xFFF4F8, 0x6A2A58, 0xD070B0);
  ball("fireball", 0xFFF6B0, 0xC02800, 0xFF8000);
  for (const char* name : {"paddlelong", "paddlemiddle", "paddleshort"}) {
    const Animation& animation = AnimationNamed(name);
    out.AddImage(animation.imageId, name, Strip(animation, [](Canvas& c, int, float phase) { PaintPaddle(c, phase); }),
                 Cels(animation.cels));
  }
  TextPainter label(Face::kSansBold, 10);
  for (const std::string& name : PowerUps()) {
    const Animation& animation = AnimationNamed(name);
    out.AddImage(animation.imageId, name,
                 Strip(animation, [&](Canvas& c, int, float phase) { PaintCapsule(c, phase, name, label); }),
                 Cels(animation.cels));
  }
}

void MakeFlares(DataOutput& out) {
  // The ready flare: light rising from the paddle, drawn additively, ten cels.
  Animation flare{"flare", "IMAGE_FLARE", 160, 72, 10, 1, kWrap, 1};
  out.AddImage("IMAGE_FLARE", "flare",
               Strip(flare,
                     [](Canvas& c, int cel, float) {
                       const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
                       const float strength = std::sin((cel + 0.5f) / 10 * kPi);
                       c.Generate([=](float x, float y) {
                         const float dx = (x - w / 2) / (w / 2), dy = (h - y) / h;
                         const float glow = Clamp01(1 - dx * dx - dy * 1.2f) * strength;
                         const float beams = 0.5f + 0.5f * std::cos(dx * 9 + cel * 0.9f);
                         return WithAlpha(Mix(Hex(0x2060FF), Hex(0xC0F0FF), glow), glow * (0.5f + 0.5f * beams));
                       });
                     }),
               Cels(10));
  // The brick reveal: a star that opens and closes over sixteen cels.
  Animation star{"flarebrick", "IMAGE_FLAREBRICK", 64, 64, 16, 1, kPlayOnce, 0};
  out.AddImage("IMAGE_FLAREBRICK", "flarebrick",
               Strip(star,
                     [](Canvas& c, int cel, float) {
                       const float size = std::sin((cel + 0.5f) / 16 * kPi);
                       const float r = 30 * size, turn = cel * 0.12f;
                       c.Fill(Circle(32, 32, 12 * size + 1), [=](float x, float y) {
                         return WithAlpha(Hex(0xFFFFFF),
                                          0.7f * Clamp01(1 - std::hypot(x - 32, y - 32) / (12 * size + 1)));
                       });
                       for (int k = 0; k < 4; ++k) {
                         const float a = turn + k * kPi / 4;
                         const float length = (k % 2 == 0 ? r : r * 0.6f);
                         c.Fill(Segment(32 - std::cos(a) * length, 32 - std::sin(a) * length, 32 + std::cos(a) * length,
                                        32 + std::sin(a) * length, 1.2f),
                                Solid(WithAlpha(Hex(0xE0F4FF), 0.9f)));
                       }
                     }),
               Cels(16));
  Canvas dot(16, 16);
  dot.Generate([](float x, float y) {
    const float d = std::hypot(x - 8, y - 8) / 8;
    return WithAlpha(Hex(0xFFFFFF), Clamp01(1 - d) * Clamp01(1 - d));
  });
  out.AddImage("IMAGE_PTC1", "ptc1", dot);
}

}  // namespace

Canvas CapsulePicture(const std::string& powerUp) {
  const Animation& animation = AnimationNamed(powerUp);
  Canvas cel(animation.celWidth, animation.celHeight);
  TextPainter label(Face::kSansBold, 10);
  PaintCapsule(cel, 0.5f, powerUp, label);
  return cel;
}

Canvas BrickPicture(const BrickKind& brick) {
  Canvas cel(BrickWidth(brick), BrickHeight(brick));
  TextPainter question(Face::kSansBold, 14);
  PaintBrick(cel, brick, 0, question);
  return cel;
}

void MakeSprites(DataOutput& out) {
  MakeBrickImages(out);
  MakeMovers(out);
  MakeEffectImages(out);
  MakeFlares(out);
}

}  // namespace gamedata
