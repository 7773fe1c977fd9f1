#include "game/front/OptionsDialog.h"

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/Slider.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/DialogStyle.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr int kSliderTop = 70;        // below the dialog's top
constexpr int kSliderGap = 50;        // between the two sliders
constexpr int kCheckboxTopGap = 20;   // from the sound slider to the first box
constexpr int kCheckboxIndent = 5;    // the boxes' left edge right of the sliders'
constexpr int kCheckboxGap = 10;      // between boxes in a column
constexpr int kDifficultyShift = 30;  // the difficulty column beyond the middle
constexpr int kOpenWidth = 390;
constexpr int kOpenHeight = 320;
constexpr int kOpenRaise = 20;

constexpr const char* kLabels[] = {"Music Volume",          "Sound Volume", "3D Acceleration", "Full Screen",
                                   "Show help at startup.", "Easy",         "Normal",          "Hard"};

constexpr const char* kNotSupportedText =
    "Hardware acceleration can not be enabled on this computer. \nYour\t\t\t\t\t\t\tvideo card does not meet the "
    "minimum requirements for this game.";
constexpr const char* kWarningText =
    "Your video card may not fully support this feature.\n\t\t\t\t\tIf you experience slower performance, please "
    "disable Hardware Acceleration.";
constexpr const char* kNoWindowedText =
    "Windowed mode is only available if your desktop is running in\n\t\t\teither 16 bit or 32 bit color mode, which "
    "it is not.";

void ShowWarning(const std::string& header, const std::string& lines) {
  Kit::gKitApp->DoDialog(kOptionsWarningDialogId, true, header, lines, "OK", Kit::kButtonsFooter);
}

}  // namespace

OptionsDialog::OptionsDialog(std::string header, std::string lines)
    : Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kOptionsDialogId, true, header, lines, "Ok",
                  Kit::kButtonsFooter) {
  DialogStyle::Apply(this, Kit::Insets(23, 8, 23, 20), 40, {FONT_ARIAL13, FONT_ARIAL, FONT_ARIAL13});
  Kit::KitAppBase* app = Kit::gKitApp;
  mMusicSlider = std::make_unique<Kit::Slider>(IMAGE_SLIDER_TRACK, IMAGE_SLIDER_THUMB, kMusicSlider, this);
  mMusicSlider->SetValue(app->GetMusicVolume());
  mSoundSlider = std::make_unique<Kit::Slider>(IMAGE_SLIDER_TRACK, IMAGE_SLIDER_THUMB, kSoundSlider, this);
  mSoundSlider->SetValue(app->GetSfxVolume());
  for (int id = k3DCheckbox; id <= kHardCheckbox; ++id)
    mCheckboxes[id - k3DCheckbox] = std::make_unique<Kit::Checkbox>(IMAGE_CHECKBOX, IMAGE_CHECKBOX, id, this);
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Dialog::AddedToManager(manager);
  manager->AddWidget(mMusicSlider.get());
  manager->AddWidget(mSoundSlider.get());
  const int half = IMAGE_CHECKBOX->GetWidth() / 2;
  for (const auto& box : mCheckboxes) {
    box->mUncheckedRect = Kit::Rect(0, 0, half, IMAGE_CHECKBOX->GetHeight());
    box->mCheckedRect = Kit::Rect(half, 0, half, IMAGE_CHECKBOX->GetHeight());
  }
  ShowCheckboxStates();
  for (const auto& box : mCheckboxes) manager->AddWidget(box.get());
}

// What the application runs with now, set without telling the listener.
void OptionsDialog::ShowCheckboxStates() {
  Kit::KitAppBase* app = Kit::gKitApp;
  Box(k3DCheckbox)->SetChecked(app->Is3DAccelerated(), false);
  Box(kFullScreenCheckbox)->SetChecked(!app->mIsWindowed, false);
  Box(kShowHelpCheckbox)->SetChecked(TheGame()->mShowHelp, false);
  for (int id = kEasyCheckbox; id <= kHardCheckbox; ++id)
    Box(id)->SetChecked(app->mDifficulty == id - kEasyCheckbox + 1, false);
}

void OptionsDialog::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Dialog::RemovedFromManager(manager);
  for (Kit::Widget* widget :
       {static_cast<Kit::Widget*>(mMusicSlider.get()), static_cast<Kit::Widget*>(mSoundSlider.get())})
    if (widget->mManager != nullptr) manager->RemoveWidget(widget);
  for (const auto& box : mCheckboxes)
    if (box->mManager != nullptr) manager->RemoveWidget(box.get());
}

