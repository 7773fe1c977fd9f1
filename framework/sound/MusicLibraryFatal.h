// The music libraries' fatal end: a missing library or entry point leaves the program no way to go on.
#pragma once

namespace Kit {

// Shows `text` in an error box captioned "Error", then ends the program with a failure status.
[[noreturn]] void MusicLibraryFatal(const char* text);

}  // namespace Kit
