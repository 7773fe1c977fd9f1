// Where the layer's sound goes: one shared mixer, played by the SDL audio device on a desktop. Without a
// device (no audio driver, or SDL's dummy driver as in the tests) the mixer is moved on by the layer's
// clock instead, so sounds still start, run and end on time, silently.
#pragma once

#include "platform/audio/Mixer.h"

namespace plat::audio {

// The mixer that DirectSound and "fmod.dll" play through (44100 Hz stereo). Lives until the process ends.
[[nodiscard]] Mixer& SharedMixer();

// Opens the audio device the first time it is called; true when a device now plays the shared mixer.
bool StartOutput();
[[nodiscard]] bool HasOutputDevice();

// Without a device: advances the shared mixer by the time the clock moved since the last call. Callers
// run it before they look at or change playback state. With a device it does nothing.
void CatchUp();

}  // namespace plat::audio