void OptionsDialog::Resize(int x, int y, int width, int height) {
  Kit::Dialog::Resize(x, y, width, height);
  const int left = mContentInsets.mLeft;
  const int sliderWidth = width - left - mContentInsets.mRight;
  mMusicSlider->Resize(x + left, y + kSliderTop, sliderWidth, IMAGE_SLIDER_THUMB->GetHeight());
  mSoundSlider->Layout(Kit::LAY_SameLeft | Kit::LAY_Below | Kit::LAY_SameWidth | Kit::LAY_SameHeight,
                       mMusicSlider.get(), 0, kSliderGap, 0, 0);
  const int boxWidth = IMAGE_CHECKBOX->GetWidth() / 2;
  const int boxHeight = IMAGE_CHECKBOX->GetHeight();
  Box(k3DCheckbox)
      ->Resize(mSoundSlider->mX + kCheckboxIndent, mSoundSlider->mY + mSoundSlider->mHeight + kCheckboxTopGap, boxWidth,
               boxHeight);
  const int difficultyX = Box(k3DCheckbox)->mX + (width - 2 * left) / 2 + kDifficultyShift;
  Box(kEasyCheckbox)->Resize(difficultyX, Box(k3DCheckbox)->mY, boxWidth, boxHeight);
  for (int id : {kFullScreenCheckbox, kShowHelpCheckbox, kNormalCheckbox, kHardCheckbox}) {
    const Kit::Checkbox* above = Box(id - 1);
    Box(id)->Resize(above->mX, above->mY + above->mHeight + kCheckboxGap, boxWidth, boxHeight);
  }
}

void OptionsDialog::Draw(Kit::Graphics* g) {
  Kit::Dialog::Draw(g);
  g->SetFont(FONT_ARIAL12);
  g->SetColor(DialogStyle::kPaleBlue);
  for (const Kit::Slider* slider : {mMusicSlider.get(), mSoundSlider.get()})
    g->DrawString(kLabels[slider->mId], slider->mX - mX, slider->mY - slider->mHeight - mY + 12);
  for (const auto& box : mCheckboxes)
    g->DrawString(kLabels[box->mId], box->mX + box->mWidth - mX + 10, box->mY + box->mHeight - mY - 4);
}

void OptionsDialog::SliderVal(int id, double value) {
  Kit::KitAppBase* app = Kit::gKitApp;
  if (id == kMusicSlider) app->SetMusicVolume(value);
  if (id != kSoundSlider) return;
  app->SetSfxVolume(value);
  // The slider reports its final value on release: the player hears the new level once.
  if (!mSoundSlider->mDragging) app->PlaySample(SOUND_VOLUMEHINT);
}

void OptionsDialog::CheckboxChecked(int id, bool checked) {
  if (id >= kEasyCheckbox) {
    ChooseDifficulty(id);
  } else if (id == k3DCheckbox && checked) {
    Check3D();
  } else if (id == kFullScreenCheckbox && !checked && Kit::gKitApp->mForceFullscreen) {
    KeepFullScreen();
  }
}

// The three levels are one choice: clicking the chosen one leaves it chosen.
void OptionsDialog::ChooseDifficulty(int id) {
  for (int level = kEasyCheckbox; level <= kHardCheckbox; ++level) Box(level)->SetChecked(level == id, false);
}

void OptionsDialog::Check3D() {
  Kit::KitAppBase* app = Kit::gKitApp;
  if (!app->Is3DAccelerationSupported()) {
    Box(k3DCheckbox)->SetChecked(false);
    ShowWarning("Not Supported", kNotSupportedText);
  } else if (!app->Is3DAccelerationRecommended()) {
    ShowWarning("Warning", kWarningText);
  }
}

void OptionsDialog::KeepFullScreen() {
  ShowWarning("No Windowed Mode", kNoWindowedText);
  Box(kFullScreenCheckbox)->SetChecked(true);
}

void OptionsDialog::ButtonDepress(int id) {
  Kit::Dialog::ButtonDepress(id);
  if (id == Kit::kIdOk) Apply();
}

void OptionsDialog::Apply() {
  GameApp* app = TheGame();
  app->SwitchScreenMode(!Box(kFullScreenCheckbox)->IsChecked(), Box(k3DCheckbox)->IsChecked(), false);
  for (int id = kEasyCheckbox; id <= kHardCheckbox; ++id)
    if (Box(id)->IsChecked()) app->mDifficulty = id - kEasyCheckbox + 1;
  app->mShowHelp = Box(kShowHelpCheckbox)->IsChecked();
  app->SaveShowHelp();
  app->KillDialogOwnId(this);
}

OptionsDialog* OpenOptionsDialog(Kit::KitAppBase* app, int x) {
  auto* dialog = new OptionsDialog("Game Options", "");
  dialog->Resize(x, (app->mHeight - kOpenHeight) / 2 - kOpenRaise, kOpenWidth, kOpenHeight);
  app->AddDialog(kOptionsDialogId, dialog);
  return dialog;
}
