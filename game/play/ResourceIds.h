// ResourceIds.h: one global per resource identifier of the game's manifest (IMAGE_ globals hold the
// loaded image, SOUND_ globals the sound manager's id, FONT_ globals the font), the three binding steps
// that fill them once a resource group has loaded, and the lookups by identifier number. The globals do
// not own their resources: the resource manager keeps them until their group is freed. The Init and
// FormLoading bindings run on the main thread, the Game binding on the loading thread before the
// hand-over; the globals take no lock.
#pragma once

#include <cstdint>

#include "game/play/ResourceIdList.h"

namespace Kit {
class Font;
class Image;
class ResourceManager;
}  // namespace Kit

// The C++ type of each kind of resource global.
namespace ResourceType {
using FONT = Kit::Font*;
using IMAGE = Kit::Image*;
using SOUND = int;
}  // namespace ResourceType

#define QUARVEL_DECLARE_RESOURCE_GLOBAL(kind, name) extern ResourceType::kind name;
QUARVEL_RESOURCE_IDS(QUARVEL_DECLARE_RESOURCE_GLOBAL)
#undef QUARVEL_DECLARE_RESOURCE_GLOBAL

// Each binds its group's globals through the manager's throwing getters and returns true; at the first
// identifier the manager does not hold it stops and returns false, leaving the globals bound so far set
// and the rest as they were. The Game group binds in ascending byte order of the names.
bool ExtractInitResources(Kit::ResourceManager* manager);
bool ExtractFormLoadingResources(Kit::ResourceManager* manager);
bool ExtractGameResources(Kit::ResourceManager* manager);

// The value of the identifier's global (image or font pointer, or sound id) as a pointer-sized value;
// 0 for a number outside 0 .. kResourceIdCount - 1.
std::intptr_t GetResourceById(int id);
// The identifier's name ("SOUND_BUTTON" for 272); the empty string for a number out of range.
const char* GetResourceNameById(int id);

// Every global back to zero, as before any binding (tests).
void ResetResourceIds();
