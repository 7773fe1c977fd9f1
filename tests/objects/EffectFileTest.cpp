#include "game/play/EffectFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "framework/app/KitAppBase.h"
#include "game/play/Board.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/support/ScopedSearchFolders.h"

namespace {

class EffectFileTest : public ObjectsTest {
 protected:
  EffectTable Load(const std::string& text) {
    EffectTable table;
    LoadEffectFile(WriteFile("data/effect.txt", text), table);
    return table;
  }
  std::vector<BrickEffectRecord> Records(const std::string& text) { return Load(text).Records(); }
};

TEST_F(EffectFileTest, KeysFillTheRecordOfTheBrickLineBeforeThem) {
  const auto records = Records(
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
      Records("brick=brick_aa_001\n" + limit + "\r\ndeadname=" + std::string(300, 'd') + "\nbrick=brick_bb_001\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].mHitName.size(), 246u);
  EXPECT_EQ(records[0].mDeadName, "");
  EXPECT_TRUE(Records("").empty());
  EffectTable kept;
  kept.Append({"brick_aa_001", "hit", "", "", ""});
  LoadEffectFile(mDir / "missing.txt", kept);
  EXPECT_EQ(kept.Records().size(), 1u) << "a missing file appends nothing and clears nothing";
}

TEST_F(EffectFileTest, TheLastRecordOfABrickNameDecidesEvenWithAnEmptyField) {
  Board board;
  board.LoadEffects(WriteFile("data/effect.txt",
                              "brick=brick_cc_020\ndeadname=dead3\nhitname=hit\nbrick=brick_aa_001\nhitname=other\n"
                              "brick=brick_cc_020\nhitname=hit2\n"));
  EXPECT_EQ(board.mEffectRecords.Records().size(), 3u);
  EXPECT_EQ(board.LookupEffect("brick_cc_020", "deadname"), "");
  EXPECT_EQ(board.LookupEffect("brick_cc_020", "hitname"), "hit2");
  EXPECT_EQ(board.LookupEffect("brick_cc_020", "brick"), "");
  EXPECT_EQ(board.LookupEffect("brick_cc_021", "hitname"), "");
  EXPECT_EQ(board.LookupEffect("brick_aa_001", "hitname"), "other") << "a record between them keeps its own";
}

// A table of the player's own that the game cannot read (far too large) would take every brick effect away
// unexplained: the player is told which file it was and why.
TEST_F(EffectFileTest, APlayersOwnTableThatCannotBeReadIsNamedWithTheReason) {
  const std::filesystem::path player = mDir / "player", table = player / "data" / "effect.txt";
  WriteFile("player/data/effect.txt", "brick=brick_aa_001\n");
  std::filesystem::resize_file(table, std::uintmax_t{1} << 30);  // sparse
  const testsupport::ScopedSearchFolders folders(player, mDir / "game");
  const plat::ScopedMessageBoxScript boxes;
  Kit::KitAppBase app;
  gBoard.LoadEffects("data\\effect.txt");
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].text,
            "Failed to load brick effects: data\\effect.txt (File too large)\r\n\r\n"
            "The file read is your own copy: " +
                table.string());
  EXPECT_EQ(boxes.Shown()[0].caption, app.mTitle);
}

}  // namespace
