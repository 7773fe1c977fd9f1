// "dsound.dll" of the layer.
#pragma once

namespace plat {

// Registers "dsound.dll" (DirectSoundCreate) with the module table.
void RegisterDSoundModule();

}  // namespace plat
