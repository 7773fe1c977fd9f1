#include "game/data/Screens.h"

#include <cctype>
#include <cmath>
#include <string>

#include "game/data/Canvas.h"
#include "game/data/DataOutput.h"
#include "game/data/Random.h"
#include "game/data/TextPainter.h"

namespace gamedata {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

const Rgba kPanelEdge = Hex(0x97BCFB);
const Rgba kCaptionColour = Hex(0xE8F0FF);

// ---- backdrops ----------------------------------------------------------------------------------

void Stars(Canvas& c, unsigned seed, int count, float brightest) {
  Random random(seed);
  for (int i = 0; i < count; ++i) {
    const float x = static_cast<float>(random.Range(0, c.Width())), y = static_cast<float>(random.Range(0, c.Height()));
    const float size = static_cast<float>(random.Range(0.4, 1.0));
    const float light = brightest * static_cast<float>(random.Range(0.3, 1.0));
    const Rgba tint = Mix(Hex(0xFFFFFF), Hex(random.Below(2) ? 0xA0C0FF : 0xFFE0B0), 0.4f);
    c.Fill(Circle(x, y, size), Solid(WithAlpha(tint, light)), static_cast<int>(x) - 2, static_cast<int>(y) - 2,
           static_cast<int>(x) + 3, static_cast<int>(y) + 3, Blend::kAdd);
    if (size > 0.93f) {
      // The brightest stars get a small cross.
      const int ix = static_cast<int>(x), iy = static_cast<int>(y);
      const Rgba ray = WithAlpha(tint, light * 0.5f);
      c.Fill(Segment(x - 5, y, x + 5, y, 0.4f), Solid(ray), ix - 6, iy - 1, ix + 7, iy + 2, Blend::kAdd);
      c.Fill(Segment(x, y - 5, x, y + 5, 0.4f), Solid(ray), ix - 1, iy - 6, ix + 2, iy + 7, Blend::kAdd);
    }
  }
}

// Kind 0 and the menus: deep space with a nebula.
Canvas SpaceBackdrop() {
  Canvas c(kScreenWidth, kScreenHeight);
  c.Generate([](float x, float y) {
    const float n = Noise(x, y, 3, 5, 220);
    const float m = Noise(x + 500, y, 9, 4, 140);
    Rgba colour = Mix(Hex(0x03040E), Hex(0x0C1438), y / kScreenHeight);
    colour = Mix(colour, Hex(0x50207A), Clamp01((n - 0.45f) * 2.2f) * 0.7f);
    colour = Mix(colour, Hex(0x1A6A9A), Clamp01((m - 0.55f) * 2.5f) * 0.55f);
    return colour;
  });
  Stars(c, 4, 420, 0.9f);
  return c;
}

// Kind 1 behind the clouds: a stormy sky layer that tiles across 800 pixels.
Canvas CloudLayer() {
  Canvas c(kScreenWidth, kScreenHeight);
  c.Generate([](float x, float y) {
    const float n = Noise(x, y * 1.6f, 31, 6, 200, kScreenWidth);
    const float height = y / kScreenHeight;
    const Rgba sky = Mix(Hex(0x101830), Hex(0x2A3050), height);
    return Mix(sky, Mix(Hex(0x5A6488), Hex(0xB8C0D8), n), SmoothStep(0.35f, 0.8f, n) * (1 - height * 0.5f));
  });
  return c;
}

// Kind 1 in front: the silhouette of a city of towers under the storm, transparent above.
Canvas CityForeground() {
  Canvas c(kScreenWidth, kScreenHeight);
  Random random(51);
  float x = 0;
  while (x < kScreenWidth) {
    const float width = static_cast<float>(random.Range(28, 70));
    const float top = static_cast<float>(random.Range(380, 520));
    c.Fill(RoundBox(x, top, x + width - 2, kScreenHeight + 4, 2),
           VerticalGradient(top, Hex(0x1A1E2E), kScreenHeight, Hex(0x05060A)));
    for (float wy = top + 8; wy < kScreenHeight - 6; wy += 12)
      for (float wx = x + 5; wx < x + width - 8; wx += 9)
        if (random.Below(5) == 0) c.Fill(RoundBox(wx, wy, wx + 4, wy + 5, 0.5f), Solid(Hex(0xFFD080, 0.85f)));
    x += width;
  }
  c.Fill(RoundBox(-10, 560, kScreenWidth + 10, kScreenHeight + 10, 4),
         VerticalGradient(560, Hex(0x0A0C14), 600, Hex(0x020204)));
  return c;
}

// A forked bolt of light from the top edge, on transparent ground (drawn additively), its glow clear of
// the sides.
constexpr float kLightningMargin = 10.0f;
Canvas Lightning(unsigned seed) {
  Canvas c(200, kScreenHeight);
  Random random(seed);
  std::function<void(float, float, float, float, int)> bolt = [&](float x, float y, float width, float drift,
                                                                  int depth) {
    while (y < kScreenHeight - 120 * depth && width > 0.3f) {
      float nx = x + drift * 14 + static_cast<float>(random.Range(-12, 12));
      // A branch that reaches a side turns back: the picture's edge would cut it off straight.
      if (nx < kLightningMargin || nx > c.Width() - kLightningMargin) {
        nx = std::clamp(nx, kLightningMargin, c.Width() - kLightningMargin);
        drift = -drift;
      }
      const float ny = y + static_cast<float>(random.Range(14, 30));
      c.Fill(Segment(x, y, nx, ny, width + 4), Solid(Hex(0x6080FF, 0.18f)));
      c.Fill(Segment(x, y, nx, ny, width), Solid(Hex(0xF0F4FF)));
      if (depth < 2 && random.Below(7) == 0)
        bolt(nx, ny, width * 0.6f, static_cast<float>(random.Range(-1, 1)), depth + 1);
      x = nx;
      y = ny;
      width *= 0.985f;
    }
  };
  bolt(100, 0, 2.2f, 0, 0);
  return c;
}

// Kind 2: a crystal cavern with a glowing falls of light on the right.
Canvas Cavern() {
  Canvas c(kScreenWidth, kScreenHeight);
  c.Generate([](float x, float y) {
    const float rock = Noise(x, y, 61, 6, 160);
    const float vein = std::fabs(Noise(x, y, 67, 4, 90) - 0.5f);
    Rgba colour = Mix(Hex(0x0A0612), Hex(0x24163A), rock);
    colour = Mix(colour, Hex(0x2A8A90), Clamp01(0.03f - vein) * 8);
    const float glow = Clamp01(1 - std::fabs(x - 690) / 160) * 0.35f;
    return Mix(colour, Hex(0x2A5A8A), glow);
  });
  Random random(71);
  for (int i = 0; i < 26; ++i) {
    const float x = static_cast<float>(random.Range(0, kScreenWidth)),
                base = static_cast<float>(random.Range(540, 610));
    const float height = static_cast<float>(random.Range(30, 110)), width = static_cast<float>(random.Range(10, 26));
    const Rgba tint = Mix(Hex(0x50E0D0), Hex(0xA070FF), static_cast<float>(random.Unit()));
    c.Fill(Polygon({x - width / 2, base, x, base - height, x + width / 2, base}),
           VerticalGradient(base - height, Shade(tint, 1.4f), base, Shade(tint, 0.3f)));
  }
  Stars(c, 72, 90, 0.5f);
  return c;
}

// The flash of the cavern's falls: a vertical curtain of light that rises and fades over 29 cels.
Canvas FallsFlash() {
  constexpr int kCels = 29, kWidth = 120, kHeight = 320;
  Canvas strip(kWidth * kCels, kHeight);
  for (int cel = 0; cel < kCels; ++cel) {
    const float t = (cel + 0.5f) / kCels, strength = std::sin(t * kPi);
    Canvas c(kWidth, kHeight);
    c.Generate([=](float x, float y) {
      const float column = std::exp(-std::pow((x - kWidth / 2.0f) / (14 + 30 * t), 2.0f));
      const float streaks = 0.6f + 0.4f * Noise(x * 3, y * 0.2f - t * 90, 81, 3, 16);
      const float reach = Clamp01((t * 1.6f * kHeight - y) / 60 + 1);
      return WithAlpha(Mix(Hex(0x4080FF), Hex(0xE0FFFF), column), column * streaks * strength * reach);
    });
    strip.Draw(c, cel * kWidth, 0);
  }
  return strip;
}

// A falling crystal shard of the cavern.
Canvas Shard() {
  Canvas c(14, 40);
  c.Fill(Polygon({7, 0, 13, 14, 7, 40, 1, 14}), VerticalGradient(0, Hex(0xE0FFFF), 40, Hex(0x3080C0, 0.2f)));
  c.Fill(Polygon({7, 2, 9, 14, 7, 34}), Solid(Hex(0xFFFFFF, 0.6f)));
  return c;
}

// ---- frames, panels and buttons -------------------------------------------------------------------

// The light of a rim from its top (y0) to its bottom (y1).
Paint RimLight(float y0, float y1, const Rgba& edge) {
  return VerticalGradient(y0, WithAlpha(edge, 0.95f), y1, WithAlpha(Shade(edge, 0.45f), 0.9f));
}

// The bright rim of every frame, lit from above, with a dark line outside it.
void Rim(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Paint& edge) {
  c.Fill(
      [=](float x, float y) {
        return std::max(RoundBox(x0, y0, x1, y1, radius)(x, y),
                        -RoundBox(x0 + 2, y0 + 2, x1 - 2, y1 - 2, radius - 2)(x, y));
      },
      Solid(Hex(0x02040C, 0.9f)));
  c.Fill(
      [=](float x, float y) {
        return std::max(RoundBox(x0 + 2, y0 + 2, x1 - 2, y1 - 2, radius - 2)(x, y),
                        -RoundBox(x0 + 3.5f, y0 + 3.5f, x1 - 3.5f, y1 - 3.5f, radius - 3.5f)(x, y));
      },
      edge);
}

// A glassy panel with a bright rim, the house style of every frame.
void Panel(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Paint& fill, const Paint& edge) {
  c.Fill(RoundBox(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), fill);
  Rim(c, x0, y0, x1, y1, radius, edge);
}
void Panel(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Rgba& top, const Rgba& bottom) {
  Panel(c, x0, y0, x1, y1, radius, VerticalGradient(y0, top, y1, bottom), RimLight(y0, y1, kPanelEdge));
}

enum class ButtonState { kUp, kOver, kDown };

Canvas Button(int width, int height, const std::string& caption, ButtonState state, int fontSize = 0) {
  Canvas c(width, height);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const float glow = state == ButtonState::kOver ? 1.25f : state == ButtonState::kDown ? 0.7f : 1.0f;
  const Rgba top = Shade(Hex(0x3A5CA8), glow), bottom = Shade(Hex(0x0C1634), glow);
  Panel(c, 0, 0, w, h, std::min(h / 2, 10.0f), state == ButtonState::kDown ? bottom : top,
        state == ButtonState::kDown ? top : bottom);
  c.Fill(RoundBox(5, 4, w - 5, h / 2, 4), Solid(Hex(0xFFFFFF, state == ButtonState::kDown ? 0.05f : 0.14f)));
  const int size = fontSize > 0 ? fontSize : std::max(11, std::min(18, height / 2 - 1));
  TextPainter text(Face::kSansBold, size);
  const float press = state == ButtonState::kDown ? 1.0f : 0.0f;
  const Rgba ink = state == ButtonState::kOver ? Hex(0xFFFFFF) : kCaptionColour;
  text.DrawCaption(c, caption, w / 2 + press, h / 2 + text.Ascent() * 0.36f + press,
                   VerticalGradient(0, ink, h, Shade(ink, 0.8f)), Hex(0x000814, 0.9f), 1);
  return c;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The up picture of a button and its mouse-over or held-down twin ("OVER" or "DOWN").
void AddButtonPair(DataOutput& out, const std::string& stem, const std::string& second, int width, int height,
                   const std::string& caption) {
  const std::string id = "IMAGE_BTN_" + stem + "_";
  out.AddImage(id + "UP", Lower("btn_" + stem + "_up"), Button(width, height, caption, ButtonState::kUp));
  out.AddImage(id + second, Lower("btn_" + stem + "_" + second),
               Button(width, height, caption, second == "OVER" ? ButtonState::kOver : ButtonState::kDown));
}

// A nine-slice frame: corners of a third of the picture each, the middle tiled. Its shading changes
// only within the outer thirds and is flat across the middle, so that the pieces join without a seam
// however far the middle is stretched.
Canvas NineSlice(int size, const Rgba& top, const Rgba& bottom) {
  Canvas c(size, size);
  const float s = static_cast<float>(size), third = static_cast<float>(size / 3);
  // 0 at the top edge, one half across the middle third, 1 at the bottom edge; level where it meets the
  // middle.
  const auto band = [=](float y) {
    if (y < third) return 0.5f * SmoothStep(0, third, y);
    if (y > s - third) return 0.5f + 0.5f * SmoothStep(s - third, s, y);
    return 0.5f;
  };
  const Paint light = RimLight(0, 1, kPanelEdge);
  Panel(
      c, 0, 0, s, s, s / 3 - 2, [=](float, float y) { return Mix(top, bottom, band(y)); },
      [=](float x, float y) { return light(x, band(y)); });
  // Keep the middle row and column flat so that tiling shows no seams.
  const int middle = size / 3;
  for (int y = 0; y < size; ++y)
    for (int x = middle; x < size - middle; ++x) c.At(x, y) = c.At(middle, y);
  for (int x = 0; x < size; ++x)
    for (int y = middle; y < size - middle; ++y) c.At(x, y) = c.At(x, middle);
  return c;
}

// The panel of the bottom right corner (110 x 62 at 690, 538) that holds a button at 705, 570 (78 x 24): a
// whole panel, rim all round, clear of the window's edges.
Canvas CornerTab(const Rgba& top, const Rgba& bottom) {
  Canvas c(110, 62);
  Panel(c, 1, 1, 109, 61, 10, top, bottom);
  return c;
}

// ---- the screens ----------------------------------------------------------------------------------

Canvas TitleLogo(int width, int height, int size) {
  Canvas c(width, height);
  TextPainter title(Face::kSerifBold, size);
  title.DrawCaption(
      c, "QUARVEL", width / 2.0f, height / 2.0f + title.Ascent() * 0.35f,
      [=](float, float y) { return Mix(Hex(0xFFF4C0), Hex(0xFF8A20), Clamp01((y - height * 0.3f) / (height * 0.4f))); },
      Hex(0x1A0A30), 3);
  return c;
}

void MakeLoader(DataOutput& out) {
  Canvas logo = SpaceBackdrop();
  logo.Draw(TitleLogo(800, 200, 96), 0, 60);
  Panel(logo, 193, 273, 607, 305, 8, Hex(0x0A1020), Hex(0x141C34));
  TextPainter text(Face::kSans, 14);
  text.Draw(logo, "Loading...", 400 - text.Width("Loading...") / 2.0f, 335, Solid(Hex(0x97BCFB)));
  out.AddImage("IMAGE_LOADER_LOGO", "loader_logo", logo);
  Canvas bar(402, 20);
  bar.Fill(RoundBox(0, 0, 402, 20, 6), [](float x, float y) {
    return Mix(Mix(Hex(0x2A70FF), Hex(0x60F0FF), x / 402), Hex(0xFFFFFF), Clamp01(1 - std::fabs(y - 6) / 5) * 0.5f);
  });
  out.AddImage("IMAGE_LOADER_BAR", "loader_bar", bar);
}

void MakeMenu(DataOutput& out) {
  // The smooth nebula stays PNG: JPEG blocks show in its dark gradients. The textured backdrops of the
  // levels are JPEG.
  out.AddImage("IMAGE_BACK", "back", SpaceBackdrop());
  Canvas title(598, 600);
  title.Draw(TitleLogo(598, 220, 104), 0, 90);
  TextPainter tag(Face::kSans, 18);
  tag.DrawCaption(title, "Break every brick. Catch every capsule.", 299, 330, Solid(Hex(0xC8D8FF)), Hex(0x000000, 0.8f),
                  1);
  out.AddImage("IMAGE_TITLE_CN", "title", title);
  // A glowing conduit along the bottom and up the menu's edge.
  Canvas pipe(800, 600);
  const auto conduit = [](float x, float y) {
    return std::min(Segment(0, 572, 598, 572, 5)(x, y), Segment(598, 0, 598, 572, 5)(x, y));
  };
  pipe.Fill(conduit, Solid(Hex(0x0C1426)));
  pipe.Fill([&](float x, float y) { return conduit(x, y) + 3; }, Solid(Hex(0x3A8AFF, 0.8f)));
  for (float x = 40; x < 598; x += 90) pipe.Fill(RoundBox(x, 565, x + 16, 579, 3), Solid(Hex(0x6A7A98)));
  // A calm dark ground under the menu's grey footer line (baseline 596), over the stars and particles.
  pipe.Fill(RoundBox(-10, 580, 597, 610, 0), VerticalGradient(580, Hex(0x02040C, 0.5f), 588, Hex(0x02040C, 0.85f)));
  out.AddImage("IMAGE_PIPE", "pipe", pipe);
  Canvas menu(202, 600);
  // Opaque, so that the particles behind never cross the captions and the welcome lines.
  Panel(menu, 6, 150, 196, 470, 14, Hex(0x0E1A3A), Hex(0x060A1A));
  Panel(menu, 8, 508, 194, 564, 10, Hex(0x0E1A3A), Hex(0x060A1A));
  TextPainter heading(Face::kSansBold, 15);
  heading.DrawCaption(menu, "MAIN MENU", 101, 140, Solid(Hex(0x97BCFB)), Hex(0x000000), 1);
  out.AddImage("IMAGE_MENU", "menu", menu);
  AddButtonPair(out, "START", "DOWN", 140, 44, "Play");
  AddButtonPair(out, "CUSTOM", "DOWN", 140, 44, "Custom");
  AddButtonPair(out, "OPTION", "DOWN", 140, 44, "Options");
  AddButtonPair(out, "REGISTER", "DOWN", 140, 44, "Scores");
  AddButtonPair(out, "QUIT", "DOWN", 140, 44, "Quit");
  AddButtonPair(out, "RESUME", "DOWN", 140, 44, "Resume");
  AddButtonPair(out, "MENU", "DOWN", 140, 44, "Main Menu");
  out.AddImage("IMAGE_BTN_CHANGE_PLAYER_UP", "btn_change_player_up",
               Button(159, 25, "Switch Player", ButtonState::kUp, 12));
  out.AddImage("IMAGE_BTN_CHANGE_PLAYER_OVER", "btn_change_player_over",
               Button(159, 25, "Switch Player", ButtonState::kOver, 12));
  out.AddImage("IMAGE_BTN_CHANGE_PLAYER_DOWN", "btn_change_player_down",
               Button(159, 25, "Switch Player", ButtonState::kDown, 12));
}

void MakeDialogParts(DataOutput& out) {
  out.AddImage("IMAGE_DIALOG_BOX", "dialog_box", NineSlice(60, Hex(0x1C2C58), Hex(0x0A1226)));
  out.AddImage("IMAGE_DIALOGM_BOX", "dialogm_box", NineSlice(60, Hex(0x2A1C50), Hex(0x0E0A24)));
  out.AddImage("IMAGE_DIALOG_BUTTON", "dialog_button", NineSlice(30, Hex(0x3A5CA8), Hex(0x0C1634)));
  Canvas check(40, 20);
  for (int half = 0; half < 2; ++half) {
    const float x = half * 20.0f;
    Panel(check, x + 1, 1, x + 19, 19, 4, Hex(0x1A2A50), Hex(0x080E20));
    if (half == 1) {
      check.Fill(
          [=](float px, float py) {
            return std::min(Segment(x + 5, 10, x + 9, 15, 1.6f)(px, py), Segment(x + 9, 15, x + 16, 4, 1.6f)(px, py));
          },
          Solid(Hex(0x80FF90)));
    }
  }
  out.AddImage("IMAGE_CHECKBOX", "checkbox", check, Cels(2));
  Canvas track(30, 10);
  track.Fill(RoundBox(0, 1, 30, 9, 4), Solid(Hex(0x02040C)));
  track.Fill(RoundBox(1, 2, 29, 8, 3), VerticalGradient(2, Hex(0x0A1430), 8, Hex(0x2A4A8A)));
  for (int y = 0; y < 10; ++y)
    for (int x = 10; x < 20; ++x) track.At(x, y) = track.At(10, y);
  out.AddImage("IMAGE_SLIDER_TRACK", "slider_track", track);
  Canvas thumb(20, 20);
  thumb.Fill(Circle(10, 10, 9), Solid(Hex(0x02040C)));
  thumb.Fill(Circle(10, 10, 8), VerticalGradient(2, Hex(0xE0ECFF), 18, Hex(0x4A6AB0)));
  thumb.Fill(Circle(10, 10, 3), Solid(Hex(0x2A70FF)));
  out.AddImage("IMAGE_SLIDER_THUMB", "slider_thumb", thumb);
  // Row icons of the file list: up, folder, file, selected file.
  Canvas icons(56, 14);
  icons.Fill(Polygon({7, 1, 13, 8, 9, 8, 9, 13, 5, 13, 5, 8, 1, 8}), Solid(Hex(0x97BCFB)));
  icons.Fill(RoundBox(15, 2, 21, 5, 1), Solid(Hex(0xE0B040)));
  icons.Fill(RoundBox(15, 4, 27, 13, 1.5f), VerticalGradient(4, Hex(0xFFD870), 13, Hex(0xC08020)));
  for (int i = 0; i < 2; ++i) {
    const float x = 30 + i * 14.0f;
    icons.Fill(Polygon({x + 1, 1, x + 9, 1, x + 12, 4, x + 12, 13, x + 1, 13}),
               Solid(i ? Hex(0x80FF90) : Hex(0xE8F0FF)));
    icons.Fill(RoundBox(x + 3, 6, x + 10, 7.5f, 0.5f), Solid(Hex(0x405070)));
    icons.Fill(RoundBox(x + 3, 9, x + 10, 10.5f, 0.5f), Solid(Hex(0x405070)));
  }
  out.AddImage("IMAGE_ALLICON", "allicon", icons, Cels(4));
}

// The bar behind the HUD of the level screens, which write the level (centred on x 125), the score (centred
// on x 399) and "Lives" with the lives (x 618 to 719) on it. Its signs for the level and the score lie
// right of x 218, where the scene select draws its heading over the bar: beside the heading the bar shows
// nothing. The signs' words are in the HUD's font and colour, so that they read like "Lives".
void MakeHintBar(DataOutput& out) {
  Canvas bar(800, 22);
  bar.Fill(RoundBox(-10, -10, 810, 22, 4), VerticalGradient(0, Hex(0x22366A), 22, Hex(0x080E22)));
  bar.Fill(RoundBox(-10, 21, 810, 22, 0), Solid(Hex(0x97BCFB, 0.9f)));
  // Two signs back to back between the level and the score, each pointing at its own.
  const Paint plate = VerticalGradient(3, Hex(0x3A5A9E), 19, Hex(0x1A2C5E));
  bar.Fill(Polygon({222, 11, 232, 3, 290, 3, 290, 19, 232, 19}), plate);
  bar.Fill(Polygon({294, 3, 352, 3, 362, 11, 352, 19, 294, 19}), plate);
  const Paint label = Solid(Hex(0xD2DEFF));
  TextPainter text(Face::kSansBold, 12);
  text.Draw(bar, "Level", 261 - text.Width("Level") / 2.0f, 16, label);
  text.Draw(bar, "Score", 323 - text.Width("Score") / 2.0f, 16, label);
  out.AddImage("IMAGE_HINTBAR", "hintbar", bar);
}

void MakeSceneSelect(DataOutput& out) {
  // Frames round the ten scene slots (buttons 180 x 106, progress text underneath).
  Canvas panel(800, 600);
  for (int i = 0; i < 10; ++i) {
    const int c = i % 4, r = i / 4;
    const float x = c * 200 + 5.0f + (i >= 8 ? 200 : 0), y = (r == 0 ? 62 : r == 1 ? 263 : 462) - 6.0f;
    Panel(panel, x, y, x + 192, y + 142, 10, Hex(0x0E1A3A), Hex(0x04081A));
  }
  out.AddImage("IMAGE_SELECTSCENE", "selectscene", panel);
  const unsigned themes[10][2] = {
      {0x1A3A8A, 0x60C0FF}, {0x2A1A6A, 0xB080FF}, {0x0A4A3A, 0x50F0B0}, {0x5A2A0A, 0xFFB050}, {0x4A0A2A, 0xFF6090},
      {0x1A4A6A, 0x90E0FF}, {0x3A3A0A, 0xF0E060}, {0x4A1A0A, 0xFF7040}, {0x0A2A4A, 0x40A0FF}, {0x2A0A3A, 0xFF50FF}};
  TextPainter number(Face::kSerifBold, 40);
  TextPainter word(Face::kSansBold, 13);
  for (int n = 1; n <= 10; ++n) {
    for (bool over : {false, true}) {
      Canvas b(180, 106);
      const Rgba dark = Hex(themes[n - 1][0]), light = Hex(themes[n - 1][1]);
      // A glimpse of the scene: its colours in a swirl of nebula, and a wall of its bricks.
      b.Fill(RoundBox(0, 0, 180, 106, 10), [&](float x, float y) {
        const float cloud = Noise(x + n * 97.0f, y, 100 + n, 4, 40);
        const Rgba sky = Mix(Shade(dark, 0.7f), Shade(light, 0.55f), Clamp01(cloud * 1.4f - 0.35f));
        return Shade(sky, over ? 1.3f : 1.0f);
      });
      for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 6; ++k) {
          const float x = 14 + k * 26.0f + (row ? 13 : 0), y = 12 + row * 13.0f;
          if (x + 22 > 170) continue;
          b.Fill(RoundBox(x, y, x + 22, y + 10, 2),
                 VerticalGradient(y, Shade(light, 1.4f), y + 10, Shade(light, 0.7f)));
        }
      Rim(b, 0, 0, 180, 106, 10, RimLight(0, 106, over ? Hex(0xFFFFFF) : kPanelEdge));
      const std::string digits = std::to_string(n);
      number.DrawCaption(b, digits, 90, 74, Solid(over ? Hex(0xFFFFFF) : Hex(0xE0E8FF)), Hex(0x000000, 0.8f), 2);
      word.DrawCaption(b, "SCENE", 90, 96, Solid(Hex(0xC8D8FF)), Hex(0x000000, 0.8f), 1);
      out.AddImage("IMAGE_BTN_SCENE" + digits + (over ? "_OVER" : "_UP"),
                   "btn_scene" + digits + (over ? "_over" : "_up"), b);
    }
  }
  // The back button's tab: an arrow pointing back above the button.
  Canvas tab = CornerTab(Hex(0x1A2A58), Hex(0x080E22));
  tab.Fill(Polygon({38, 17, 50, 8, 50, 13, 72, 13, 72, 21, 50, 21, 50, 26}),
           VerticalGradient(8, Hex(0xE8F0FF), 26, Hex(0x97BCFB)));
  out.AddImage("IMAGE_PREV", "prev", tab);
  AddButtonPair(out, "BACK", "OVER", 78, 24, "Back");
  // Drawn at (218, 0) over the hint bar, in the bar's own colours down to its bottom line, so that the two
  // read as one heading bar.
  Canvas sceneText(582, 22);
  sceneText.Fill(RoundBox(-10, -10, 592, 21, 0), VerticalGradient(0, Hex(0x22366A), 22, Hex(0x080E22)));
  TextPainter heading(Face::kSansBold, 14);
  heading.DrawCaption(sceneText, "SELECT A SCENE", 182, 16, Solid(Hex(0xFFFFFF)), Hex(0x000000), 1);
  out.AddImage("IMAGE_SCENETEXT", "scenetext", sceneText);
  Canvas hibar(184, 24);
  // Within the frame's rim: the bar lies over the bottom of a scene's frame.
  hibar.Fill(RoundBox(3, 1, 181, 20, 7),
             [](float x, float) { return WithAlpha(Hex(0xFFC020), 0.25f + 0.45f * (1 - std::fabs(x - 92) / 92)); });
  out.AddImage("IMAGE_HIBAR", "hibar", hibar);
}

void MakeLevelScreens(DataOutput& out) {
  Canvas next = CornerTab(Hex(0x1A4A38), Hex(0x06160E));
  TextPainter label(Face::kSansBold, 14);
  label.DrawCaption(next, "CLEARED!", 54, 24, Solid(Hex(0xB0FFC0)), Hex(0x000000), 1);
  out.AddImage("IMAGE_NEXTLEVEL", "nextlevel", next);
  AddButtonPair(out, "NEXTLEVEL", "OVER", 78, 24, "Next");
  // Game over: a round plate split in two halves that slide together, clamps at the screen edges and
  // the words laid over the joined plate.
  // The halves are as tall as the words' place needs to be centred on them (y 205 to 395).
  constexpr int kPlateWidth = 300, kPlateHeight = 190, kHalf = kPlateWidth / 2;
  Canvas plate(kPlateWidth, kPlateHeight);
  plate.Fill(RoundBox(0, 0, kPlateWidth, kPlateHeight, 40), Solid(Hex(0x02040C)));
  plate.Fill(RoundBox(2, 2, kPlateWidth - 2, kPlateHeight - 2, 38), [](float x, float y) {
    const float n = Noise(x, y, 141, 4, 50);
    return Mix(Hex(0x3A0A14), Hex(0x8A1A2A), n * (1 - y / 260));
  });
  plate.Fill(
      [](float x, float y) {
        return std::max(RoundBox(8, 8, kPlateWidth - 8, kPlateHeight - 8, 32)(x, y),
                        -RoundBox(11, 11, kPlateWidth - 11, kPlateHeight - 11, 29)(x, y));
      },
      Solid(Hex(0xFF9090, 0.8f)));
  Canvas left(kHalf, kPlateHeight), right(kHalf, kPlateHeight);
  left.Draw(plate, 0, 0);
  right.Draw(plate, -kHalf, 0);
  out.AddImage("IMAGE_GAMEOVER_LEFT", "gameover_left", left);
  out.AddImage("IMAGE_GAMEOVER_RIGHT", "gameover_right", right);
  Canvas clamp(42, 100);
  Panel(clamp, -20, 0, 42, 100, 14, Hex(0x5A6478), Hex(0x1A1E28));
  for (float y : {18.0f, 50.0f, 82.0f})
    clamp.Fill(Circle(26, y, 4), VerticalGradient(y - 4, Hex(0xFFFFFF), y + 4, Hex(0x404858)));
  out.AddImage("IMAGE_GAMEOVER_BASE", "gameover_base", clamp);
  Canvas words(172, 74);
  TextPainter big(Face::kSerifBold, 30);
  big.DrawCaption(words, "GAME", 86, 33, VerticalGradient(8, Hex(0xFFFFFF), 34, Hex(0xFFB0B0)), Hex(0x200008), 2);
  big.DrawCaption(words, "OVER", 86, 67, VerticalGradient(42, Hex(0xFFFFFF), 68, Hex(0xFFB0B0)), Hex(0x200008), 2);
  out.AddImage("IMAGE_GAMEOVER_TEXT", "gameover_text", words);
}

void MakeBackdrops(DataOutput& out) {
  out.AddImage("IMAGE_BACK2", "back2", CityForeground());
  out.AddImage("IMAGE_BACK2_CLOUD", "back2_cloud", CloudLayer(), Opaque());
  out.AddImage("IMAGE_BACK2_LIGHTING1", "back2_lighting1", Lightning(91));
  out.AddImage("IMAGE_BACK2_LIGHTING2", "back2_lighting2", Lightning(92));
  out.AddImage("IMAGE_BACK3", "back3", Cavern(), Opaque());
  out.AddImage("IMAGE_BACK3_VFLASH1", "back3_vflash1", FallsFlash(), Cels(29));
  out.AddImage("IMAGE_BACK3_VFLASH2", "back3_vflash2", Shard());
  // A round glow at the foot of the falls.
  Canvas glow(256, 128);
  glow.Generate([](float x, float y) {
    const float d = std::hypot((x - 128) / 128, (y - 128) / 128);
    return WithAlpha(Mix(Hex(0xE0FFFF), Hex(0x3070FF), d), Clamp01(1 - d) * 0.9f);
  });
  out.AddImage("IMAGE_BACK3_FLASH3", "back3_flash3", glow);
}

}  // namespace

Canvas MakeButtonPicture(int width, int height, const std::string& caption) {
  return Button(width, height, caption, ButtonState::kUp);
}

void MakeScreens(DataOutput& out) {
  MakeLoader(out);
  MakeMenu(out);
  MakeDialogParts(out);
  MakeHintBar(out);
  MakeSceneSelect(out);
  MakeLevelScreens(out);
  MakeBackdrops(out);
}

}  // namespace gamedata
