// BackgroundAnim: the animated backdrop behind the play field and the level screens, one global object
// for the whole program (gBackgroundAnim). Three kinds, each with its own images and motion: a still
// picture under the particle emitters, two copies of a cloud layer scrolling sideways with a fading
// lightning flash under a foreground picture, and a still picture with a flash strip now and then and
// seventeen rotated sprites falling from fixed places. Each kind's animation goes on only while it is the
// current kind. Owns nothing (the images belong to the resource manager). Main thread only.
#pragma once

#include <array>

namespace Kit {
class Graphics;
}

class BackgroundAnim {
 public:
  enum Kind : int { kImageKind = 0, kScrollKind = 1, kFallKind = 2 };

  // One of the falling sprites of the fall kind.
  struct FallingObject {
    bool mActive = false;
    int mWait = 0;   // updates waited while inactive
    int mDelay = 0;  // updates to wait before the next fall
    float mX = 0.0f;
    float mY = 0.0f;
    float mStartX = 0.0f;
    float mVelX = 0.0f;  // pixels per update
    float mVelY = 0.0f;
    double mAngle = 0.0;  // radians
  };
  static constexpr int kFallingObjectCount = 17;

  // Draws the random delays: the lightning's, the flash's, then each falling object's in order.
  BackgroundAnim();
  virtual ~BackgroundAnim() = default;

  // Only the kind changes: every kind's animation resumes where it stood.
  void SetKind(int kind);
  void Update();
  void Draw(Kit::Graphics* g);
  // Fills (0, 0, width, height) opaque black (the colour stays set) and draws the backdrop over it; the
  // fill is left out where the backdrop's picture, drawn first and opaque, hides every pixel of it anyway.
  void DrawOverBlack(Kit::Graphics* g, int width, int height);

  int mKind = kImageKind;

  // The scrolling clouds: two copies one screen width apart.
  int mCloudX1 = -800;
  int mCloudX2 = 0;
  int mCloudStep = 1;

  bool mLightningVisible = false;
  int mLightningImage = 0;  // 1 shows the first lightning image, 0 the second
  int mLightningX = 0;
  int mLightningAlpha = 255;
  bool mLightningFading = false;
  int mLightningWait = 0;
  int mLightningDelay = 0;
  int mLightningAlphaStep = 1;

  bool mFlashOn = false;
  int mFlashWait = 0;
  int mFlashDelay = 0;
  int mFlashCelTimer = 0;
  int mFlashCelDelay = 1;
  float mFlashX = 585.0f;
  float mFlashY = 0.0f;
  int mFlashCel = 0;

  std::array<FallingObject, kFallingObjectCount> mObjects;

 private:
  void UpdateImageKind();
  void UpdateScrollKind();
  void UpdateFallKind();
  void UpdateLightning();
  void UpdateFlash();
  void UpdateFallingObject(FallingObject& object);
  // Whether the kind's first drawing covers (0, 0, width, height) with opaque pixels.
  bool HidesArea(Kit::Graphics* g, int width, int height) const;
  void DrawImageKind(Kit::Graphics* g);
  void DrawScrollKind(Kit::Graphics* g);
  void DrawFallKind(Kit::Graphics* g);
};

extern BackgroundAnim gBackgroundAnim;
