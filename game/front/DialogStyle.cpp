#include "game/front/DialogStyle.h"

#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/play/ResourceIds.h"

namespace DialogStyle {

namespace {

constexpr int kListColors[6][3] = {{59, 64, 86}, {0, 0, 0}, {255, 255, 255}, {255, 255, 0}, {120, 147, 212}, {0, 0, 0}};
constexpr int kScrollbarColors[6][3] = {{93, 99, 129}, {54, 56, 73}, {101, 104, 136},
                                        {0, 0, 0},     {41, 43, 56}, {153, 166, 207}};
// The scroll bar lies inside the list's right edge and frame.
constexpr int kScrollbarWidth = 20;
constexpr int kScrollbarInset = 1;

}  // namespace

void Apply(Kit::Dialog* dialog, const Kit::Insets& insets, int headerGap, const Fonts& fonts) {
  dialog->mContentInsets = insets;
  dialog->mHeaderGap = headerGap;
  dialog->SetHeaderFont(fonts.header);
  dialog->SetLinesFont(fonts.lines);
  dialog->SetButtonFont(fonts.buttons);
  for (int index : {kHeaderColor, kLinesColor, kButtonLabelColor}) dialog->SetColor(index, kPaleBlue);
  dialog->SetColor(kButtonHighlightColor, Kit::Color::White);
}

void AddCompanions(Kit::WidgetManager* manager, std::initializer_list<Kit::Widget*> companions) {
  for (Kit::Widget* companion : companions) manager->AddWidget(companion);
}

void RemoveCompanions(Kit::WidgetManager* manager, std::initializer_list<Kit::Widget*> companions) {
  for (Kit::Widget* companion : companions) manager->RemoveWidget(companion);
}

std::unique_ptr<Kit::DialogButton> MakeButton(int id, const std::string& label, Kit::ButtonListener* listener,
                                              Kit::Font* font) {
  auto button = std::make_unique<Kit::DialogButton>(IMAGE_DIALOG_BUTTON, id, listener);
  button->mLabel = label;
  button->SetFont(font);
  button->SetColor(0, kPaleBlue);
  return button;
}

void ColorList(Kit::Widget* list) { list->SetColorsRGB(kListColors, 6); }

std::unique_ptr<Kit::ScrollbarWidget> MakeListScrollbar(int id, Kit::ScrollListener* list) {
  auto scrollbar = std::make_unique<Kit::ScrollbarWidget>(id, list);
  scrollbar->SetHideWhenNoScroll(true);
  scrollbar->SetColorsAll(kScrollbarColors, 6);
  return scrollbar;
}

void PlaceListScrollbar(Kit::ScrollbarWidget* scrollbar, const Kit::Widget* list) {
  scrollbar->ResizeScrollbar(list->mX + list->mWidth - kScrollbarWidth - kScrollbarInset, list->mY + kScrollbarInset,
                             kScrollbarWidth, list->mHeight - 2 * kScrollbarInset);
  scrollbar->MarkDirty();
}

}  // namespace DialogStyle
