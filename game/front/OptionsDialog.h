// OptionsDialog: the modal settings dialog of the main menu and the in-game menu. Two sliders set the
// music and sound volumes at once while they move; six check boxes choose 3D acceleration, full screen,
// the help screen at start-up and the difficulty (Easy, Normal and Hard act as one choice). The display
// mode, the difficulty and the help choice take effect on "Ok", the only way out. Owns its eight
// controls, which stand beside it in the widget manager; the application owns the dialog. Main thread
// only.
#pragma once

#include <memory>
#include <string>

#include "framework/widget/CheckboxListener.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/SliderListener.h"

namespace Kit {
class Checkbox;
class KitAppBase;
class Slider;
}  // namespace Kit

constexpr int kOptionsDialogId = 11;
// The options dialog's own messages.
constexpr int kOptionsWarningDialogId = 10;

class OptionsDialog : public Kit::Dialog, public SliderListener, public CheckboxListener {
 public:
  enum WidgetId : int {
    kMusicSlider = 0,
    kSoundSlider = 1,
    k3DCheckbox = 2,
    kFullScreenCheckbox = 3,
    kShowHelpCheckbox = 4,
    kEasyCheckbox = 5,
    kNormalCheckbox = 6,
    kHardCheckbox = 7,
  };

  OptionsDialog(std::string header, std::string lines);
  ~OptionsDialog() override;

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Draw(Kit::Graphics* g) override;
  void Resize(int x, int y, int width, int height) override;
  using Kit::Dialog::Resize;
  void ButtonDepress(int id) override;
  void SliderVal(int id, double value) override;
  void CheckboxChecked(int id, bool checked) override;

  std::unique_ptr<Kit::Slider> mMusicSlider;
  std::unique_ptr<Kit::Slider> mSoundSlider;
  // By widget id - k3DCheckbox.
  std::unique_ptr<Kit::Checkbox> mCheckboxes[6];

  Kit::Checkbox* Box(int id) const { return mCheckboxes[id - k3DCheckbox].get(); }

 private:
  void ShowCheckboxStates();
  void ChooseDifficulty(int id);
  void Check3D();
  void KeepFullScreen();
  void Apply();
};

// Opens the dialog as both menus do: "Game Options", at x, 20 pixels above the middle, 390 by 320,
// registered under kOptionsDialogId (the application owns it).
OptionsDialog* OpenOptionsDialog(Kit::KitAppBase* app, int x);
