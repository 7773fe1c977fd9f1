// The particle trails of the menu screens: particles emitted, faded, retired and reused; emitters moved
// and restarted at the top.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/play/EmitterSet.h"

namespace {

TEST(Particles, AParticleFadesByFivePerUpdateAndGoesOutInItsFiftiethUpdateForTheNextToReuse) {
  ParticleEmitter emitter;
  emitter.mY = 100;
  emitter.mMovePeriod = 1000;  // stays put: its trail is one point
  emitter.mMoveTimer = 1000;
  emitter.Update();
  ASSERT_EQ(emitter.mParticles.size(), 1u);
  const Particle& first = *emitter.mParticles[0];
  EXPECT_EQ(first.mAlpha, 250) << "updated once in the update that emits it";
  EXPECT_EQ(first.mY, 100);
  for (int update = 2; update < 50; ++update) emitter.Update();
  EXPECT_EQ(first.mActive, 1);
  EXPECT_EQ(first.mAlpha, 10) << "its last drawn alpha";
  emitter.Update();
  EXPECT_EQ(first.mActive, 0) << "out in its 50th update";
  EXPECT_EQ(emitter.mParticles.size(), 50u);
  emitter.Update();
  EXPECT_EQ(emitter.mParticles.size(), 50u) << "the pool is reused, nothing allocated";
  EXPECT_EQ(first.mActive, 1);
}

TEST(Particles, AnEmitterThatPassesTheBottomRestartsAtTheTopOnAGridColumn) {
  std::srand(1);
  ParticleEmitter emitter;
  emitter.mX = 5;  // off the grid: no early restart
  emitter.mY = 600;
  emitter.mSpeed = 2;
  emitter.Move();
  EXPECT_EQ(emitter.mY, 0);
  EXPECT_EQ(emitter.mX % ParticleEmitter::kColumnPx, 0);
  EXPECT_TRUE(emitter.mSpeed >= 1 && emitter.mSpeed <= 3);
}

TEST(Particles, StartedEmittersTakeTheSetsColourAndAGridPointAndAreReusedOnceInactive) {
  EmitterSet set;
  for (int i = 0; i < 10; ++i) set.StartEmitter();
  ASSERT_EQ(set.mEmitters.size(), 10u);
  for (const auto& emitter : set.mEmitters) {
    EXPECT_EQ(emitter->mBlue, 94);
    EXPECT_EQ(emitter->mX % 14, 0);
    EXPECT_EQ(emitter->mY % 14, 0);
    EXPECT_LE(emitter->mY, 784);
  }
  set.mEmitters[3]->mActive = false;
  set.StartEmitter();
  EXPECT_EQ(set.mEmitters.size(), 10u);
  EXPECT_TRUE(set.mEmitters[3]->mActive);
}

}  // namespace
