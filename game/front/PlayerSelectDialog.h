// PlayerSelectDialog: the list of every player's name, the current one selected, with "New Player",
// "Rename", "Delete", "Ok" and "Cancel". Creating and renaming go through the enter-name dialog; every
// change is written to the player file at once, so "Cancel" undoes nothing already done. It owns its
// five buttons, the name list and its scroll bar, all its siblings in the widget manager. Main thread
// only.
#pragma once

#include <memory>
#include <string>

#include "framework/widget/Dialog.h"
#include "framework/widget/ListWidgetListener.h"

namespace Kit {
class DialogButton;
class ListWidget;
class ScrollbarWidget;
}  // namespace Kit

constexpr int kPlayerSelectDialogId = 8;

class PlayerSelectDialog : public Kit::Dialog, public ListWidgetListener {
 public:
  enum WidgetId : int {
    kNewPlayerButton = 0,
    kRenameButton = 1,
    kDeleteButton = 2,
    kOkButton = 3,
    kCancelButton = 4,
    kNameList = 5,
    kNameScrollbar = 6,
  };

  PlayerSelectDialog(std::string header, std::string lines);
  ~PlayerSelectDialog() override;

  // One line per profile, in the store's order; no line selected.
  void RefreshList();
  // Selects the line of that name (none when it is not listed).
  void SelectName(const std::string& name);

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Resize(int x, int y, int width, int height) override;
  using Kit::Dialog::Resize;
  void ButtonDepress(int id) override;
  void ListLineClicked(int listId, int index, int clickCount) override;

  std::unique_ptr<Kit::DialogButton> mNewPlayerButton;
  std::unique_ptr<Kit::DialogButton> mRenameButton;
  std::unique_ptr<Kit::DialogButton> mDeleteButton;
  std::unique_ptr<Kit::DialogButton> mOkButton;
  std::unique_ptr<Kit::DialogButton> mCancelButton;
  std::unique_ptr<Kit::ListWidget> mNameList;
  std::unique_ptr<Kit::ScrollbarWidget> mScrollbar;

 private:
  // The selected line's name; false when no line is selected (only while the store is empty).
  bool SelectedName(std::string* name);
  void NewPlayer();
  void Rename();
  void Delete();
  void Accept();
};
