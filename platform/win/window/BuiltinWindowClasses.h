// The window classes that the layer brings itself, registered once before the first window is made:
// the standard controls ("BUTTON", "EDIT", "LISTBOX", "STATIC"), which also draw the windows that the
// layer paints. They draw through GDI, which stands above this room, so the layer's wiring at the top
// of platform/ (BuiltinWindowClasses.cpp) defines this. Internal to the layer.
#pragma once

namespace plat {

void RegisterBuiltinWindowClasses();

}  // namespace plat
