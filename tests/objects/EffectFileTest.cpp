#include "game/play/EffectFile.h"

#include <gtest/gtest.h>

#include "tests/objects/ObjectsFixture.h"

namespace {

class EffectFileTest : public ObjectsTest {
 protected:
  std::vector<BrickEffectRecord> Load(const std::string& text) {
    std::vector<BrickEffectRecord> records;
    LoadEffectFile(WriteFile("data/effect.txt", text), records);
    return records;
  }
};

TEST_F(EffectFileTest, KeysFillTheRecordOfTheBrickLineBeforeThem) {
  const auto records = Load(
      "hitname=ignored\r\n"  // no record yet
      "brick=brick_cc_020\r\n"
      "hitname=hitexplode:flarebrick\r\n"
      "deadname=a=b\n"  // only the first "=" splits
      "Brick=brick_xx_001\n"
      "brick =brick_yy_001\n"
      "explodename= spaced \n"
      "; a comment is a line with an unknown key\n"
      "brick\n"
      "fireballname=last");  // no line end at the end of the file
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].mBrickName, "brick_cc_020");
  EXPECT_EQ(records[0].mHitName, "hitexplode:flarebrick");
  EXPECT_EQ(records[0].mDeadName, "a=b");
  EXPECT_EQ(records[0].mExplodeName, " spaced ") << "nothing is trimmed";
  EXPECT_EQ(records[1].mBrickName, "");
  EXPECT_EQ(records[1].mFireballName, "last");
}

TEST_F(EffectFileTest, ALineLongerThan254CharactersEndsTheReadingKeepingTheRecordUnderConstruction) {
  const std::string limit = "hitname=" + std::string(254 - 8, 'h');
  const auto records =
      Load("brick=brick_aa_001\n" + limit + "\r\ndeadname=" + std::string(300, 'd') + "\nbrick=brick_bb_001\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].mHitName.size(), 246u);
  EXPECT_EQ(records[0].mDeadName, "");
  EXPECT_TRUE(Load("").empty());
  std::vector<BrickEffectRecord> kept(1);
  LoadEffectFile(mDir / "missing.txt", kept);
  EXPECT_EQ(kept.size(), 1u) << "a missing file appends nothing and clears nothing";
}

TEST_F(EffectFileTest, TheLastRecordOfABrickNameDecidesEvenWithAnEmptyField) {
  const auto records = Load("brick=brick_cc_020\ndeadname=dead3\nhitname=hit\nbrick=brick_cc_020\nhitname=hit2\n");
  EXPECT_EQ(LookupEffect(records, "brick_cc_020", "deadname"), "");
  EXPECT_EQ(LookupEffect(records, "brick_cc_020", "hitname"), "hit2");
  EXPECT_EQ(LookupEffect(records, "brick_cc_020", "brick"), "");
  EXPECT_EQ(LookupEffect(records, "brick_cc_021", "hitname"), "");
}

}  // namespace
