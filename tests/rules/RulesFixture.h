// A board in miniature for the rules' tests: the play field's fixture with looks for every ball kind,
// paddle length, power-up, effect and brick variant the rules ask the object library for, a small effect
// table, and helpers that put balls and bricks on the board by hand and let pending actors join the
// scene. The random generator is reseeded per test, so every draw is scripted by its seed.
#pragma once

#include <string>
#include <vector>

#include "game/play/Actor.h"
#include "game/play/Board.h"
#include "tests/play/PlayFixture.h"

namespace rulestest {

class RulesTest : public playtest::PlayFieldTest {
 protected:
  static constexpr int kBombFrameCount = 8;  // the bomb looks strike on their frame 5

  RulesTest();
  ~RulesTest() override;

  // A ball actor of that kind ("balllarge", "ballfire", ...) at (x, y) moving at (velX, velY).
  Actor* AddBall(const std::string& kind, float x, float y, float velX, float velY);
  Actor* AddPaddle(const std::string& name);
  // One scene update without motion: the dead go, pending actors join, effects finish, specials run.
  void SettleScene();
  // Reseeds the generator so that its next draw modulo m is the given value.
  static void ScriptNextDraw(int modulus, int value);
};

// The names of the actors made since the last settle.
std::vector<std::string> PendingNames();

}  // namespace rulestest
