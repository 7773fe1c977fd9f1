// The pictures of everything that moves on the play field: bricks, balls, paddles, power-up capsules,
// ball overlays, effects and bombs (one cel strip per animation of the catalogue), and the flares and
// the particle dot.
#pragma once

#include <string>

namespace gamedata {

class Canvas;
class DataOutput;
struct BrickKind;

void MakeSprites(DataOutput& out);
// The first cel of a power-up's capsule and of a brick, for the help picture.
Canvas CapsulePicture(const std::string& powerUp);
Canvas BrickPicture(const BrickKind& brick);

}  // namespace gamedata
