// The game's bitmap fonts (a glyph sheet and a descriptor file each) and the wide-text glyph sheet
// with its table fonts/unicode.txt, rendered from Debian's DejaVu and Liberation fonts.
#pragma once

namespace gamedata {

class DataOutput;

void MakeFonts(DataOutput& out);

}  // namespace gamedata
