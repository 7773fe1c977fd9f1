#include "framework/widget/Dialog.h"

#include <algorithm>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/DialogListener.h"
#include "framework/widget/FallbackFont.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

namespace {

// Shared by every dialog. A dialog built without a button image turns the button label entries black
// here, and dialogs built after it start from that.
int gDialogColors[7][3] = {
    {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {80, 80, 80}, {255, 255, 255},
};

const std::string kYesLabel = "YES";
const std::string kNoLabel = "NO";
const std::string kOkLabel = "OK";
const std::string kCancelLabel = "CANCEL";

KitAppBase* AppOf(WidgetManager* manager) { return manager != nullptr ? manager->mApp : gKitApp; }

}  // namespace

Dialog::Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool isModal, const std::string& header,
               const std::string& body, const std::string& footer, int buttonMode)
    : mDialogListener(gKitApp),
      mComponentImage(componentImage),
      mHeaderText(header),
      mFooterText(footer),
      mBodyText(body),
      mButtonMode(buttonMode),
      mButtonHeight(buttonComponentImage != nullptr ? buttonComponentImage->GetHeight() : 24),
      mId(id),
      mIsModal(isModal) {
  mHasAlpha = true;
  mTransparent = true;
  mPriority = 1;

  if (buttonMode == kButtonsYesNo || buttonMode == kButtonsOkCancel) {
    mYesButton = new DialogButton(buttonComponentImage, kIdYes, this);
    mYesButton->mLabel = buttonMode == kButtonsYesNo ? kYesLabel : kOkLabel;
    mNoButton = new DialogButton(buttonComponentImage, kIdNo, this);
    mNoButton->mLabel = buttonMode == kButtonsYesNo ? kNoLabel : kCancelLabel;
  } else if (buttonMode == kButtonsFooter) {
    mYesButton = new DialogButton(buttonComponentImage, kIdYes, this);
    mYesButton->mLabel = footer;
  }

  if (buttonComponentImage == nullptr) {
    for (int index : {3, 4}) gDialogColors[index][0] = gDialogColors[index][1] = gDialogColors[index][2] = 0;
  }
  SetColorsRGB(gDialogColors, 7);
}

Dialog::~Dialog() {
  delete mYesButton;
  delete mNoButton;
  delete mHeaderFont;
  delete mBodyFont;
}

void Dialog::SetColor(int index, const Color& color) {
  Widget::SetColor(index, color);
  if (index == 3 || index == 4) {
    for (DialogButton* button : {mYesButton, mNoButton})
      if (button != nullptr) button->SetColor(index - 3, color);
  }
}

void Dialog::SetButtonFont(Font* font) {
  for (DialogButton* button : {mYesButton, mNoButton})
    if (button != nullptr) button->SetFont(font);
}

void Dialog::SetHeaderFont(Font* font) {
  delete mHeaderFont;
  mHeaderFont = font != nullptr ? font->Duplicate() : nullptr;
}

void Dialog::SetLinesFont(Font* font) {
  delete mBodyFont;
  mBodyFont = font != nullptr ? font->Duplicate() : nullptr;
}

void Dialog::EnsureFonts() {
  if (mHeaderFont == nullptr) mHeaderFont = MakeFallbackFont(AppOf(mManager), 14, 0);
  if (mBodyFont == nullptr) mBodyFont = MakeFallbackFont(AppOf(mManager), 12, 0);
}

int Dialog::BodyLineSpacing() {
  return (mBodyFont != nullptr ? mBodyFont->GetLineSpacing() : 0) + mBodyLineSpacingOffset;
}

