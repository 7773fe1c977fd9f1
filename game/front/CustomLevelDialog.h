// CustomLevelDialog: the modal pop-up in which the player picks level files of his own from the
// "custom" folder (his own and the game's together): a file list filtered to ".lvx" with its scroll bar,
// and "Load" and "Cancel". "Load" queues every selected file on the application, in list order, sets the custom-level
// flag and starts the first of them; the dialog then closes. It owns its two buttons, the list and the scroll bar, all
// its siblings in the widget manager. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/widget/Dialog.h"
#include "framework/widget/ListWidgetListener.h"

class FileBrowserList;
class GameApp;
namespace Kit {
class DialogButton;
class ScrollbarWidget;
}  // namespace Kit

constexpr int kCustomLevelDialogId = 5;

class CustomLevelDialog : public Kit::Dialog, public ListWidgetListener {
 public:
  enum WidgetId : int { kLoadButton = 0, kCancelButton = 1, kFileList = 2, kFileScrollbar = 3 };

  // Lists the folder "custom".
  CustomLevelDialog(std::string header, std::string lines);
  ~CustomLevelDialog() override;

  // Queues the selected files and, when there is one, starts the first.
  void LoadSelectedLevel();

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Resize(int x, int y, int width, int height) override;
  using Kit::Dialog::Resize;
  void ButtonDepress(int id) override;

  // Opens the level-start screen for the first queued file (which it takes off the queue); the
  // opener gives it, as the screen belongs to the game's level flow.
  std::function<void(GameApp*)> mStartFirstLevel;

  std::unique_ptr<Kit::DialogButton> mLoadButton;
  std::unique_ptr<Kit::DialogButton> mCancelButton;
  std::unique_ptr<FileBrowserList> mFileList;
  std::unique_ptr<Kit::ScrollbarWidget> mScrollbar;
};
