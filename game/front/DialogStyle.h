// The look the game's dialogs share: the dialog box and button images, the pale blue text, and the
// colours of the lists and scroll bars inside the player-select and custom-level dialogs. Main thread
// only (the resource globals are read when a dialog is built).
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Kit {
class ButtonListener;
class Dialog;
class DialogButton;
class Font;
class ScrollbarWidget;
class ScrollListener;
class Widget;
class WidgetManager;
}  // namespace Kit

namespace DialogStyle {

// Dialog colour indexes: 0 header text, 1 lines text, 3 and 4 the dialog's own buttons' label and
// highlighted label.
enum DialogColor : int { kHeaderColor = 0, kLinesColor = 1, kButtonLabelColor = 3, kButtonHighlightColor = 4 };

inline const Kit::Color kPaleBlue(151, 188, 251);

struct Fonts {
  Kit::Font* header;
  Kit::Font* lines;
  Kit::Font* buttons;
};

// Insets, space after the header and fonts; the header, lines and button labels pale blue and the
// highlighted button label white.
void Apply(Kit::Dialog* dialog, const Kit::Insets& insets, int headerGap, const Fonts& fonts);
// A dialog's own controls are its siblings in the widget manager, kept above it: added after it in
// the order given, and taken out with it.
void AddCompanions(Kit::WidgetManager* manager, std::initializer_list<Kit::Widget*> companions);
void RemoveCompanions(Kit::WidgetManager* manager, std::initializer_list<Kit::Widget*> companions);
// A push button drawn from the dialog button image with a pale blue label.
std::unique_ptr<Kit::DialogButton> MakeButton(int id, const std::string& label, Kit::ButtonListener* listener,
                                              Kit::Font* font);
// The six colours of a list of names or files: background, outline, text, hovered text, selected
// fill, selected text.
void ColorList(Kit::Widget* list);
// Hidden while there is nothing to scroll; it reports to the list.
std::unique_ptr<Kit::ScrollbarWidget> MakeListScrollbar(int id, Kit::ScrollListener* list);
// The scroll bar inside the list's right edge, its arrows placed with it.
void PlaceListScrollbar(Kit::ScrollbarWidget* scrollbar, const Kit::Widget* list);

}  // namespace DialogStyle
