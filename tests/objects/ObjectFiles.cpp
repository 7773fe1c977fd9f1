#include "tests/objects/ObjectFiles.h"

#include <bit>

namespace objectfiles {

namespace {

std::string StringField(const std::string& text) { return Int32Bytes(static_cast<std::int32_t>(text.size())) + text; }
std::string FloatBytes(float value) { return Int32Bytes(std::bit_cast<std::int32_t>(value)); }

}  // namespace

std::string Int32Bytes(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
          static_cast<char>(bits >> 24)};
}

std::string RecordBytes(const ObjectTemplate& r) {
  std::string bytes{static_cast<char>(r.mRunning), static_cast<char>(r.mVisible)};
  bytes += FloatBytes(r.mX) + FloatBytes(r.mY) + FloatBytes(r.mWidth) + FloatBytes(r.mHeight);
  bytes += StringField(r.mName) + StringField(r.mImageName) + StringField(r.mNote) + StringField(r.mCode);
  for (int value : {r.mDrawMode, r.mAlphaMode, r.mAlpha, r.mAlphaMax, r.mAlphaStep, r.mAlphaDelay, r.mFrameMode,
                    r.mFrame, r.mFrameCount, r.mFrameStep, r.mFrameDelay}) {
    bytes += Int32Bytes(value);
  }
  return bytes;
}

std::string TemplateFileBytes(const std::vector<ObjectTemplate>& records) {
  std::string bytes = Int32Bytes(static_cast<std::int32_t>(records.size()));
  for (const ObjectTemplate& record : records) bytes += RecordBytes(record);
  return bytes;
}

std::string LevelFileBytes(std::int32_t backgroundKind, const std::vector<ObjectTemplate>& records) {
  return Int32Bytes(backgroundKind) + TemplateFileBytes(records);
}

ObjectTemplate SampleRecord(const std::string& name) {
  ObjectTemplate r;
  r.mRunning = false;
  r.mVisible = true;
  r.mX = 12.5f;
  r.mY = -3.25f;
  r.mWidth = 40.0f;
  r.mHeight = 20.75f;
  r.mName = name;
  r.mImageName = "IMAGE_BRICK_CC_020";
  r.mNote = "note";
  r.mCode = "ups_fireball";
  r.mDrawMode = 1;
  r.mAlphaMode = 2;
  r.mAlpha = 200;
  r.mAlphaMax = 250;
  r.mAlphaStep = -5;
  r.mAlphaDelay = 3;
  r.mFrameMode = 1;
  r.mFrame = 2;
  r.mFrameCount = 7;
  r.mFrameStep = -1;
  r.mFrameDelay = 4;
  return r;
}

}  // namespace objectfiles
