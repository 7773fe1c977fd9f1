// The custom-level browser: the rows of a folder (sorted, filtered without regard to case), going into
// folders and back up but never above the first folder, selecting files, the mouse and the wheel, and
// the dialog that queues the selected files.
#include "framework/widget/ScrollbarWidget.h"
#include "game/front/CustomLevelDialog.h"
#include "game/front/FileBrowserList.h"
#include "game/play/GlyphFont.h"
#include "platform/shell/Shell.h"
#include "tests/drawing/DrawingDoubles.h"
#include "tests/front/FrontTestSupport.h"
#include "tests/support/ScopedSearchFolders.h"

namespace {

struct NoListener : ListWidgetListener {};

class FileBrowserTest : public FrontTest::FrontFixture {
 protected:
  FileBrowserTest() {
    for (const char* file : {"custom/b.lvx", "custom/A.LVX", "custom/notes.txt", "custom/c.lvxx",
                             "custom/sub2/deep.lvx", "custom/Sub1/x.Lvx"})
      mFolder.Write(file, "level");
    mList.Resize(0, 0, 200, 72);  // four rows of 16 pixels fit
    mList.mExtension = u"lvx";
  }
  // The root given with forward slashes and a trailing one: either separator serves.
  void Open() { mList.EnterFolder(WideFromAnsi(mFolder.Path().string() + "/custom/")); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < mList.GetRowCount(); ++i) rows.push_back(AnsiFromWide(mList.GetRowName(i)));
    return rows;
  }
  void DoubleClickRow(int row) {
    mList.MouseMove(10, 4 + row * 16 + 8);
    mList.MouseDown(10, 4 + row * 16 + 8, 2);
  }
  void ClickRow(int row) {
    mList.MouseMove(10, 4 + row * 16 + 8);
    mList.MouseDown(10, 4 + row * 16 + 8, 1);
  }

  NoListener mListener;
  FileBrowserList mList{2, &mListener, &gGlyphFont};
};

TEST_F(FileBrowserTest, AFolderShowsUpThenItsFoldersThenItsLevelsEachSortedByName) {
  Open();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"UP", "Sub1", "sub2", "A.LVX", "b.lvx"}));
  EXPECT_EQ(mList.GetRowKind(0), FileBrowserEntry::kUpRow);
  EXPECT_EQ(mList.GetRowKind(1), FileBrowserEntry::kFolderRow);
  EXPECT_EQ(mList.GetRowKind(4), FileBrowserEntry::kFileRow);
  FileBrowserList missing(2, &mListener, &gGlyphFont);
  missing.EnterFolder(WideFromAnsi(mFolder / "nowhere"));
  EXPECT_EQ(missing.GetRowCount(), 1) << "a missing folder shows only UP";
}

TEST_F(FileBrowserTest, DoubleClicksGoIntoFoldersAndBackButNeverAboveTheRoot) {
  Open();
  const std::u16string root = mList.mFolder;
  DoubleClickRow(1);
  EXPECT_EQ(mList.mFolder, root + u"\\Sub1");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"UP", "x.Lvx"}));
  DoubleClickRow(0);
  EXPECT_EQ(mList.mFolder, root);
  DoubleClickRow(0);
  EXPECT_EQ(mList.mFolder, root) << "UP at the root stays";
  DoubleClickRow(4);
  EXPECT_EQ(mList.mFolder, root) << "a double click on a file enters nothing";
}

TEST_F(FileBrowserTest, ClicksToggleFilesOnlyAndMissNothingBelowTheLastRow) {
  Open();
  ClickRow(3);
  ClickRow(4);
  EXPECT_TRUE(mList.IsRowSelected(3) && mList.IsRowSelected(4));
  EXPECT_EQ(mList.mSelectedRow, 4);
  ClickRow(4);
  EXPECT_FALSE(mList.IsRowSelected(4));
  EXPECT_EQ(mList.mSelectedRow, -1);
  ClickRow(1);
  EXPECT_FALSE(mList.IsRowSelected(1)) << "folders are not selected";
  mList.MouseMove(10, 2);
  EXPECT_EQ(mList.mHoverRow, 0) << "the border above the first row belongs to it";
  mList.MouseMove(10, 4 + 5 * 16);
  EXPECT_EQ(mList.mHoverRow, -1);
  mList.MouseDown(10, 4 + 5 * 16, 1);
  EXPECT_TRUE(mList.IsRowSelected(3));
}

TEST_F(FileBrowserTest, TheWheelScrollsFiveRowsANotchWithinTheScrollbar) {
  Kit::ScrollbarWidget scrollbar(3, &mList);
  mList.mScrollbar = &scrollbar;
  for (int i = 0; i < 20; ++i) mFolder.Write("custom/level" + std::to_string(10 + i) + ".lvx", "");
  Open();
  mList.Resize(0, 0, 200, 72);
  mList.MouseWheel(-120);
  EXPECT_EQ(mList.mScrollPos, 5.0);
  mList.MouseWheel(120);
  mList.MouseWheel(120);
  EXPECT_EQ(mList.mScrollPos, 0.0) << "held at the top";
  mList.MouseMove(10, 4 + 8);
  EXPECT_EQ(mList.mHoverRow, 0);
}

