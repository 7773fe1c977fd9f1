// The game's icon for the Linux desktop (menus, launchers, task bars): bricks, ball and paddle on a
// night-sky tile, painted at each size the installed icon theme gets. Not read by the game itself.
#pragma once

namespace gamedata {

class DataOutput;

// The icon sizes, in pixels (square), written as icons/<size>/quarvel.png.
constexpr int kDesktopIconSizes[] = {48, 128, 256};

void MakeDesktopIcons(DataOutput& out);

}  // namespace gamedata
