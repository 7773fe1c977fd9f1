#include "game/front/CustomLevelDialog.h"

#include "framework/graphics/Image.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/DialogStyle.h"
#include "game/front/FileBrowserList.h"
#include "game/play/GameApp.h"
#include "game/play/GlyphFont.h"
#include "game/play/ResourceIds.h"

namespace {

const Kit::Insets kInsets{15, 8, 15, 20};
constexpr int kHeaderGap = 40;
constexpr int kListTop = 35;  // below the dialog's top
constexpr int kListHeight = 190;
constexpr int kGapPx = 5;
const std::u16string kLevelExtension = u"lvx";
// Relative, so that it lists the player's own "custom" folder and the one that comes with the game
// together; where both hold a file of the same name, the player's is listed and loaded.
const std::u16string kCustomFolder = u"custom";

}  // namespace

CustomLevelDialog::CustomLevelDialog(std::string header, std::string lines)
    : Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kCustomLevelDialogId, true, header, lines, "",
                  Kit::kButtonsNone),
      mLoadButton(DialogStyle::MakeButton(kLoadButton, "Load", this, FONT_ARIAL13)),
      mCancelButton(DialogStyle::MakeButton(kCancelButton, "Cancel", this, FONT_ARIAL13)),
      mFileList(std::make_unique<FileBrowserList>(kFileList, this, &gGlyphFont)) {
  DialogStyle::Apply(this, kInsets, kHeaderGap, {FONT_ARIAL13, FONT_ARIAL, FONT_ARIAL12});
  mFileList->mOutline = true;
  DialogStyle::ColorList(mFileList.get());
  mScrollbar = DialogStyle::MakeListScrollbar(kFileScrollbar, mFileList.get());
  mFileList->mScrollbar = mScrollbar.get();
  mFileList->SetIcon(IMAGE_ALLICON);
  mFileList->mExtension = kLevelExtension;
  mFileList->EnterFolder(kCustomFolder);
}

CustomLevelDialog::~CustomLevelDialog() = default;

void CustomLevelDialog::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Dialog::AddedToManager(manager);
  DialogStyle::AddCompanions(manager, {mLoadButton.get(), mCancelButton.get(), mFileList.get(), mScrollbar.get()});
  manager->SetFocus(mFileList.get());
}

void CustomLevelDialog::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Dialog::RemovedFromManager(manager);
  DialogStyle::RemoveCompanions(manager, {mLoadButton.get(), mCancelButton.get(), mFileList.get(), mScrollbar.get()});
}

void CustomLevelDialog::Update() {
  mScrollbar->MarkDirty();
  Kit::Dialog::Update();
}

void CustomLevelDialog::Resize(int x, int y, int width, int height) {
  Kit::Dialog::Resize(x, y, width, height);
  mFileList->Resize(x + mContentInsets.mLeft, y + kListTop, width - mContentInsets.mLeft - mContentInsets.mRight,
                    kListHeight);
  DialogStyle::PlaceListScrollbar(mScrollbar.get(), mFileList.get());
  const int buttonHeight = IMAGE_DIALOG_BUTTON != nullptr ? IMAGE_DIALOG_BUTTON->GetHeight() : mButtonHeight;
  mLoadButton->Layout(Kit::LAY_Below | Kit::LAY_SameLeft | Kit::LAY_SetWidth | Kit::LAY_SetHeight, mFileList.get(), 0,
                      kGapPx, (mFileList->mWidth - kGapPx) / 2, buttonHeight);
  mCancelButton->Layout(Kit::LAY_Right | Kit::LAY_SameTop | Kit::LAY_SameWidth | Kit::LAY_SameHeight, mLoadButton.get(),
                        kGapPx, 0, 0, 0);
}

void CustomLevelDialog::ButtonDepress(int id) {
  Kit::Dialog::ButtonDepress(id);
  if (id == kLoadButton) LoadSelectedLevel();
  if (id == kLoadButton || id == kCancelButton) Kit::gKitApp->KillDialogOwnId(this);
}

void CustomLevelDialog::LoadSelectedLevel() {
  GameApp* game = TheGame();
  game->mCustomLevelPaths.clear();
  for (int row = 0; row < mFileList->GetRowCount(); ++row) {
    if (mFileList->GetRowKind(row) == FileBrowserEntry::kFileRow && mFileList->IsRowSelected(row))
      game->mCustomLevelPaths.push_back(AnsiFromWide(mFileList->mFolder + u'\\' + mFileList->GetRowName(row)));
  }
  if (game->mCustomLevelPaths.empty()) return;
  game->mCustomLevel = true;
  if (mStartFirstLevel) mStartFirstLevel(game);
}
