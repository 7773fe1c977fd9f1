#include "game/front/PlayerSelectDialog.h"

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Image.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/ListWidget.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/DialogStyle.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/ProfileStore.h"
#include "game/play/ResourceIds.h"

namespace {

const Kit::Insets kInsets{15, 8, 15, 20};
constexpr int kHeaderGap = 40;
constexpr int kListTop = 35;  // below the dialog's top
constexpr int kListHeight = 120;
constexpr int kGapPx = 5;

}  // namespace

PlayerSelectDialog::PlayerSelectDialog(std::string header, std::string lines)
    : Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kPlayerSelectDialogId, true, header, lines, "",
                  Kit::kButtonsNone),
      mNewPlayerButton(DialogStyle::MakeButton(kNewPlayerButton, "New Player", this, FONT_ARIAL13)),
      mRenameButton(DialogStyle::MakeButton(kRenameButton, "Rename", this, FONT_ARIAL13)),
      mDeleteButton(DialogStyle::MakeButton(kDeleteButton, "Delete", this, FONT_ARIAL13)),
      mOkButton(DialogStyle::MakeButton(kOkButton, "Ok", this, FONT_ARIAL13)),
      mCancelButton(DialogStyle::MakeButton(kCancelButton, "Cancel", this, FONT_ARIAL13)),
      mNameList(std::make_unique<Kit::ListWidget>(kNameList, FONT_DEFAULT, this)) {
  DialogStyle::Apply(this, kInsets, kHeaderGap, {FONT_ARIAL13, FONT_ARIAL, FONT_ARIAL13});
  mNameList->mTextAlign = Kit::ListWidget::JUSTIFY_CENTER;
  mNameList->mShowBorder = true;
  DialogStyle::ColorList(mNameList.get());
  mScrollbar = DialogStyle::MakeListScrollbar(kNameScrollbar, mNameList.get());
  mNameList->mScrollbar = mScrollbar.get();
}

PlayerSelectDialog::~PlayerSelectDialog() = default;

void PlayerSelectDialog::RefreshList() {
  mNameList->RemoveAll();
  for (const auto& profile : gProfileStore.mProfiles) mNameList->AddLine(profile->mName, false);
}

void PlayerSelectDialog::SelectName(const std::string& name) { mNameList->SetSelect(mNameList->GetLineIdx(name)); }

void PlayerSelectDialog::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Dialog::AddedToManager(manager);
  RefreshList();
  if (gProfileStore.mCurrentProfile != nullptr) SelectName(gProfileStore.mCurrentProfile->mName);
  DialogStyle::AddCompanions(manager, {mNewPlayerButton.get(), mRenameButton.get(), mDeleteButton.get(),
                                       mOkButton.get(), mCancelButton.get(), mNameList.get(), mScrollbar.get()});
  manager->SetFocus(mNameList.get());
}

void PlayerSelectDialog::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Dialog::RemovedFromManager(manager);
  DialogStyle::RemoveCompanions(manager, {mNewPlayerButton.get(), mRenameButton.get(), mDeleteButton.get(),
                                          mOkButton.get(), mCancelButton.get(), mNameList.get(), mScrollbar.get()});
}

void PlayerSelectDialog::Update() {
  mScrollbar->MarkDirty();
  Kit::Dialog::Update();
}

void PlayerSelectDialog::Resize(int x, int y, int width, int height) {
  Kit::Dialog::Resize(x, y, width, height);
  mNameList->Resize(x + mContentInsets.mLeft, y + kListTop, width - mContentInsets.mLeft - mContentInsets.mRight,
                    kListHeight);
  DialogStyle::PlaceListScrollbar(mScrollbar.get(), mNameList.get());
  const int buttonHeight = IMAGE_DIALOG_BUTTON != nullptr ? IMAGE_DIALOG_BUTTON->GetHeight() : mButtonHeight;
  // "New Player" the list's width; "Rename" and "Delete" half of it each; "Ok" and "Cancel" below them.
  mNewPlayerButton->Layout(Kit::LAY_Below | Kit::LAY_SameLeft | Kit::LAY_SameWidth | Kit::LAY_SetHeight,
                           mNameList.get(), 0, kGapPx, 0, buttonHeight);
  const int halfWidth = (mNewPlayerButton->mWidth - kGapPx) / 2;
  mRenameButton->Layout(Kit::LAY_Below | Kit::LAY_SameLeft | Kit::LAY_SetWidth | Kit::LAY_SameHeight,
                        mNewPlayerButton.get(), 0, kGapPx, halfWidth, 0);
  mDeleteButton->Layout(Kit::LAY_Right | Kit::LAY_SameTop | Kit::LAY_SameWidth | Kit::LAY_SameHeight,
                        mRenameButton.get(), kGapPx, 0, 0, 0);
  const std::uint32_t below = Kit::LAY_Below | Kit::LAY_SameLeft | Kit::LAY_SameWidth | Kit::LAY_SameHeight;
  mOkButton->Layout(below, mRenameButton.get(), 0, kGapPx, 0, 0);
  mCancelButton->Layout(below, mDeleteButton.get(), 0, kGapPx, 0, 0);
  mScrollbar->MarkDirty();
}

void PlayerSelectDialog::ListLineClicked(int listId, int index, int /*clickCount*/) {
  if (listId == kNameList) mNameList->SetSelect(index);
}

void PlayerSelectDialog::ButtonDepress(int id) {
  Kit::Dialog::ButtonDepress(id);
  switch (id) {
    case kNewPlayerButton:
      return NewPlayer();
    case kRenameButton:
      return Rename();
    case kDeleteButton:
      return Delete();
    case kOkButton:
      return Accept();
    case kCancelButton:
      Kit::gKitApp->KillDialogOwnId(this);
      return;
    default:
      return;
  }
}

bool PlayerSelectDialog::SelectedName(std::string* name) {
  const int selected = mNameList->mSelectedRow;
  if (selected < 0 || selected >= mNameList->GetLineCount()) return false;
  *name = mNameList->GetStringAt(selected);
  return true;
}

void PlayerSelectDialog::NewPlayer() { OpenEnterNameDialog(Kit::gKitApp, EnterNameDialog::kNewPlayer, ""); }

void PlayerSelectDialog::Rename() {
  std::string name;
  if (SelectedName(&name)) OpenEnterNameDialog(Kit::gKitApp, EnterNameDialog::kRename, name);
}

void PlayerSelectDialog::Delete() {
  std::string name;
  if (!SelectedName(&name)) return;
  gProfileStore.DeleteProfile(name);
  gProfileStore.SaveProfiles(kPlayerFilePath);
  RefreshList();
  if (gProfileStore.mCurrentProfile == nullptr)
    OpenEnterNameDialog(Kit::gKitApp, EnterNameDialog::kNewPlayer, "");
  else
    SelectName(gProfileStore.mCurrentProfile->mName);
}

void PlayerSelectDialog::Accept() {
  std::string name;
  if (!SelectedName(&name)) return;
  gProfileStore.SelectProfile(name);
  gProfileStore.SaveProfiles(kPlayerFilePath);
  Kit::gKitApp->KillDialogOwnId(this);
}
