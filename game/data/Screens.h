// The pictures of the screens: loading logo and bar, backdrops of the three background kinds, the
// main menu, dialog frames and controls, the hint bar, scene select, level complete and game over.
#pragma once

#include <string>

namespace gamedata {

class Canvas;
class DataOutput;

void MakeScreens(DataOutput& out);
// A screen button in the house style, for pictures made elsewhere (the help page).
Canvas MakeButtonPicture(int width, int height, const std::string& caption);

}  // namespace gamedata
