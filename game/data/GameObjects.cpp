#include "game/data/GameObjects.h"

#include <vector>

#include "game/data/Catalog.h"
#include "game/data/ObjectRecords.h"

namespace gamedata {
namespace {

// The effects of a brick picture family: a spark for a hit it survives, pieces when it breaks, a
// burst when a fire ball burns it.
struct EffectSet {
  const char* hit;
  const char* dead;
  const char* fire;
};

EffectSet EffectsOfNumber(int number) {
  if (number <= 26) return {"hitexplode", "hitshatter1a", "hitfireexplode"};
  if (number <= 42) return {"hitexplode2", "dead2", "hitfireball2"};
  return {"hitexplode3", "dead3", "hitfireball3"};
}

// Explosive bricks: the first animation of each of their effects is the bomb that strikes the bricks
// around them.
const char* BombOf(int number) {
  static const char* const bombs[] = {"largeredbom",   "middleflashbom", "middlestarbom",
                                      "smallredbom",   "smallbluebom",   "smallballbom",
                                      "littleballbom", "largetrailbom",  "middletrailbom"};
  return bombs[(number - 1) % 9];
}

std::string Record(const BrickKind& brick) {
  const EffectSet set = EffectsOfNumber(brick.number);
  std::string hit, dead, fire, blast;
  const std::string code = brick.code;
  if (code == "aa" || code == "bb" || code == "cc") {
    hit = code == "aa" ? "" : set.hit;
    dead = set.dead;
    fire = set.fire;
    blast = std::string("explode:") + set.dead;
  } else if (code == "dd") {
    hit = "hitexplode2";
    dead = "dead3";
    fire = "hitfireball3";
    blast = "explode:dead3";
  } else if (code == "ee") {
    const std::string bomb = BombOf(brick.number);
    dead = bomb + ":hitshatter1a";
    fire = bomb + ":hitfireexplode";
    blast = bomb;
  } else if (code == "ff") {
    hit = "hitexplode3";
    dead = "explode:dead2";
    fire = "hitfireball2";
    blast = "explode";
  } else {
    hit = "hitexplode";
  }
  std::string text = "brick=" + brick.Name() + "\n";
  if (!hit.empty()) text += "hitname=" + hit + "\n";
  if (!dead.empty()) text += "deadname=" + dead + "\n";
  if (!blast.empty()) text += "explodename=" + blast + "\n";
  if (!fire.empty()) text += "fireballname=" + fire + "\n";
  return text;
}

}  // namespace

ObjectRecord RecordOf(const Animation& animation) {
  ObjectRecord record;
  record.name = animation.name;
  record.imageName = animation.imageId;
  record.width = static_cast<float>(animation.celWidth);
  record.height = static_cast<float>(animation.celHeight);
  record.frameCount = animation.cels;
  record.frameStep = animation.cels > 1 ? 1 : 0;
  record.frameDelay = animation.frameDelay;
  record.frameMode = animation.frameMode;
  record.drawMode = animation.drawMode;
  return record;
}

std::string EffectTable() {
  std::string text =
      "# Brick effects: after each brick= line, the animations played when it is hit (hitname), breaks\n"
      "# (deadname), is blown up (explodename) or burnt (fireballname); two names are joined by ':'.\n";
  for (const BrickKind& brick : Bricks()) text += Record(brick);
  return text;
}

std::string TemplateFile() {
  std::vector<ObjectRecord> prototypes;
  for (const Animation& animation : Animations()) {
    ObjectRecord record = RecordOf(animation);
    record.name = "template" + animation.name;
    prototypes.push_back(record);
  }
  return EncodeTemplates(prototypes);
}

}  // namespace gamedata
