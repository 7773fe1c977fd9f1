#include "game/play/ObjectTemplate.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <ostream>
#include <sstream>

#include "framework/graphics/Graphics.h"
#include "tests/support/Canvas.h"
#include "tests/support/ObjectFiles.h"

namespace {

using objectfiles::AsRecord;
using objectfiles::Int32Bytes;
using objectfiles::ObjectRecord;
using objectfiles::RecordBytes;
using objectfiles::SampleRecord;

bool ReadFrom(const std::string& bytes, ObjectTemplate& record) {
  std::istringstream in(bytes);
  return record.Read(in);
}

TEST(ObjectTemplateFile, ARecordReadsBackFieldByFieldAndKeepsTimersImageAndAngleOfANewRecord) {
  const ObjectRecord written = SampleRecord("brick_cc_020");  // every field distinct
  ObjectTemplate read;
  read.mAngle = 1.0;
  ASSERT_TRUE(ReadFrom(RecordBytes(written), read));
  EXPECT_EQ(AsRecord(read), written);
  EXPECT_EQ(std::tie(read.mAlphaTimer, read.mFrameTimer, read.mImage), std::make_tuple(1, 1, nullptr));
  EXPECT_EQ(read.mAngle, 1.0) << "the angle is not part of the file";
}

TEST(ObjectTemplateFile, TextEndsAtAnEmbeddedZeroButTheWholeFieldIsConsumed) {
  ObjectRecord written = SampleRecord("");
  written.name = std::string("ab\0cd", 5);
  ObjectTemplate read;
  ASSERT_TRUE(ReadFrom(RecordBytes(written), read));
  EXPECT_EQ(read.mName, "ab");
  EXPECT_EQ(read.mImageName, "IMAGE_BRICK_CC_020") << "the next field starts after all five bytes";
  written.name.clear();
  ASSERT_TRUE(ReadFrom(RecordBytes(written), read));
  EXPECT_EQ(read.mName, "");
}

TEST(ObjectTemplateFile, EveryTruncationOfARecordIsRefused) {
  const std::string bytes = RecordBytes(SampleRecord("brick_aa_001"));
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    ObjectTemplate read;
    EXPECT_FALSE(ReadFrom(bytes.substr(0, length), read)) << length << " of " << bytes.size() << " bytes";
  }
}

TEST(ObjectTemplateFile, AStringLengthOutsideZeroTo254IsRefusedBeforeAnythingIsRead) {
  const std::string head = std::string(2, '\1') + std::string(16, '\0');  // flags, x, y, width, height
  for (std::int32_t length : {-1, 255, 0x7fffffff, INT_MIN}) {
    ObjectTemplate read;
    EXPECT_FALSE(ReadFrom(head + Int32Bytes(length) + std::string(300, 'x'), read)) << length;
  }
  const ObjectRecord longest = SampleRecord(std::string(254, 'n'));
  ObjectTemplate read;
  EXPECT_TRUE(ReadFrom(RecordBytes(longest), read));
  EXPECT_EQ(read.mName.size(), 254u);
}

struct FrameCase {
  const char* name;
  int mode, step, count, start, delay;
  std::vector<int> framesAfterEachTick;
};

void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.name; }

class ObjectTemplateFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(ObjectTemplateFrames, StepEveryDelayTicksByModeAtTheEndsOfTheStrip) {
  const FrameCase& c = GetParam();
  ObjectTemplate record;
  record.mFrameMode = c.mode;
  record.mFrameStep = c.step;
  record.mFrameCount = c.count;
  record.mFrame = c.start;
  record.mFrameDelay = c.delay;
  std::vector<int> frames;
  for (std::size_t tick = 0; tick < c.framesAfterEachTick.size(); ++tick) {
    record.Update();
    frames.push_back(record.mFrame);
  }
  EXPECT_EQ(frames, c.framesAfterEachTick);
  EXPECT_TRUE(record.mRunning) << "a frame animation never ends the record";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ObjectTemplateFrames,
    testing::Values(FrameCase{"Once", kAnimOnce, 1, 4, 0, 1, {1, 2, 3, 4, 4, 4}},  // stops one past the last cel
                    FrameCase{"OnceBackwards", kAnimOnce, -1, 4, 1, 1, {0, -1, -1}},
                    FrameCase{"Bounce", kAnimBounce, 1, 3, 0, 1, {1, 2, 2, 1, 0, 0, 1}},
                    FrameCase{"Wrap", kAnimWrap, 1, 3, 1, 1, {2, 0, 1}},
                    FrameCase{"WrapBackwards", kAnimWrap, -1, 3, 0, 1, {2, 1, 0}},
                    FrameCase{"WrapEveryThirdTick", kAnimWrap, 1, 100, 0, 3, {1, 1, 1, 2, 2, 2, 3}},  // the first steps
                    FrameCase{"UnknownMode", 7, 3, 2, 0, 1, {3, 6}}),  // only adds the step
    testing::PrintToStringParamName());

