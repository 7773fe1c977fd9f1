// The window classes of the rooms above platform/win, plugged into its window manager.
#include "platform/win/window/BuiltinWindowClasses.h"
#include "platform/ui/controls/Control.h"

namespace plat {

void RegisterBuiltinWindowClasses() { RegisterControlClasses(); }

}  // namespace plat
