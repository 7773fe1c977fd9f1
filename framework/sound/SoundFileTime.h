// The last-write stamp that the sound cache compares with its source file.
#pragma once

#include <string>

#include "platform/win/Types.h"

namespace Kit {

// Sets `time` to the file's last-write time in FILETIME units (100 ns since 1601) and returns true;
// sets it to 0 and returns false when the file does not exist or is not a regular file.
bool GetTheFileTime(const std::string& fileName, FILETIME* time);

}  // namespace Kit
