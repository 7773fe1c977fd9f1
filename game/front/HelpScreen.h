// HelpScreen: the game's help picture, shown before a new game while the help flag is set. A check box
// edits that flag, "More" opens the full help page beside the program with the desktop's browser, and
// "Ok" keeps the flag and starts the new game with the scene select. Owns its three controls; the
// application owns the screen while GameApp::mHelpScreen points at it. Main thread only.
#pragma once

#include <memory>

#include "framework/widget/ButtonListener.h"
#include "framework/widget/CheckboxListener.h"
#include "framework/widget/Widget.h"

class GameApp;

namespace Kit {
class ButtonWidget;
class Checkbox;
}  // namespace Kit

class HelpScreen : public Kit::Widget, public Kit::ButtonListener, public CheckboxListener {
 public:
  enum WidgetId : int { kShowHelpCheckbox = 0, kMoreButton = 1, kOkButton = 2 };
  static constexpr const char* kHelpPage = "doc\\gamehelp.htm";

  explicit HelpScreen(GameApp* app);
  ~HelpScreen() override;

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Draw(Kit::Graphics* g) override;
  void ButtonDepress(int id) override;
  // Leaves: out of the manager, queued for deletion, GameApp::mHelpScreen cleared.
  void Close();

  GameApp* mApp;
  std::unique_ptr<Kit::ButtonWidget> mMoreButton;
  std::unique_ptr<Kit::ButtonWidget> mOkButton;
  std::unique_ptr<Kit::Checkbox> mCheckbox;

 private:
  void StartGame();
};
