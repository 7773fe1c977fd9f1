#include "game/data/Catalog.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "game/play/ResourceIdList.h"

namespace gamedata {
namespace {

std::vector<std::string> ImageIds() {
  std::vector<std::string> ids;
#define QUARVEL_COLLECT_IMAGE(kind, name) \
  if (std::string(#kind) == "IMAGE") ids.emplace_back(#name);
  QUARVEL_RESOURCE_IDS(QUARVEL_COLLECT_IMAGE)
#undef QUARVEL_COLLECT_IMAGE
  return ids;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Animation Looping(const std::string& name, int width, int height, int cels, int delay, int drawMode = 0) {
  return {name, "IMAGE_" + Upper(name), width, height, cels, delay, kWrap, drawMode};
}

// An effect that plays once and ends by its frames.
Animation Once(const std::string& name, int width, int height, int cels, int delay, int drawMode = 0) {
  return {name, "IMAGE_" + Upper(name), width, height, cels, delay, kPlayOnce, drawMode};
}

}  // namespace

std::string BrickKind::Name() const {
  char number3[8];
  std::snprintf(number3, sizeof number3, "%03d", number);
  return "brick_" + code + "_" + number3;
}

std::string BrickKind::ImageId() const { return "IMAGE_" + Upper(Name()); }

const std::vector<BrickKind>& Bricks() {
  static const std::vector<BrickKind> bricks = [] {
    std::vector<BrickKind> out;
    for (const std::string& id : ImageIds()) {
      if (id.rfind("IMAGE_BRICK_", 0) != 0) continue;
      out.push_back({Lower(id.substr(12, 2)), std::stoi(id.substr(15))});
    }
    return out;
  }();
  return bricks;
}

// Numbers give the look; the family of a number fixes its size, so a brick keeps its size when it
// weakens ("cc" to "bb" to "aa") or when an iron brick is converted.
int BrickWidth(const BrickKind& brick) {
  if (brick.code == "ff" || brick.code == "gg" || brick.code == "hh" || brick.code == "ii") return 30;
  if (brick.code == "aa" && brick.number <= 14) return 50;
  if (brick.code == "aa" && brick.number >= 43) return 25;
  return 40;
}

int BrickHeight(const BrickKind& brick) { return BrickWidth(brick) == 30 ? 30 : 20; }

int BrickCels(const BrickKind& brick) { return BrickWidth(brick) == 30 ? 8 : 1; }

const std::vector<Animation>& Animations() {
  static const std::vector<Animation> animations = [] {
    std::vector<Animation> out;
    for (const BrickKind& brick : Bricks()) {
      const int cels = BrickCels(brick);
      out.push_back(
          {brick.Name(), brick.ImageId(), BrickWidth(brick), BrickHeight(brick), cels, cels > 1 ? 5 : 1, kWrap, 0});
    }
    out.push_back(Looping("largeball", 16, 16, 8, 3));
    out.push_back(Looping("smallball", 10, 10, 8, 3));
    out.push_back(Looping("fireball", 16, 16, 8, 3));
    out.push_back(Looping("paddlelong", 128, 18, 8, 4));
    out.push_back(Looping("paddlemiddle", 88, 18, 8, 4));
    out.push_back(Looping("paddleshort", 56, 18, 8, 4));
    out.push_back(Looping("fire", 40, 40, 6, 3, 1));
    out.push_back(Looping("makeball", 30, 30, 6, 3, 1));
    out.push_back(Looping("newball", 30, 30, 6, 3, 1));
    out.push_back(Looping("bounce", 800, 10, 6, 4, 0));
    for (const std::string& name : PowerUps()) out.push_back(Looping(name, 44, 22, 8, 5));
    out.push_back(Once("explode", 64, 64, 10, 3, 1));
    out.push_back(Once("shootfire", 24, 48, 6, 2, 1));
    out.push_back(Once("hitexplode", 48, 48, 8, 2, 1));
    out.push_back(Once("hitexplode2", 48, 48, 8, 2, 1));
    out.push_back(Once("hitexplode3", 48, 48, 8, 2, 1));
    out.push_back(Once("hitfireexplode", 64, 64, 10, 2, 1));
    out.push_back(Once("hitfireball2", 64, 64, 10, 2, 1));
    out.push_back(Once("hitfireball3", 64, 64, 10, 2, 1));
    out.push_back(Once("hitshatter1a", 64, 64, 10, 3, 0));
    out.push_back(Once("dead2", 64, 64, 10, 3, 0));
    out.push_back(Once("dead3", 64, 64, 10, 3, 0));
    // Bombs: frame 5 is the blast that strikes the bricks around them.
    out.push_back(Once("largeredbom", 144, 144, 12, 3, 1));
    out.push_back(Once("largetrailbom", 144, 144, 12, 3, 1));
    out.push_back(Once("middleflashbom", 112, 112, 12, 3, 1));
    out.push_back(Once("middlestarbom", 112, 112, 12, 3, 1));
    out.push_back(Once("middletrailbom", 112, 112, 12, 3, 1));
    out.push_back(Once("littleballbom", 80, 80, 10, 3, 1));
    out.push_back(Once("smallballbom", 80, 80, 10, 3, 1));
    out.push_back(Once("smallbluebom", 80, 80, 10, 3, 1));
    out.push_back(Once("smallredbom", 80, 80, 10, 3, 1));
    out.push_back(Once("smallyellowbom", 80, 80, 12, 4, 1));
    return out;
  }();
  return animations;
}

const Animation& AnimationNamed(const std::string& name) {
  for (const Animation& animation : Animations())
    if (animation.name == name) return animation;
  throw std::runtime_error("no animation named " + name);
}

const std::vector<std::string>& PowerUps() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const std::string& id : ImageIds())
      if (id.rfind("IMAGE_UPS_", 0) == 0) out.push_back(Lower(id.substr(6)));
    return out;
  }();
  return names;
}

const std::string& PowerUpLabel(const std::string& powerUp) {
  static const std::map<std::string, std::string> labels = {
      {"ups_down", "DOWN"},         {"ups_addvel", "FAST"},    {"ups_subvel", "SLOW"},
      {"ups_newball", "NEW"},       {"ups_fireball", "FIRE"},  {"ups_up", "UP"},
      {"ups_largeball", "BIG"},     {"ups_smallball", "TINY"}, {"ups_longpaddle", "LONG"},
      {"ups_shortpaddle", "SHORT"}, {"ups_explode", "BOOM"},   {"ups_threeball", "x3"},
      {"ups_eightball", "x8"},      {"ups_thru", "THRU"},      {"ups_reverse", "REV"},
      {"ups_cannon", "GUN"},        {"ups_sublive", "-1"},     {"ups_addlive", "+1"},
      {"ups_bounce", "WALL"},       {"ups_convert", "SOFT"}};
  return labels.at(powerUp);
}

const std::vector<IronConversion>& IronConversions() {
  static const std::vector<IronConversion> table = {{"brick_dd_001", "brick_cc_018"}, {"brick_dd_002", "brick_cc_019"},
                                                    {"brick_dd_003", "brick_cc_020"}, {"brick_dd_004", "brick_cc_025"},
                                                    {"brick_dd_005", "brick_cc_026"}, {"brick_dd_006", "brick_cc_040"},
                                                    {"brick_dd_007", "brick_cc_042"}};
  return table;
}

}  // namespace gamedata
