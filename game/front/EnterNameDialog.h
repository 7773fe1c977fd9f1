// EnterNameDialog: asks for a player name, for a new player (the first one at the first start, or
// "New Player" in the player-select dialog) or to rename one. It refuses an empty name and a name
// that exists already (letter case counts), each in a message box; a first player cannot be
// cancelled. A new or renamed player is saved to the player file at once. It owns its edit box and
// its two buttons, which are its siblings in the widget manager. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/widget/Dialog.h"
#include "framework/widget/EditListener.h"

namespace Kit {
class DialogButton;
class EditWidget;
class KitAppBase;
}  // namespace Kit

constexpr int kEnterNameDialogId = 4;
// A name holds at most this many characters; further typing is ignored.
constexpr int kMaxNameLength = 14;

class EnterNameDialog : public Kit::Dialog, public EditListener {
 public:
  enum Mode : int { kNewPlayer = 1, kRename = 2 };
  enum ButtonId : int { kOkButton = 0, kCancelButton = 1, kNameEdit = 2 };

  EnterNameDialog(std::string header, std::string lines);
  ~EnterNameDialog() override;

  void FocusEdit();

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Resize(int x, int y, int width, int height) override;
  using Kit::Dialog::Resize;
  void ButtonDepress(int id) override;

  std::unique_ptr<Kit::EditWidget> mEdit;
  std::string mOldName;  // the name to rename, set by the opener in rename mode
  std::unique_ptr<Kit::DialogButton> mOkButton;
  std::unique_ptr<Kit::DialogButton> mCancelButton;
  int mMode = kNewPlayer;
  // Runs once a new player has been made and this dialog closed (the level named on the command line
  // starts there at a first start); empty: nothing more happens.
  std::function<void()> mAfterNewPlayer;

 private:
  void AcceptName();
  void Cancel();
  void Refuse(const std::string& why);
  void Close();
};

// Opens the dialog as the main menu and the player-select dialog do: x 90, 50 pixels above the middle
// of the application, 420 by 150, registered under kEnterNameDialogId (the application owns it), its
// edit box focused; in rename mode the box starts with the old name.
EnterNameDialog* OpenEnterNameDialog(Kit::KitAppBase* app, int mode, const std::string& oldName);
