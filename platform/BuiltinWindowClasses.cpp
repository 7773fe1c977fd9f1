// The window classes of the rooms above platform/win, plugged into its window manager.
#include "platform/ui/controls/Control.h"
#include "platform/win/window/WindowTable.h"

namespace plat {

void RegisterBuiltinWindowClasses() { RegisterControlClasses(); }

}  // namespace plat
