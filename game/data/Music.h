// The five music tracks (menu, three level tracks, game over), composed from seeded patterns,
// synthesised as seamless loops and encoded as Ogg Vorbis with libvorbisenc.
#pragma once

namespace gamedata {

class DataOutput;

void MakeMusic(DataOutput& out);

}  // namespace gamedata
