#include "game/data/HelpPages.h"

#include <string>
#include <vector>

#include "game/data/Canvas.h"
#include "game/data/Catalog.h"
#include "game/data/DataOutput.h"
#include "game/data/Sprites.h"
#include "game/data/TextPainter.h"

namespace gamedata {
namespace {

struct PowerUpHelp {
  const char* name;
  const char* text;
};

// What each capsule does, in the order of the help picture; the page names each by the word on it.
const std::vector<PowerUpHelp>& PowerUpTexts() {
  static const std::vector<PowerUpHelp> texts = {
      {"ups_addlive", "Extra life"},
      {"ups_threeball", "Splits a ball in three"},
      {"ups_eightball", "Splits a ball in eight"},
      {"ups_fireball", "Fire ball: burns any brick"},
      {"ups_thru", "Through ball: never bounces"},
      {"ups_newball", "New ball: broken bricks let out balls"},
      {"ups_largeball", "Large ball"},
      {"ups_smallball", "Small ball"},
      {"ups_longpaddle", "Longer paddle"},
      {"ups_shortpaddle", "Shorter paddle"},
      {"ups_addvel", "Faster balls"},
      {"ups_subvel", "Slower balls"},
      {"ups_up", "Bricks move up"},
      {"ups_down", "Bricks move down"},
      {"ups_bounce", "Shield: one bounce at the bottom"},
      {"ups_convert", "Softens bricks, iron turns to stone"},
      {"ups_explode", "Sets off an explosive brick"},
      {"ups_reverse", "Reverses every ball"},
      {"ups_sublive", "Bomb: costs the ball"},
      {"ups_cannon", "Cannon: jams, only scores"},
  };
  return texts;
}

const BrickKind& BrickNamed(const std::string& name) {
  for (const BrickKind& brick : Bricks())
    if (brick.Name() == name) return brick;
  return Bricks().front();
}

struct BrickHelp {
  const char* name;
  const char* text;
};

const std::vector<BrickHelp>& BrickTexts() {
  static const std::vector<BrickHelp> texts = {{"brick_aa_018", "Breaks at the first hit"},
                                               {"brick_bb_018", "Framed: takes two hits"},
                                               {"brick_cc_018", "Armoured: takes three hits"},
                                               {"brick_dd_001", "Iron: many hits, fire melts it"},
                                               {"brick_ee_001", "Explosive: blows up its neighbours"},
                                               {"brick_ff_003", "Power brick: capsules at every hit"},
                                               {"brick_gg_001", "Red swirl: throws the ball faster"},
                                               {"brick_hh_001", "Blue swirl: throws it slower"},
                                               {"brick_ii_001", "Portal: sends the ball to another"}};
  return texts;
}

void HelpPicture(DataOutput& out) {
  Canvas c(800, 600);
  c.Generate([](float x, float y) {
    const float n = Noise(x, y, 201, 4, 180);
    return Mix(Mix(Hex(0x050A1C), Hex(0x101C40), y / 600), Hex(0x301A50), Clamp01(n - 0.5f));
  });
  TextPainter title(Face::kSerifBold, 30), heading(Face::kSansBold, 15), body(Face::kSans, 13);
  title.DrawCaption(c, "How to play", 400, 44, Solid(Hex(0xFFE8A0)), Hex(0x000000), 2);
  const auto panel = [&](float x0, float y0, float x1, float y1) {
    c.Fill(RoundBox(x0, y0, x1, y1, 10), Solid(Hex(0x000000, 0.45f)));
    c.Fill(
        [=](float x, float y) {
          return std::max(RoundBox(x0, y0, x1, y1, 10)(x, y),
                          -RoundBox(x0 + 1.5f, y0 + 1.5f, x1 - 1.5f, y1 - 1.5f, 8.5f)(x, y));
        },
        Solid(Hex(0x97BCFB, 0.8f)));
  };
  const Paint text = Solid(Hex(0xE0E8FF)), head = Solid(Hex(0x97BCFB));
  // Left: the rules and the bricks.
  panel(14, 64, 386, 536);
  heading.Draw(c, "The game", 28, 88, head);
  const char* const rules[] = {"Move the mouse to steer the paddle; click to",
                               "launch the ball. Break every coloured brick to",
                               "clear the level: ten levels make a scene.", "Right click or Escape pauses the game."};
  float y = 108;
  for (const char* line : rules) {
    body.Draw(c, line, 28, y, text);
    y += 17;
  }
  heading.Draw(c, "Bricks", 28, y + 12, head);
  y += 32;
  for (const BrickHelp& help : BrickTexts()) {
    const Canvas brick = BrickPicture(BrickNamed(help.name));
    c.Draw(brick, 28 + (50 - brick.Width()) / 2, static_cast<int>(y) - brick.Height() / 2 - 4);
    body.Draw(c, help.text, 90, y + 1, text);
    y += 36;
  }
  // Right: the capsules.
  panel(400, 64, 786, 536);
  heading.Draw(c, "Capsules (catch them with the paddle)", 414, 88, head);
  y = 112;
  for (const PowerUpHelp& help : PowerUpTexts()) {
    c.Draw(CapsulePicture(help.name), 414, static_cast<int>(y) - 15);
    body.Draw(c, help.text, 468, y + 1, text);
    y += 21;
  }
  c.Fill(RoundBox(10, 544, 790, 590, 10), Solid(Hex(0x000000, 0.4f)));
  out.AddImage("IMAGE_HELP", "help", c);
}

std::string HelpPage() {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Quarvel - help</title>\n"
      "<style>body{font-family:sans-serif;max-width:46em;margin:2em auto;background:#0a1020;color:#e0e8ff}"
      "h1,h2{color:#97bcfb}td{padding:2px 10px}th{text-align:left;color:#97bcfb}</style>\n</head>\n<body>\n"
      "<h1>Quarvel</h1>\n"
      "<p>Quarvel is a brick-breaking game. Keep the ball in play with your paddle and break every coloured "
      "brick of a level to clear it. Ten levels make a scene; there are ten scenes, each harder than the one "
      "before.</p>\n"
      "<h2>Controls</h2>\n<table>\n"
      "<tr><td>Mouse</td><td>moves the paddle</td></tr>\n"
      "<tr><td>Left click</td><td>launches the ball; skips the bricks' entrance at the start of a level</td></tr>\n"
      "<tr><td>Right click, Escape</td><td>pauses the game and opens the game menu</td></tr>\n</table>\n"
      "<h2>Rules</h2>\n<ul>\n"
      "<li>You start with three lives. A ball that falls below the paddle is lost; when no ball is left you "
      "lose a life.</li>\n"
      "<li>Where the ball meets the paddle decides where it goes: the ends of the paddle send it out at a "
      "steep angle.</li>\n"
      "<li>Every hit on a brick scores 2 points; every capsule you catch scores 3.</li>\n"
      "<li>Your progress and your game are saved after every level: choose the scene again to continue.</li>\n"
      "<li>The difficulty (Game Options) sets the ball's speed, how tough iron bricks are and which capsules "
      "fall.</li>\n</ul>\n"
      "<h2>Bricks</h2>\n<table>\n";
  for (const BrickHelp& help : BrickTexts()) html += std::string("<tr><td>") + help.text + "</td></tr>\n";
  html += "</table>\n<h2>Capsules</h2>\n<table>\n";
  for (const PowerUpHelp& help : PowerUpTexts())
    html += "<tr><td><b>" + PowerUpLabel(help.name) + "</b></td><td>" + help.text + "</td></tr>\n";
  html +=
      "</table>\n<h2>Custom levels</h2>\n<p>The Custom button of the main menu loads level files "
      "(<code>.lvx</code>) from the folder <code>custom</code>; two samples come with the game.</p>\n"
      "<h2>Your files</h2>\n<p>Players, high scores, custom levels you add, screenshots and crash reports are "
      "kept in your own folder, <code>$XDG_DATA_HOME/quarvel</code> (normally "
      "<code>~/.local/share/quarvel</code>). The game's own data is never changed.</p>\n</body>\n</html>\n";
  return html;
}

}  // namespace

void MakeHelp(DataOutput& out) {
  HelpPicture(out);
  out.WriteFile("doc/gamehelp.htm", HelpPage());
}

}  // namespace gamedata
