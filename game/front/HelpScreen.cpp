#include "game/front/HelpScreen.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/DialogStyle.h"
#include "game/front/Screens.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"

namespace {

std::unique_ptr<Kit::ButtonWidget> MakeLabelButton(int id, const char* label, int x, Kit::ButtonListener* listener) {
  std::unique_ptr<Kit::ButtonWidget> button = DialogStyle::MakeButton(id, label, listener, FONT_ARIAL13);
  button->Resize(x, 550, 106, 30);
  return button;
}

}  // namespace

HelpScreen::HelpScreen(GameApp* app) : mApp(app) {}

HelpScreen::~HelpScreen() = default;

void HelpScreen::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Widget::AddedToManager(manager);
  mMoreButton = MakeLabelButton(kMoreButton, "More", 563, this);
  mOkButton = MakeLabelButton(kOkButton, "Ok", 675, this);
  mCheckbox = std::make_unique<Kit::Checkbox>(IMAGE_CHECKBOX, IMAGE_CHECKBOX, kShowHelpCheckbox, this);
  const int half = IMAGE_CHECKBOX->GetWidth() / 2;
  mCheckbox->mUncheckedRect = Kit::Rect(0, 0, half, IMAGE_CHECKBOX->GetHeight());
  mCheckbox->mCheckedRect = Kit::Rect(half, 0, half, IMAGE_CHECKBOX->GetHeight());
  mCheckbox->Resize(20, 554, half, IMAGE_CHECKBOX->GetHeight());
  mCheckbox->SetChecked(mApp->mShowHelp, false);
  for (Kit::Widget* child : {static_cast<Kit::Widget*>(mMoreButton.get()), static_cast<Kit::Widget*>(mOkButton.get()),
                             static_cast<Kit::Widget*>(mCheckbox.get())})
    manager->AddWidget(child);
}

void HelpScreen::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Widget::RemovedFromManager(manager);
  for (Kit::Widget* child : {static_cast<Kit::Widget*>(mMoreButton.get()), static_cast<Kit::Widget*>(mOkButton.get()),
                             static_cast<Kit::Widget*>(mCheckbox.get())})
    if (child != nullptr && child->mManager != nullptr) manager->RemoveWidget(child);
}

void HelpScreen::Update() {
  Kit::Widget::Update();
  MarkDirty();
}

void HelpScreen::Draw(Kit::Graphics* g) {
  g->SetColor(Kit::Color::Black);
  g->FillRect(0, 0, mWidth, mHeight);
  g->DrawImage(IMAGE_HELP, 0, 0);
  g->SetFont(FONT_ARIAL12);
  g->SetColor(DialogStyle::kPaleBlue);
  g->DrawString("Show help at startup.", mCheckbox->mX - mX + mCheckbox->mWidth + 6,
                mCheckbox->mY - mY + mCheckbox->mHeight - 4);
}

void HelpScreen::ButtonDepress(int id) {
  if (id == kMoreButton) mApp->OpenURL(GetProgramDirectory() + kHelpPage, false);
  if (id == kOkButton) StartGame();
}

void HelpScreen::StartGame() {
  mApp->mShowHelp = mCheckbox->IsChecked();
  mApp->SaveShowHelp();
  OpenSceneSelect(mApp);
  ResetForNewGame(mApp);
  mApp->PlaySample(SOUND_BTNSLIDE);
  Close();
}

void HelpScreen::Close() { CloseScreen(mApp, mApp->mHelpScreen); }
