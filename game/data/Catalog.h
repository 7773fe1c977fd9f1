// What the game asks of its sprites: every animation the object library hands out by name, with the
// image it shows, its cel size and count and how it plays. The pictures, the template file and the
// brick effect table are all made from this one list, so they cannot disagree.
#pragma once

#include <string>
#include <vector>

namespace gamedata {

enum FrameMode { kPlayOnce = 0, kBounce = 1, kWrap = 2 };

struct Animation {
  std::string name;     // what the game asks for: "largeball", "ups_thru", "brick_cc_020"
  std::string imageId;  // the IMAGE_ identifier it shows
  int celWidth = 0, celHeight = 0, cels = 1;
  int frameDelay = 1;  // ticks per cel
  int frameMode = kWrap;
  int drawMode = 0;  // 1 draws additively
};

// A brick picture of the identifier list: code "aa" to "ii" and its number.
struct BrickKind {
  std::string code;
  int number = 0;
  std::string Name() const;     // "brick_cc_020"
  std::string ImageId() const;  // "IMAGE_BRICK_CC_020"
};

// Every brick picture of the identifier list, in identifier order.
const std::vector<BrickKind>& Bricks();
int BrickWidth(const BrickKind& brick);
int BrickHeight(const BrickKind& brick);
// Cels of a brick's animation (swirl and power-up bricks turn; the others are still).
int BrickCels(const BrickKind& brick);

// Every animation the game obtains, bricks included.
const std::vector<Animation>& Animations();
const Animation& AnimationNamed(const std::string& name);

// The twenty power-up names, "ups_" + action, in identifier order.
const std::vector<std::string>& PowerUps();
// The word a power-up's capsule shows, which is how the player knows it ("+1", "x3").
const std::string& PowerUpLabel(const std::string& powerUp);

// The seven iron bricks and the "cc" bricks the convert power-up turns them into.
struct IronConversion {
  const char* iron;
  const char* becomes;
};
const std::vector<IronConversion>& IronConversions();

}  // namespace gamedata
