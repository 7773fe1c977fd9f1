// SDL's video and event subsystems as the layer uses them: started once on first need, with the
// dummy driver when the machine has no display (or the real driver cannot start).
#pragma once

namespace plat {

// Starts SDL video (and events) when not started yet; false when even the dummy driver fails.
bool EnsureSdlVideo();
bool SdlVideoStarted();
// Whether SDL can show pixels on the screen: it knows no pixel format for an X screen of 8 bits (a
// palette), and makes neither a renderer nor a window surface there. True until SDL video has started.
bool ScreenTakesPixels();

// Turns every waiting SDL event into window messages. Runs on the main thread inside the pump.
void PumpSdlEvents();

}  // namespace plat
