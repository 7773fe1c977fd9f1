// The game's 34 sound effects, synthesised and written as 16-bit mono PCM WAV files; the ones heard
// often (wall, paddle and brick hits, buttons) are the shortest.
#pragma once

namespace gamedata {

class DataOutput;

void MakeSoundEffects(DataOutput& out);

}  // namespace gamedata
