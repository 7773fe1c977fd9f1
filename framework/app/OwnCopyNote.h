// The line an error adds when the file it could not use was the player's own copy, which the program reads
// in place of its own: the player is told where that copy lies. Any thread.
#pragma once

#include <string>

namespace Kit {

// "\r\n\r\nThe file read is your own copy: " and the copy's real path when the program path reads a copy
// in the player's folder; empty otherwise.
std::string OwnCopyNote(const std::string& programPath);

}  // namespace Kit