TEST(ObjectTemplateAnimation, AFadeOfModeZeroEndsTheRecordInTheStepThatTakesAlphaBelowZero) {
  ObjectTemplate record;
  record.mAlphaStep = -5;
  for (int tick = 0; tick < 51; ++tick) record.Update();  // 255 down to 0 in 51 steps of 5
  EXPECT_EQ(record.mAlpha, 0);
  EXPECT_TRUE(record.mRunning);
  record.Update();
  EXPECT_EQ(record.mAlpha, 0);
  EXPECT_FALSE(record.mRunning);
  EXPECT_FALSE(record.mVisible);
  record.Update();
  EXPECT_EQ(record.mFrame, 1) << "an idle record does not animate";
}

TEST(ObjectTemplateAnimation, ValuesAtTheEndsOfTheIntRangeWrapInsteadOfOverflowing) {
  ObjectTemplate record;
  record.mFrameMode = kAnimBounce;
  record.mFrameCount = INT_MIN;
  record.mFrameStep = INT_MAX;
  record.mFrame = INT_MAX;
  record.mAlphaMode = kAnimBounce;
  record.mAlphaStep = INT_MIN;
  record.mAlphaMax = INT_MIN;
  record.mAlphaDelay = 0;
  record.mFrameDelay = INT_MIN;
  for (int tick = 0; tick < 4; ++tick) record.Update();
  EXPECT_TRUE(record.mRunning);
}

// A record whose 2x2 image is opaque red, drawn onto black.
class ObjectTemplateDraw : public testing::Test {
 protected:
  ObjectTemplateDraw() : mCanvas(testsupport::Canvas(32, 32, 0xFF000000)), mCel(testsupport::Canvas(2, 2, 0xFFFF0000)) {
    mRecord.mImage = mCel.get();
    mRecord.mFrame = 0;
    mRecord.mX = 20.0f;
    mRecord.mY = 20.0f;
  }
  bool RedAt(int x, int y) { return mCanvas->GetBits()[y * 32 + x] == 0xFFFF0000u; }

  std::unique_ptr<Kit::MemoryImage> mCanvas, mCel;
  Kit::Graphics mGraphics{mCanvas.get()};
  ObjectTemplate mRecord;
};

TEST_F(ObjectTemplateDraw, APositionWithinAThousandthOfTheOriginMeansTheRecordsOwnPlace) {
  mRecord.Draw(&mGraphics, 0.0005f, 0.0f);
  EXPECT_TRUE(RedAt(20, 20));
  mRecord.Draw(&mGraphics, 0.002f, 0.0f);
  EXPECT_TRUE(RedAt(0, 0));
  mRecord.DrawF(&mGraphics, 7.9f, 3.0f);
  EXPECT_TRUE(RedAt(8, 3)) << "the float draw keeps the fraction";
  mRecord.Draw(&mGraphics, 10.9f, 3.0f);
  EXPECT_TRUE(RedAt(10, 3)) << "the whole-pixel draw truncates";
  EXPECT_FALSE(RedAt(12, 3));
}

TEST_F(ObjectTemplateDraw, OnlyARunningVisibleRecordWithAnImageAndAFiniteAngleDraws) {
  mRecord.mVisible = false;
  mRecord.Draw(&mGraphics, 2.0f, 2.0f);
  mRecord.mVisible = true;
  mRecord.mFrame = 1;  // past the single cel: the play-once end state
  mRecord.Draw(&mGraphics, 2.0f, 2.0f);
  EXPECT_FALSE(RedAt(2, 2));
  mRecord.mFrame = 0;
  mRecord.mAngle = std::nan("");
  mRecord.Draw(&mGraphics, 2.0f, 2.0f);
  EXPECT_TRUE(RedAt(2, 2)) << "an angle that is not a number draws unrotated";
  EXPECT_EQ(mGraphics.GetDrawMode(), Kit::Graphics::kDrawModeNormal);
  EXPECT_FALSE(mGraphics.GetColorizeImages());
}

}  // namespace
