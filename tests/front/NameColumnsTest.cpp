// A player's name keeps to its own column wherever it is shown beside other things: the main menu's
// welcome panel and the player column of the high-score table. The longest name the name dialog takes,
// in the widest letters, is drawn through the game's own drawing code and every rectangle handed to the
// image is checked against the column's edges: the name is cut after its last letter that fits, with work
// that grows with the column, not with the name.
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "game/front/ColumnText.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/MainMenuScreen.h"
#include "game/front/PlayerFiles.h"
#include "tests/drawing/DrawingDoubles.h"
#include "tests/front/FrontTestSupport.h"

namespace {

// Every character a 14 by 8 block on a 15-pixel advance: fourteen of them are 210 pixels, wider than
// either column, as "WWWWWWWWWWWWWW" is in the game's font.
class WideBlockFont : public Kit::Font {
 public:
  static constexpr int kAdvance = 15;
  WideBlockFont() {
    mAscent = 8;
    mHeight = 10;
  }
  int StringWidth(const std::string& text) override { return kAdvance * static_cast<int>(text.size()); }
  void DrawString(Kit::Graphics* g, int x, int y, const std::string& text, const Kit::Color& color,
                  const Kit::Rect&) override {
    const Kit::Color saved = g->GetColor();
    g->SetColor(color);
    for (std::size_t i = 0; i < text.size(); ++i) g->FillRect(x + kAdvance * static_cast<int>(i), y - mAscent, 14, 8);
    g->SetColor(saved);
  }
  Kit::Font* Duplicate() override { return new WideBlockFont(*this); }
};

const std::string kLongestName(kMaxNameLength, 'W');

struct NameColumn {
  const char* where;
  std::function<void(Kit::Graphics*)> draw;
  Kit::Color colour;  // of the name (and of whatever shares its line)
  int left, right;    // the column, right edge excluded
  int baseline;
  int othersOnLine;  // characters of other fields drawn on the name's line right of the column
};

// The letters of the wide font that fit in a column 173 pixels wide, each whole.
constexpr int kWholeLetters = 173 / WideBlockFont::kAdvance;

class NameColumns : public FrontTest::FrontFixture {
 protected:
  NameColumns() { FONT_DEFAULT = &mWide; }
  WideBlockFont mWide;
};

TEST_F(NameColumns, TheLongestNameOfWideLettersStaysInsideItsColumn) {
  gProfileStore.AddProfile(kLongestName);
  gProfileStore.InsertScore(kLongestName, 900);
  gProfileStore.mLastRank = -1;
  MainMenuScreen menu(&mApp);
  menu.Resize(0, 0, 800, 600);
  HighScoreDialog table("High Scores", "");
  table.Resize(0, 0, 390, 230);
  const std::vector<NameColumn> columns = {
      {"the main menu's welcome panel", [&](Kit::Graphics* g) { menu.Draw(g); }, Kit::Color(151, 188, 251), 613,
       613 + 173, 552, 0},
      // The score "900" and the rank "1" follow at 213 and 313.
      {"the high-score table", [&](Kit::Graphics* g) { table.Draw(g); }, Kit::Color(199, 216, 246), 35, 208, 80, 4},
  };
  for (const NameColumn& column : columns) {
    drawingtest::RecordingImage picture(800, 600);
    Kit::Graphics g(&picture);
    column.draw(&g);
    int inside = 0, othersRight = 0;
    for (const drawingtest::Call& call : picture.calls) {
      const Kit::Rect& r = call.rect;
      const bool onNameLine = r.mY + r.mHeight > column.baseline - 10 && r.mY <= column.baseline;
      if (call.op != "FillRect" || !(call.color == column.colour) || r.IsEmpty() || !onNameLine) continue;
      if (r.mX >= column.left && r.mX + r.mWidth <= column.right) {
        ++inside;
        EXPECT_EQ(r.mWidth, 14) << column.where << ": a letter cut through at x " << r.mX;
      } else if (r.mX >= column.right)
        ++othersRight;
      else
        ADD_FAILURE() << column.where << ": text at x " << r.mX << " to " << r.mX + r.mWidth
                      << " crosses the column from " << column.left << " to " << column.right;
    }
    EXPECT_EQ(inside, kWholeLetters) << column.where << ": the letters of the name that fit";
    EXPECT_EQ(othersRight, column.othersOnLine) << column.where << ": only the other fields lie right of the name";
  }
}

// Every frame cuts the name: a letter at a time from its end, the longest a file holds took over two
// thousand million letters measured, and the menu drew less than a frame a second.
TEST(ColumnCut, ANameIsCutAfterItsLastWholeLetterMeasuringLettersForTheColumnNotForTheName) {
  const std::string longest(kMaxStoredString, 'i');
  for (const auto& [name, column, shown] : std::vector<std::tuple<std::string, int, std::string>>{
           {"", 100, ""},
           {"Ann", 9, "Ann"},  // exactly as wide as the column
           {"Ann", 8, "An"},
           {"WiWiW", 20, "WiWi"},  // 6 + 3 + 6 + 3 fit, the next 6 do not
           {"W", 5, ""},           // not even its first letter
           {longest, 173, std::string(57, 'i')},
           {longest, 3 * static_cast<int>(kMaxStoredString), longest}}) {
    drawingtest::FixedFont font(3);
    drawingtest::RecordingImage picture(8, 8);
    Kit::Graphics g(&picture);
    g.SetFont(&font);
    DrawInColumn(&g, name, 0, column, 4, ColumnAlign::kCentre);
    EXPECT_EQ(font.drawn.empty() ? "" : font.drawn.back().text, shown) << name.substr(0, 9) << " in " << column;
    EXPECT_LE(font.lettersMeasured, 16 * (shown.size() + 1)) << name.substr(0, 9) << " in " << column;
  }
}

}  // namespace
