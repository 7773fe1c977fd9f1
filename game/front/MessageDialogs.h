// The two small modal questions every screen asks through: a message with one "Ok" button and a
// yes/no confirmation. Each builds a plain dialog (id 237; a newer one replaces an older one), sized
// from the length of its text, and waits for the answer in a nested run of the application's loop
// before it returns. Main thread only.
#pragma once

#include <string>

namespace Kit {
class KitAppBase;
class Widget;
}  // namespace Kit

constexpr int kMessageDialogId = 237;

// Shows the text until "Ok" is pressed; parent may be null (its height centres the box, else 600).
void ShowMessageDialog(Kit::KitAppBase* app, Kit::Widget* parent, std::string text, int xOffset);
// True exactly when the player pressed yes; closing the box any other way is a no. The box is centred
// horizontally on the screen size given.
bool ShowConfirmDialog(Kit::KitAppBase* app, int reserved, std::string text, int screenWidth, int screenHeight);
