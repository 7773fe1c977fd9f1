// SDL's video and event subsystems as the layer uses them: started once on first need, with the
// dummy driver when the machine has no display (or the real driver cannot start).
#pragma once

namespace plat {

// Starts SDL video (and events) when not started yet; false when even the dummy driver fails.
bool EnsureSdlVideo();
bool SdlVideoStarted();

// Turns every waiting SDL event into window messages. Runs on the main thread inside the pump.
void PumpSdlEvents();

}  // namespace plat
