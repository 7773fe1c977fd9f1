// What the widget manager saves when a modal widget is added, so that removing it restores the modal
// widget, modifier and focus that were in force before.
#pragma once

#include "framework/widget/WidgetFlags.h"

namespace Kit {

class Widget;

struct SavedModalRecord {
  Widget* mModalWidget = nullptr;
  Widget* mPreviousModalWidget = nullptr;
  Widget* mPreviousFocusWidget = nullptr;
  FlagsModifier mPreviousModifier;
};

}  // namespace Kit
