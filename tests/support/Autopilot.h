// The test autopilot: steers the paddle under the ball that will reach it first, at the point where it
// will meet the paddle, offset so that the ball leaves towards a brick that still holds the level open
// (one brick after another, a new one every few seconds), and launches the ball when it waits on the
// paddle. Between balls it catches the power-ups a player would want and steps aside from the others. It reads the
// field and writes nothing: the caller moves the pointer.
#pragma once

class Actor;
class PlayField;

namespace testsupport {

struct PointerInput {
  int x = 400;         // pointer x on the field; y never matters
  bool click = false;  // a left click this tick
  bool operator==(const PointerInput&) const = default;
};

class Autopilot {
 public:
  PointerInput Steer(const PlayField& field);

 private:
  void MeetPowerUps(const Actor& paddle, float ballSpeed, PointerInput& input) const;

  int mTicks = 0;
};

}  // namespace testsupport
