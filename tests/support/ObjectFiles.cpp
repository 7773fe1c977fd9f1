#include "tests/support/ObjectFiles.h"

namespace objectfiles {

std::string Int32Bytes(std::int32_t value) { return gamedata::EncodeLevel({value, {}}).substr(0, 4); }

std::string RecordBytes(const ObjectRecord& record) { return gamedata::EncodeTemplates({record}).substr(4); }

// In the generator's field order.
ObjectRecord AsRecord(const ObjectTemplate& t) {
  return {t.mRunning,   t.mVisible,    t.mX,         t.mY,        t.mWidth,      t.mHeight,    t.mName,
          t.mImageName, t.mNote,       t.mCode,      t.mDrawMode, t.mAlphaMode,  t.mAlpha,     t.mAlphaMax,
          t.mAlphaStep, t.mAlphaDelay, t.mFrameMode, t.mFrame,    t.mFrameCount, t.mFrameStep, t.mFrameDelay};
}

// Fields in the generator's order: flags, box, the four strings, the alpha and then the frame animation.
ObjectRecord SampleRecord(const std::string& name) {
  return {false, true, 12.5f, -3.25f, 40.0f, 20.75f, name, "IMAGE_BRICK_CC_020", "note", "ups_fireball", 1, 2, 200, 250,
          -5,    3,    1,     2,      7,     -1,     4};
}

}  // namespace objectfiles
