#include "game/front/MessageDialogs.h"

#include <memory>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/widget/Dialog.h"
#include "game/front/DialogStyle.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr int kBoxWidth = 300;
constexpr int kBoxBaseHeight = 150;
// The text is counted in lines of this many pixels of FONT_ARIAL13; a text narrower than one line
// adds no height.
constexpr int kLineWidthPx = 254;
constexpr int kHeaderGap = 25;
constexpr int kDefaultParentHeight = 600;
constexpr int kMessageLeftPx = 150;  // added to the caller's x offset
const Kit::Insets kInsets{23, 8, 23, 20};

int TextHeight(const std::string& text) {
  if (FONT_ARIAL13 == nullptr) return 0;
  return FONT_ARIAL13->StringWidth(text) / kLineWidthPx * FONT_ARIAL13->GetHeight();
}

// The y of a box whose centre lies 75 pixels above the middle of the reference height.
int CentredTop(int referenceHeight, int textHeight) { return referenceHeight / 2 - textHeight / 2 - 75; }

Kit::Dialog* BuildBox(const std::string& text, const std::string& footer, int buttonMode) {
  auto* dialog = new Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kMessageDialogId, true, "Message", text, footer,
                                 buttonMode);
  DialogStyle::Apply(dialog, kInsets, kHeaderGap, {FONT_ARIAL13, FONT_ARIAL12, FONT_ARIAL13});
  return dialog;
}

// Registers the box (the application owns it from here) and waits until it is answered or gone.
int ShowAndWait(Kit::KitAppBase* app, Kit::Dialog* dialog, int x, int y, int textHeight) {
  dialog->Resize(x, y, kBoxWidth, textHeight + kBoxBaseHeight);
  app->AddDialog(kMessageDialogId, dialog);
  return dialog->WaitForResult(true);
}

}  // namespace

void ShowMessageDialog(Kit::KitAppBase* app, Kit::Widget* parent, std::string text, int xOffset) {
  if (app == nullptr) return;
  const int textHeight = TextHeight(text);
  Kit::Dialog* dialog = BuildBox(text, "Ok", Kit::kButtonsFooter);
  dialog->SetColor(2, DialogStyle::kPaleBlue);
  const int referenceHeight = parent != nullptr ? parent->mHeight : kDefaultParentHeight;
  ShowAndWait(app, dialog, xOffset + kMessageLeftPx, CentredTop(referenceHeight, textHeight), textHeight);
}

bool ShowConfirmDialog(Kit::KitAppBase* app, int /*reserved*/, std::string text, int screenWidth, int screenHeight) {
  if (app == nullptr) return false;
  const int textHeight = TextHeight(text);
  Kit::Dialog* dialog = BuildBox(text, "", Kit::kButtonsYesNo);
  // Three quarters of the way up from the centred position, truncated.
  const int y = static_cast<int>(CentredTop(screenHeight, textHeight) * 0.75);
  return ShowAndWait(app, dialog, screenWidth / 2 - kBoxWidth / 2, y, textHeight) == Kit::kIdYes;
}
