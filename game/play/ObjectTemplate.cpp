#include "game/play/ObjectTemplate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "game/play/GameMath.h"
#include "game/play/RecordReader.h"
#include "platform/util/ClampToInt.h"

namespace {

// A draw position nearer than this to (0, 0) in both coordinates means "at the record's own place".
constexpr double kOwnPositionEpsilon = 0.001f;

bool ReadFlag(RecordReader& reader, bool& flag) {
  std::uint8_t byte;
  if (!reader.ReadByte(byte)) return false;
  flag = byte != 0;
  return true;
}

}  // namespace

bool ObjectTemplate::Read(std::istream& in) {
  RecordReader reader(in);
  return ReadFlag(reader, mRunning) && ReadFlag(reader, mVisible) && reader.ReadFloat(mX) && reader.ReadFloat(mY) &&
         reader.ReadFloat(mWidth) && reader.ReadFloat(mHeight) && reader.ReadString(mName, kMaxStringBytes) &&
         reader.ReadString(mImageName, kMaxStringBytes) && reader.ReadString(mNote, kMaxStringBytes) &&
         reader.ReadString(mCode, kMaxStringBytes) && reader.ReadInt32(mDrawMode) && reader.ReadInt32(mAlphaMode) &&
         reader.ReadInt32(mAlpha) && reader.ReadInt32(mAlphaMax) && reader.ReadInt32(mAlphaStep) &&
         reader.ReadInt32(mAlphaDelay) && reader.ReadInt32(mFrameMode) && reader.ReadInt32(mFrame) &&
         reader.ReadInt32(mFrameCount) && reader.ReadInt32(mFrameStep) && reader.ReadInt32(mFrameDelay);
}

void ObjectTemplate::CopyFrom(const ObjectTemplate* other) {
  if (other && other != this) *this = *other;
}

void ObjectTemplate::Update() {
  if (!mRunning) return;
  StepAlpha();
  StepFrame();  // also in the tick in which the alpha step ended the record
}

void ObjectTemplate::StepAlpha() {
  mAlphaTimer = WrappingAdd(mAlphaTimer, -1);
  if (mAlphaTimer != 0) return;
  mAlphaTimer = mAlphaDelay;
  mAlpha = WrappingAdd(mAlpha, mAlphaStep);
  switch (mAlphaMode) {
    case kAnimOnce:
      if (mAlpha > mAlphaMax) EndFade(mAlphaMax);
      if (mAlpha < 0) EndFade(0);
      break;
    case kAnimBounce:
      if (mAlpha > mAlphaMax) {
        mAlpha = mAlphaMax;
        mAlphaStep = WrappingNegate(mAlphaStep);
      }
      if (mAlpha < 0) {
        mAlpha = 0;
        mAlphaStep = WrappingNegate(mAlphaStep);
      }
      break;
    case kAnimWrap:
      if (mAlpha > mAlphaMax) mAlpha = 0;
      if (mAlpha < 0) mAlpha = mAlphaMax;
      break;
  }
}

void ObjectTemplate::EndFade(int finalAlpha) {
  mAlpha = finalAlpha;
  mRunning = false;
  mVisible = false;
}

void ObjectTemplate::StepFrame() {
  mFrameTimer = WrappingAdd(mFrameTimer, -1);
  if (mFrameTimer != 0) return;
  mFrameTimer = mFrameDelay;
  mFrame = WrappingAdd(mFrame, mFrameStep);
  const long long lastCel = static_cast<long long>(mFrameCount) - 1;
  switch (mFrameMode) {
    case kAnimOnce:  // one past the last cel, which draws nothing: the animation has ended
      if (mFrame > lastCel) mFrame = mFrameCount;
      if (mFrame < 0) mFrame = -1;
      break;
    case kAnimBounce:
      if (mFrame > lastCel) {
        mFrame = WrappingAdd(mFrameCount, -1);
        mFrameStep = WrappingNegate(mFrameStep);
      }
      if (mFrame < 0) {
        mFrame = 0;
        mFrameStep = WrappingNegate(mFrameStep);
      }
      break;
    case kAnimWrap:
      if (mFrame > lastCel) mFrame = 0;
      if (mFrame < 0) mFrame = WrappingAdd(mFrameCount, -1);
      break;
  }
}

template <typename Position>
void ObjectTemplate::DrawAt(Kit::Graphics* g, float x, float y, Position toPosition) const {
  if (!g || !mRunning || !mVisible || !mImage) return;
  if (std::fabs(x) < kOwnPositionEpsilon && std::fabs(y) < kOwnPositionEpsilon) {
    x = mX;
    y = mY;
  }
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (mDrawMode == Kit::Graphics::kDrawModeAdditive) g->SetDrawMode(Kit::Graphics::kDrawModeAdditive);
  g->SetColor(Kit::Color(255, 255, 255, std::clamp(mAlpha, 0, 255)));
  g->SetColorizeImages(true);
  const double angle = std::isfinite(mAngle) ? mAngle : 0.0;
  const auto [drawX, drawY] = toPosition(x, y);
  g->DrawImageRotatedCelF(mImage, drawX, drawY, mFrame, angle);
  g->SetColorizeImages(false);
  g->SetColor(Kit::Color::White);
  g->SetDrawMode(Kit::Graphics::kDrawModeNormal);
}

void ObjectTemplate::Draw(Kit::Graphics* g, float x, float y) const {
  DrawAt(g, x, y, [](float px, float py) {
    return std::pair{static_cast<float>(plat::ClampToInt(px)), static_cast<float>(plat::ClampToInt(py))};
  });
}

void ObjectTemplate::DrawF(Kit::Graphics* g, float x, float y) const {
  DrawAt(g, x, y, [](float px, float py) { return std::pair{px, py}; });
}