TEST_F(FileBrowserTest, AListWithoutAFontBeepsInsteadOfListing) {
  plat::ScopedShellLog shell;
  FileBrowserList blind(2, &mListener, nullptr);
  blind.EnterFolder(WideFromAnsi(mFolder / "custom"));
  EXPECT_EQ(blind.GetRowCount(), 0);
  EXPECT_EQ(shell.Record().beeps, (std::vector<std::pair<DWORD, DWORD>>{{222, 222}}));
}

class CustomLevelDialogTest : public FileBrowserTest {
 protected:
  CustomLevelDialog* OpenDialog() {
    auto* dialog = new CustomLevelDialog("Custom Level", "");
    dialog->mStartFirstLevel = [this](GameApp* game) { mStarted.push_back(game->mCustomLevelPaths.front()); };
    dialog->Resize(165, 138, 270, 283);
    mApp.AddDialog(kCustomLevelDialogId, dialog);
    return dialog;
  }
  std::vector<std::string> mStarted;
};

// Rows selected (toggled, in a sub-folder or the first folder) and what Load queues.
struct LoadCase {
  std::u16string folder;
  std::vector<int> toggled;
  std::list<std::string> queued;
};

TEST_F(CustomLevelDialogTest, LoadQueuesTheSelectedFilesInListOrderStartsTheFirstAndCloses) {
  for (const LoadCase& c : {LoadCase{u"", {4, 3}, {"custom\\A.LVX", "custom\\b.lvx"}},
                            LoadCase{u"sub2", {1}, {"custom\\sub2\\deep.lvx"}}, LoadCase{u"", {3, 3}, {}}}) {
    mApp.mCustomLevelPaths.clear();
    mApp.mCustomLevel = false;
    mStarted.clear();
    CustomLevelDialog* dialog = OpenDialog();
    if (!c.folder.empty()) dialog->mFileList->EnterFolder(c.folder);
    for (int row : c.toggled) dialog->mFileList->SetRowSelected(row, !dialog->mFileList->IsRowSelected(row));
    dialog->ButtonDepress(CustomLevelDialog::kLoadButton);
    EXPECT_EQ(mApp.mCustomLevelPaths, c.queued);
    EXPECT_EQ(mApp.mCustomLevel, !c.queued.empty());
    EXPECT_EQ(mStarted, std::vector<std::string>(c.queued.begin(), std::next(c.queued.begin(), !c.queued.empty())));
    EXPECT_EQ(mApp.GetDialog(kCustomLevelDialogId), nullptr);
  }
}

TEST_F(FileBrowserTest, RowsDrawTheirIconFillAndFrameFromTheFirstVisibleRow) {
  plat::ScopedShellLog quiet;  // the glyph font has no glyphs here and beeps for the names
  Kit::Image icons;
  icons.mWidth = 64;
  icons.mHeight = 16;
  icons.mNumCols = 4;  // cels of 16 pixels: up, folder, file, selected file
  mList.SetIcon(&icons);
  Open();
  mList.SetRowSelected(4, true);
  mList.ScrollPosition(3, 1.0);
  drawingtest::RecordingImage screen(200, 72);
  Kit::Graphics g(&screen);
  mList.Draw(&g);
  std::vector<std::string> drawn;
  for (const drawingtest::Call& call : screen.calls) {
    if (call.op == "Blt")
      drawn.push_back("icon " + std::to_string(call.rect.mX / 16) + " at " + std::to_string(call.dest.mY));
    if (call.op == "FillRect") drawn.push_back("fill at " + std::to_string(call.rect.mY));
    if (call.op == "DrawRect") drawn.push_back("frame");
  }
  // Rows 1 to 4 are visible from a scroll position of 1; row 4, the selected file, is filled.
  EXPECT_EQ(drawn, (std::vector<std::string>{"fill at 0", "icon 1 at 5", "icon 1 at 21", "icon 2 at 37", "fill at 52",
                                             "icon 3 at 53", "frame"}));
}

TEST_F(CustomLevelDialogTest, TheGamesOwnLevelsShowUntilThePlayerHasAFolderOfHisOwn) {
  mFolder.Write("data/custom/sample.lvx", "");
  std::filesystem::create_directories(mFolder.Path() / "player");
  const testsupport::ScopedSearchFolders folders(mFolder / "player", mFolder / "data");
  EXPECT_EQ(OpenDialog()->mFileList->GetRowName(1), u"sample.lvx");
  mFolder.Write("player/custom/mine.lvx", "");
  EXPECT_EQ(OpenDialog()->mFileList->GetRowName(1), u"mine.lvx");
}

}  // namespace
