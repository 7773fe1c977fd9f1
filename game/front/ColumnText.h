// A line of text that must keep to its own column of a screen or dialog (a player's name beside other
// fields): text wider than the column is cut after its last letter that fits, what is left is placed as
// asked, and no pixel of it falls outside the column. Main thread only.
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
