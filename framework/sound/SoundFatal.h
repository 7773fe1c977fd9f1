// The sound code's fatal ends: a message box, then the process exits with code 0.
#pragma once

namespace Kit {

// Shows `text` under `caption` (an error icon when `errorIcon`) and ends the program with exit code 0.
[[noreturn]] void SoundFatalExit(const char* text, const char* caption, bool errorIcon);
// Ends the program with exit code 0 without a word.
[[noreturn]] void SoundSilentExit();

}  // namespace Kit
