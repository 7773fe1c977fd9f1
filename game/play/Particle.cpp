#include "game/play/Particle.h"

#include <algorithm>

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/play/ResourceIds.h"

void Particle::SetFade(int step, int period) {
  mFadeStep = step;
  mFadePeriod = period;
  mFadeTimer = period;
}

void Particle::Update() {
  if (mActive == 0) return;
  if (mLife > 0 && --mLife == 0) mActive = 0;
  if (--mFadeTimer != 0) return;
  mAlpha = std::max(mAlpha - mFadeStep, 0);
  mFadeTimer = mFadePeriod;
}

void Particle::Draw(Kit::Graphics* g) const {
  if (mActive == 0) return;
  g->SetDrawMode(Kit::Graphics::kDrawModeAdditive);
  g->SetColor(Kit::Color(mRed, mGreen, mBlue, mAlpha));
  g->SetColorizeImages(true);
  g->DrawImage(IMAGE_PTC1, mX - IMAGE_PTC1->GetWidth() / 2, mY - IMAGE_PTC1->GetHeight() / 2);
  g->SetDrawMode(Kit::Graphics::kDrawModeNormal);
  g->SetColorizeImages(false);
}
