// Things that stand where a file should be and give no bytes, made in ways that fail for root too (whom
// permissions do not stop, and tests run as root): a folder; a symbolic link into a loop of links, so
// that the open fails (ELOOP); a link to this process's /proc/self/mem, which opens as a regular file
// but whose read at offset 0 fails (EIO); a pipe without a writer (or reader), on which an open that
// waits would hang. For the writers too: character devices of the test's own, made like /dev/null (takes
// every byte) and /dev/full (every write fails with ENOSPC), so that no real device is ever at stake.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace testsupport {

enum class Unreadable { kFolder, kLinkLoop, kReadError, kPipe, kNullDevice, kFullDevice };

inline constexpr Unreadable kUnreadableKinds[] = {Unreadable::kFolder, Unreadable::kLinkLoop, Unreadable::kReadError,
                                                  Unreadable::kPipe};
// What a writer may meet where it would replace a file: all but the read error, which only a reader sees.
inline constexpr Unreadable kNoFileToReplaceKinds[] = {Unreadable::kFolder, Unreadable::kLinkLoop, Unreadable::kPipe,
                                                       Unreadable::kNullDevice, Unreadable::kFullDevice};

// "Folder", "LinkLoop", "ReadError", "Pipe", "NullDevice", "FullDevice": for test names.
std::string UnreadableName(Unreadable kind);
// The same, as a test shows the kind.
inline void PrintTo(Unreadable kind, std::ostream* out) { *out << UnreadableName(kind); }

// Puts one at path, making its parent folders. A folder gets a file inside, so that a reader or writer
// that removed or replaced it would be seen.
void MakeUnreadable(const std::filesystem::path& path, Unreadable kind);

// Whether what MakeUnreadable put at path is still there as it was made.
bool UnreadableIsIntact(const std::filesystem::path& path, Unreadable kind);

}  // namespace testsupport