int Dialog::GetPreferredHeight(int width) {
  EnsureFonts();
  int height = mContentInsets.mTop + mContentInsets.mBottom + mBackgroundInsets.mTop + mBackgroundInsets.mBottom;
  bool somethingAbove = false;
  if (!mHeaderText.empty() && mHeaderFont != nullptr) {
    height += mHeaderFont->GetHeight() - mHeaderFont->GetAscentPadding();
    somethingAbove = true;
  }
  if (!mBodyText.empty() && mBodyFont != nullptr) {
    if (somethingAbove) height += mHeaderGap;
    Graphics measure(nullptr);
    measure.SetFont(mBodyFont);
    const int textWidth =
        width - mContentInsets.mLeft - mContentInsets.mRight - mBackgroundInsets.mLeft - mBackgroundInsets.mRight - 4;
    height += GetWordWrappedHeight(&measure, textWidth, mBodyText, BodyLineSpacing());
    somethingAbove = true;
  }
  if (!mFooterText.empty() && mButtonMode != kButtonsFooter && mHeaderFont != nullptr) {
    if (somethingAbove) height += 8;
    height += mHeaderFont->GetLineSpacing();
    somethingAbove = true;
  }
  if (mYesButton != nullptr) {
    if (somethingAbove) height += 8;
    height += 8 + mButtonHeight;
  }
  return height;
}

bool Dialog::IsModal() { return mIsModal; }

int Dialog::WaitForResult(bool autoKill) {
  KitAppBase* app = AppOf(mManager);
  if (app == nullptr) return mResult;
  app->BeginWait(this);
  bool updated = false;
  while (mManager != nullptr && mResult == kNoDialogResult && app->UpdateAppStep(&updated)) {
  }
  app->EndWait(this);
  // Only this dialog: another one may have been registered under the same id meanwhile.
  if (autoKill && app->GetDialog(mId) == this) app->KillDialog(mId);
  return mResult;
}

void Dialog::AddedToManager(WidgetManager* manager) {
  Widget::AddedToManager(manager);
  for (DialogButton* button : {mYesButton, mNoButton})
    if (button != nullptr) manager->AddWidget(button);
}

void Dialog::RemovedFromManager(WidgetManager* manager) {
  Widget::RemovedFromManager(manager);
  for (DialogButton* button : {mYesButton, mNoButton})
    if (button != nullptr) manager->RemoveWidget(button);
}

void Dialog::OrderInManagerChanged() {
  if (mManager == nullptr) return;
  for (DialogButton* button : {mYesButton, mNoButton})
    if (button != nullptr) mManager->PutInFront(button, this);
}

void Dialog::Resize(int x, int y, int width, int height) {
  Widget::Resize(x, y, width, height);
  PlaceButtons();
}

void Dialog::PlaceButtons() {
  const int insetsX = mContentInsets.mLeft + mContentInsets.mRight + mBackgroundInsets.mLeft + mBackgroundInsets.mRight;
  const int top = mY + mHeight - mContentInsets.mBottom - mBackgroundInsets.mBottom - mButtonHeight;
  const int left = mX + mBackgroundInsets.mLeft + mContentInsets.mLeft;
  if (mYesButton != nullptr && mNoButton != nullptr) {
    const int buttonWidth = (mWidth - insetsX - 2 * mButtonSidePadding - mButtonSpacing) / 2;
    const int yesX = left + mButtonSidePadding;
    mYesButton->Resize(yesX, top, buttonWidth, mButtonHeight);
    mNoButton->Resize(yesX + buttonWidth + mButtonSpacing, top, buttonWidth, mButtonHeight);
  } else if (mYesButton != nullptr) {
    mYesButton->Resize(left, top, mWidth - insetsX, mButtonHeight);
  }
}

void Dialog::MouseDown(int x, int y, int clickCount) {
  if (clickCount == 1) {
    if (KitAppBase* app = AppOf(mManager)) app->SetCursor(CURSOR_DRAGGING);
    mDragging = true;
    mDragGrabX = x;
    mDragGrabY = y;
  }
  Widget::MouseDown(x, y, clickCount);
}

