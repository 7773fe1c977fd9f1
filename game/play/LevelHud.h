// The level's head-up display (level, score and lives over the hint bar), drawn alike by the play field
// and the screens around a level, and the game's two small string functions. Main thread only.
#pragma once

#include <string>

class GameApp;

namespace Kit {
class Graphics;
}

// The number in decimal: a leading minus sign when negative, no leading zeros.
std::string FormatIntDecimal(int value);
// A copy with A to Z made small; every other byte stays.
std::string ToLowerCopy(const std::string& text);

// The level box ("3/10", or "Custom"), the score and the lives in reserve (the ball in play not counted,
// never below 0), each centred in its box of the hint bar.
void DrawLevelHud(Kit::Graphics* g, const GameApp& app);
