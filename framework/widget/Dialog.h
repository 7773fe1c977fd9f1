// A movable message box: a background, a centred header, word-wrapped body text, a centred footer and
// up to two buttons (yes/OK 1000, no/cancel 1001) kept directly above it as its siblings. Button
// events go to a DialogListener, by default the application, which keeps the open dialogs.
#pragma once

#include <string>

#include "framework/graphics/Rect.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"

namespace Kit {

class DialogButton;
class DialogListener;
class Font;

class Dialog : public Widget, public ButtonListener {
 public:
  Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool isModal, const std::string& header,
         const std::string& body, const std::string& footer, int buttonMode);
  ~Dialog() override;

  virtual void SetButtonFont(Font* font);
  virtual void SetHeaderFont(Font* font);
  virtual void SetLinesFont(Font* font);
  virtual int GetPreferredHeight(int width);
  virtual bool IsModal();
  // Runs the application's loop in place until a button sets the result or the dialog leaves the
  // manager; with autoKill the dialog is then closed. Returns the result (0x7FFFFFFF for none).
  virtual int WaitForResult(bool autoKill);

  void SetColor(int index, const Color& color) override;
  void AddedToManager(WidgetManager* manager) override;
  void RemovedFromManager(WidgetManager* manager) override;
  void OrderInManagerChanged() override;
  void Resize(int x, int y, int width, int height) override;
  using Widget::Resize;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseDrag(int x, int y) override;
  void MouseUpAt(int x, int y) override;
  void Draw(Graphics* g) override;

  void ButtonPress(int id) override;
  void ButtonDepress(int id) override;

  DialogListener* mDialogListener = nullptr;
  Image* mComponentImage = nullptr;
  DialogButton* mYesButton = nullptr;
  DialogButton* mNoButton = nullptr;
  std::string mHeaderText;
  std::string mFooterText;
  std::string mBodyText;
  int mButtonMode = 0;
  Font* mHeaderFont = nullptr;
  Font* mBodyFont = nullptr;
  int mBodyJustify = 0;
  int mBodyLineSpacingOffset = 0;
  int mButtonHeight = 24;
  Insets mBackgroundInsets;
  Insets mContentInsets{24, 24, 24, 24};
  int mHeaderGap = 10;
  bool mDragging = false;
  int mDragGrabX = 0;
  int mDragGrabY = 0;
  int mId = 0;
  bool mIsModal = false;
  int mResult = 0x7FFFFFFF;
  int mButtonSpacing = 8;
  int mButtonSidePadding = 0;
  // Set by the application's DoDialog on its one-button message boxes: releasing the button closes
  // the box (after the listener heard of it), so that nothing else has to.
  bool mClosesOnButton = false;

 private:
  void EnsureFonts();
  void PlaceButtons();
  int BodyLineSpacing();
};

}  // namespace Kit
