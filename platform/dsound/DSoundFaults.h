// Test seam: makes a DirectSound call fail with a chosen result, as a real device or driver might.
#pragma once

#include "platform/win/Types.h"

namespace plat {

enum class DSoundCall {
  Create,
  SetCooperativeLevel,
  CreateSoundBuffer,
  DuplicateSoundBuffer,
  SetFormat,
  GetFormat,
  Lock,
  Unlock,
  Play,
  Stop,
  GetStatus,
  SetCurrentPosition,
  SetVolume,
  SetPan,
  SetFrequency,
  GetFrequency,
};

// Every later call of that kind returns `result` (without doing anything) until cleared.
void SetDSoundFault(DSoundCall call, HRESULT result);
void ClearDSoundFault(DSoundCall call);
void ResetDSoundFaults();
// The injected result for the call, or S_OK when none.
[[nodiscard]] HRESULT DSoundFault(DSoundCall call);

}  // namespace plat
