// The game's object data: the prototypes of data/template.dat (one per animation of the catalogue)
// and the brick effect table data/effect.txt.
#pragma once

#include <string>

namespace gamedata {

struct Animation;
struct ObjectRecord;

// The record of an animation as the object library and the level files hold it.
ObjectRecord RecordOf(const Animation& animation);
// The text of data/effect.txt: a record for every brick picture.
std::string EffectTable();
// The bytes of data/template.dat: one prototype, named "template" + the animation's name, for every
// animation of the catalogue.
std::string TemplateFile();

}  // namespace gamedata
