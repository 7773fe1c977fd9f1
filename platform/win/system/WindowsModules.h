// Registers the layer's "user32.dll" and "version.dll" in the module table.
#pragma once

namespace plat {

void RegisterWindowsModules();

}  // namespace plat
