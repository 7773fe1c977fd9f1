#include "game/front/EnterNameDialog.h"

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Image.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/EditWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/DialogStyle.h"
#include "game/front/MessageDialogs.h"
#include "game/front/PlayerSelectDialog.h"
#include "game/front/ProfileStore.h"
#include "game/play/ResourceIds.h"

namespace {

const Kit::Insets kInsets{23, 8, 23, 20};
constexpr int kHeaderGap = 40;
const Kit::Color kEditTextColor(113, 116, 134);
constexpr int kEditGapPx = 6;  // below the header's space
constexpr int kEditHeight = 25;
constexpr int kButtonsGapPx = 20;  // between the edit box and the buttons
constexpr int kButtonSpacing = 10;

// Where the dialog opens: x 90, 50 pixels above the middle, 420 by 150.
constexpr int kOpenX = 90;
constexpr int kOpenRaise = 50;
constexpr int kOpenWidth = 420;
constexpr int kOpenHeight = 150;

const std::string kNoNameText = "Please enter a player name.";
const std::string kNameTakenText = "This name already exists.";

}  // namespace

EnterNameDialog::EnterNameDialog(std::string header, std::string lines)
    : Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kEnterNameDialogId, true, header, lines, "",
                  Kit::kButtonsNone),
      mEdit(std::make_unique<Kit::EditWidget>(kNameEdit, this)),
      mOkButton(DialogStyle::MakeButton(kOkButton, "Ok", this, FONT_ARIAL13)),
      mCancelButton(DialogStyle::MakeButton(kCancelButton, "Cancel", this, FONT_ARIAL13)) {
  mContentInsets = kInsets;
  mHeaderGap = kHeaderGap;
  SetHeaderFont(FONT_ARIAL13);
  SetLinesFont(FONT_DEFAULT);
  SetButtonFont(FONT_ARIAL13);
  SetColor(DialogStyle::kHeaderColor, DialogStyle::kPaleBlue);
  SetColor(DialogStyle::kLinesColor, Kit::Color::White);
  mEdit->SetFont(FONT_DEFAULT);
  mEdit->SetColor(0, kEditTextColor);
  mEdit->SetColor(2, Kit::Color::White);
  mEdit->mMaxLength = kMaxNameLength;
}

EnterNameDialog::~EnterNameDialog() = default;

void EnterNameDialog::FocusEdit() {
  if (mManager != nullptr) mManager->SetFocus(mEdit.get());
}

void EnterNameDialog::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Dialog::AddedToManager(manager);
  DialogStyle::AddCompanions(manager, {mOkButton.get(), mCancelButton.get(), mEdit.get()});
  manager->SetFocus(mEdit.get());
}

void EnterNameDialog::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Dialog::RemovedFromManager(manager);
  DialogStyle::RemoveCompanions(manager, {mOkButton.get(), mCancelButton.get(), mEdit.get()});
}

void EnterNameDialog::Resize(int x, int y, int width, int height) {
  Kit::Dialog::Resize(x, y, width, height);
  const int innerWidth = width - mContentInsets.mRight - mContentInsets.mLeft;
  mEdit->Resize(x + mContentInsets.mLeft, y + mContentInsets.mTop + mHeaderGap + kEditGapPx, innerWidth, kEditHeight);
  const int buttonWidth = (innerWidth - kButtonSpacing) / 2;
  const int buttonHeight = IMAGE_DIALOG_BUTTON != nullptr ? IMAGE_DIALOG_BUTTON->GetHeight() : mButtonHeight;
  const int buttonTop = mEdit->mY + mEdit->mHeight + kButtonsGapPx;
  mOkButton->Resize(mEdit->mX, buttonTop, buttonWidth, buttonHeight);
  mCancelButton->Resize(mEdit->mX + buttonWidth + kButtonSpacing, buttonTop, buttonWidth, buttonHeight);
}

void EnterNameDialog::ButtonDepress(int id) {
  Kit::Dialog::ButtonDepress(id);
  if (id == kOkButton)
    AcceptName();
  else if (id == kCancelButton)
    Cancel();
}

void EnterNameDialog::AcceptName() {
  const std::string name = mEdit->mText;
  if (name.empty()) return Refuse(kNoNameText);
  if (gProfileStore.HasProfile(name)) return Refuse(kNameTakenText);
  Kit::KitAppBase* app = Kit::gKitApp;
  if (mMode == kNewPlayer) {
    gProfileStore.AddProfile(name);
    gProfileStore.SaveProfiles(kPlayerFilePath);
    const std::function<void()> afterNewPlayer = std::move(mAfterNewPlayer);
    Close();
    app->KillDialog(kPlayerSelectDialogId);
    if (afterNewPlayer) afterNewPlayer();
  } else if (mMode == kRename) {
    gProfileStore.RenameProfile(mOldName, name);
    gProfileStore.SaveProfiles(kPlayerFilePath);
    if (auto* playerSelect = dynamic_cast<PlayerSelectDialog*>(app->GetDialog(kPlayerSelectDialogId))) {
      playerSelect->RefreshList();
      playerSelect->SelectName(name);
    }
    Close();
  }
}

void EnterNameDialog::Cancel() {
  // The game needs a player: the first one cannot be cancelled.
  if (mMode == kNewPlayer && gProfileStore.mCurrentProfile == nullptr) return Refuse(kNoNameText);
  Close();
}

void EnterNameDialog::Refuse(const std::string& why) { ShowMessageDialog(Kit::gKitApp, nullptr, why, 0); }

void EnterNameDialog::Close() { Kit::gKitApp->KillDialogOwnId(this); }

EnterNameDialog* OpenEnterNameDialog(Kit::KitAppBase* app, int mode, const std::string& oldName) {
  auto* dialog = new EnterNameDialog("Please enter your name", "");
  dialog->mMode = mode;
  if (mode == EnterNameDialog::kRename) {
    dialog->mEdit->SetText(oldName);
    dialog->mOldName = oldName;
  }
  dialog->Resize(kOpenX, (app->mHeight - kOpenHeight) / 2 - kOpenRaise, kOpenWidth, kOpenHeight);
  app->AddDialog(kEnterNameDialogId, dialog);
  dialog->FocusEdit();
  return dialog;
}
