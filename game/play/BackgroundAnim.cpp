#include "game/play/BackgroundAnim.h"

#include <cmath>
#include <cstdlib>

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "game/play/EmitterSet.h"
#include "game/play/ResourceIds.h"

BackgroundAnim gBackgroundAnim;

namespace {

constexpr int kScreenWidthPx = 800;
constexpr int kScreenHeightPx = 600;
constexpr int kFlashLastCel = 28;  // the flash strip has 29 cels, one shown per update

// A pause of 500 to 1000 updates (first wait 5) or 600 to 1100 (first wait 6), in whole hundreds.
int RandomPauseTicks(int firstHundreds) { return (std::rand() % 6 + firstHundreds) * 100; }

// Where each falling sprite starts and how it moves: direction and angle in radians, as the art was
// laid out (a tenth of a degree apart), speed in pixels per update.
struct FallPath {
  float mStartX;
  double mDirection;
  int mSpeed;
  double mAngle;
};
constexpr FallPath kFallPaths[BackgroundAnim::kFallingObjectCount] = {
    {106, -0.0959931, 7, -0.0767945},  {127, -0.0925024, 8, -0.0733038},  {150, -0.0890118, 9, -0.0698132},
    {170, -0.0837758, 10, -0.0645772}, {194, -0.0785398, 11, -0.0593412}, {214, -0.0698132, 12, -0.0506145},
    {236, -0.0593412, 10, -0.0401426}, {260, -0.0488692, 11, -0.0296706}, {280, -0.0383972, 9, -0.0191986},
    {332, 0.0191986, 10, 0.0},         {560, 0.0541052, 12, 0.0733038},   {566, 0.0593412, 8, 0.0785398},
    {577, 0.0645772, 7, 0.0837758},    {625, 0.0750492, 12, 0.0942478},   {694, 0.0977384, 11, 0.1169371},
    {722, 0.1117011, 10, 0.1308997},   {750, 0.1221730, 8, 0.1413717},
};

}  // namespace

BackgroundAnim::BackgroundAnim() {
  mLightningDelay = RandomPauseTicks(5);
  mFlashDelay = RandomPauseTicks(5);
  for (int i = 0; i < kFallingObjectCount; ++i) {
    const FallPath& path = kFallPaths[i];
    FallingObject& object = mObjects[i];
    object.mDelay = RandomPauseTicks(5);
    object.mX = path.mStartX;
    object.mStartX = path.mStartX;
    object.mVelX = static_cast<float>(std::sin(path.mDirection) * path.mSpeed);
    object.mVelY = static_cast<float>(std::cos(path.mDirection) * path.mSpeed);
    object.mAngle = path.mAngle;
  }
}

void BackgroundAnim::SetKind(int kind) { mKind = kind; }

void BackgroundAnim::Update() {
  switch (mKind) {
    case kImageKind:
      UpdateImageKind();
      break;
    case kScrollKind:
      UpdateScrollKind();
      break;
    case kFallKind:
      UpdateFallKind();
      break;
    default:
      break;
  }
}

void BackgroundAnim::Draw(Kit::Graphics* g) {
  switch (mKind) {
    case kImageKind:
      DrawImageKind(g);
      break;
    case kScrollKind:
      DrawScrollKind(g);
      break;
    case kFallKind:
      DrawFallKind(g);
      break;
    default:
      break;
  }
}

void BackgroundAnim::DrawOverBlack(Kit::Graphics* g, int width, int height) {
  g->SetColor(Kit::Color(0, 0, 0));
  if (!HidesArea(g, width, height)) g->FillRect(0, 0, width, height);
  Draw(g);
}

bool BackgroundAnim::HidesArea(Kit::Graphics* g, int width, int height) const {
  Kit::Image* const picture = mKind == kImageKind ? IMAGE_BACK : mKind == kFallKind ? IMAGE_BACK3 : nullptr;
  auto* const pixels = dynamic_cast<Kit::MemoryImage*>(picture);
  if (!pixels || pixels->GetWidth() < width || pixels->GetHeight() < height) return false;
  if (g->GetDrawMode() != Kit::Graphics::kDrawModeNormal || g->GetColorizeImages()) return false;
  // A mode set by hand or pixels blended as they change may draw see-through pixels the flags do not
  // tell of.
  if (pixels->mForcedMode || pixels->mIsVolatile) return false;
  pixels->CommitBits();
  return !pixels->mHasTrans && !pixels->mHasAlpha;
}