void Dialog::MouseDrag(int x, int y) {
  if (!mDragging || mManager == nullptr) return;
  const int oldX = mX;
  const int oldY = mY;
  int newX = mX + x - mDragGrabX;
  int newY = mY + y - mDragGrabY;
  // At most 8 pixels of the dialog may leave the screen on any side.
  if (newX < -8) newX = -8;
  if (newX + mWidth > mManager->mWidth + 8) newX = mManager->mWidth - mWidth + 8;
  if (newY < -8) newY = -8;
  if (newY + mHeight > mManager->mHeight + 8) newY = mManager->mHeight - mHeight + 8;
  mDragGrabX = std::clamp(oldX - newX + x, 8, std::max(8, mWidth - 9));
  mDragGrabY = std::clamp(oldY - newY + y, 8, std::max(8, mHeight - 9));
  Move(newX, newY);
}

void Dialog::MouseUpAt(int, int) {
  if (KitAppBase* app = AppOf(mManager)) app->SetCursor(CURSOR_POINTER);
  mDragging = false;
}

void Dialog::Draw(Graphics* g) {
  EnsureFonts();
  const Rect background(mBackgroundInsets.mLeft, mBackgroundInsets.mTop,
                        mWidth - mBackgroundInsets.mLeft - mBackgroundInsets.mRight,
                        mHeight - mBackgroundInsets.mTop - mBackgroundInsets.mBottom);
  if (mComponentImage != nullptr) {
    g->DrawImageBox(background, mComponentImage);
  } else {
    g->SetColor(GetColorRef(6));
    g->DrawRect(12, 12, mWidth - 25, mHeight - 25);
    g->SetColor(GetColorRef(5));
    g->FillRect(13, 13, mWidth - 26, mHeight - 26);
    g->SetColor(Color(0, 0, 0, 128));
    g->FillRect(mWidth - 12, 24, 12, mHeight - 36);
    g->FillRect(24, mHeight - 12, mWidth - 24, 12);
  }

  // Without any face (no font given and no system face installed) there is no text to lay out.
  if (mHeaderFont == nullptr || mBodyFont == nullptr) return;
  int y = mContentInsets.mTop + mBackgroundInsets.mTop;
  if (!mHeaderText.empty()) {
    y += mHeaderFont->GetAscent() - mHeaderFont->GetAscentPadding();
    g->SetFont(mHeaderFont);
    g->SetColor(GetColorRef(0));
    WriteCenteredLine(g, y, mHeaderText);
    y += mHeaderFont->GetHeight() - mHeaderFont->GetAscent() + mHeaderGap;
  }

  g->SetFont(mBodyFont);
  g->SetColor(GetColorRef(1));
  const Rect bodyRect(
      mContentInsets.mLeft + 2 + mBackgroundInsets.mLeft, y,
      mWidth - mContentInsets.mLeft - mContentInsets.mRight - mBackgroundInsets.mLeft - mBackgroundInsets.mRight - 4,
      0);
  const int textHeight = WriteWordWrapped(g, bodyRect, mBodyText, BodyLineSpacing(), mBodyJustify);

  if (!mFooterText.empty() && mButtonMode != kButtonsFooter) {
    g->SetFont(mHeaderFont);
    g->SetColor(GetColorRef(2));
    WriteCenteredLine(g, y + textHeight + 8 + mHeaderFont->GetLineSpacing(), mFooterText);
  }
}

void Dialog::ButtonPress(int id) {
  if ((id == kIdYes || id == kIdNo) && mDialogListener != nullptr) mDialogListener->DialogButtonPress(mId, id);
}

void Dialog::ButtonDepress(int id) {
  if (id != kIdYes && id != kIdNo) return;
  mResult = id;
  if (mDialogListener != nullptr) mDialogListener->DialogButtonDepress(mId, id);
  if (!mClosesOnButton) return;
  // Only while this box is still the one registered under its id: the listener may have closed it
  // already, or opened another box in its place.
  if (KitAppBase* app = AppOf(mManager); app != nullptr && app->GetDialog(mId) == this) app->KillDialog(mId);
}

}  // namespace Kit
