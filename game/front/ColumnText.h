// A line of text that must keep to its own column of a screen or dialog (a player's name beside other
// fields): placed as asked when it fits, from the column's left edge when it is wider, and cut at the
// column's edges so that no pixel of it falls outside. Main thread only.
#pragma once

#include <string>

namespace Kit {
class Graphics;
}

enum class ColumnAlign { kLeft, kCentre };

// Draws text in the context's font and colour at the baseline, inside the column that starts at columnX
// and is columnWidth pixels wide; centred, the spare width is halved with truncation toward zero.
void DrawInColumn(Kit::Graphics* g, const std::string& text, int columnX, int columnWidth, int baseline,
                  ColumnAlign align);