// The still picture's motion is the particle emitters' trails over it.
void BackgroundAnim::UpdateImageKind() { gEmitterSet.Update(); }

void BackgroundAnim::DrawImageKind(Kit::Graphics* g) {
  g->DrawImage(IMAGE_BACK, 0, 0);
  gEmitterSet.Draw(g);
}

void BackgroundAnim::UpdateScrollKind() {
  mCloudX1 += mCloudStep;
  mCloudX2 += mCloudStep;
  if (mCloudX1 > kScreenWidthPx) mCloudX1 = mCloudX2 - kScreenWidthPx;
  if (mCloudX2 > kScreenWidthPx) mCloudX2 = mCloudX1 - kScreenWidthPx;
  UpdateLightning();
}

void BackgroundAnim::UpdateLightning() {
  if (!mLightningFading) {
    if (++mLightningWait != mLightningDelay) return;
    mLightningVisible = true;
    mLightningX = std::rand() % kScreenWidthPx - 80;
    mLightningImage = std::rand() % 2;
    mLightningFading = true;
    mLightningWait = 0;
    mLightningAlpha = std::rand() % 156 + 100;
    return;
  }
  mLightningAlpha -= mLightningAlphaStep;
  if (mLightningAlpha >= 0) return;
  mLightningAlpha = 0;
  mLightningVisible = false;
  mLightningFading = false;
  mLightningDelay = RandomPauseTicks(5);
}

void BackgroundAnim::DrawScrollKind(Kit::Graphics* g) {
  g->DrawImage(IMAGE_BACK2_CLOUD, mCloudX1, 0);
  g->DrawImage(IMAGE_BACK2_CLOUD, mCloudX2, 0);
  if (mLightningVisible) {
    g->SetDrawMode(Kit::Graphics::kDrawModeAdditive);
    g->SetColor(Kit::Color(255, 255, 255, mLightningAlpha));
    g->SetColorizeImages(true);
    g->DrawImage(mLightningImage == 1 ? IMAGE_BACK2_LIGHTING1 : IMAGE_BACK2_LIGHTING2, mLightningX, 0);
    g->SetColorizeImages(false);
    g->SetDrawMode(Kit::Graphics::kDrawModeNormal);
  }
  g->DrawImage(IMAGE_BACK2, 0, 0);
}

void BackgroundAnim::UpdateFallKind() {
  UpdateFlash();
  for (FallingObject& object : mObjects) UpdateFallingObject(object);
}

void BackgroundAnim::UpdateFlash() {
  if (!mFlashOn) {
    if (++mFlashWait != mFlashDelay) return;
    mFlashOn = true;
    mFlashWait = 0;
    return;
  }
  if (++mFlashCelTimer == mFlashCelDelay) {
    mFlashCelTimer = 0;
    ++mFlashCel;
  }
  if (mFlashCel <= kFlashLastCel) return;
  mFlashOn = false;
  mFlashCel = 0;
  mFlashDelay = RandomPauseTicks(5);
}

void BackgroundAnim::UpdateFallingObject(FallingObject& object) {
  if (!object.mActive) {
    if (++object.mWait != object.mDelay) return;
    object.mActive = true;
    object.mWait = 0;
    return;
  }
  object.mX += object.mVelX;
  object.mY += object.mVelY;
  if (object.mY <= kScreenHeightPx) return;
  object.mActive = false;
  object.mX = object.mStartX;
  object.mY = static_cast<float>(-IMAGE_BACK3_VFLASH2->GetHeight());
  object.mDelay = RandomPauseTicks(6);
}

void BackgroundAnim::DrawFallKind(Kit::Graphics* g) {
  g->DrawImage(IMAGE_BACK3, 0, 0);
  if (mFlashOn) g->DrawImageCel(IMAGE_BACK3_VFLASH1, static_cast<int>(mFlashX), static_cast<int>(mFlashY), mFlashCel);
  for (const FallingObject& object : mObjects) {
    if (object.mActive)
      g->DrawImageRotated(IMAGE_BACK3_VFLASH2, static_cast<int>(object.mX), static_cast<int>(object.mY), object.mAngle);
  }
}
