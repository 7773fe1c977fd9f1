// The player's files on disk, as the profile store reads and writes them. Every write holds the lock
// of the player's folder, so two running copies of the game take turns, and goes through the
// application's one atomic file writer (a temporary file beside the target, checked writes, flush and
// sync, rename; through the link when the file is one), so a crash or a kill at any point leaves the old
// file or the new one. A file that is damaged or cannot be read (a folder or anything else that stands
// there and does not open as a file counts) is kept under "<name>.bak" before anything can overwrite it,
// and the caller learns whether that copy is written. File access goes through the global application and
// is synchronised with input recordings (the copy step as one outcome). Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Kit {
class Buffer;
}

namespace PlayerFolder {

enum class ReadResult { Missing, Read, Unreadable };

// How long a save or a load waits for another running copy to finish with the folder (ms).
constexpr int kLockWaitMs = 2000;

// What became of the copy of a damaged or unreadable file.
struct DamagedCopy {
  bool mKept = false;
  // Kept: where the copy is on the machine. Not kept: why, for the player; the file is then the only
  // copy of what it holds, and nothing may replace it.
  std::string mWhere;
};

ReadResult ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes);
// Keeps the damaged file's bytes (or, when it could not be read, the file itself) beside it as
// "<name>.bak", written out and synced before this returns, with the file's permission bits, owner and
// group (the last two where the process may); a copy kept earlier, or anything else that
// holds a name, is never replaced: later ones are "<name>.bak2", "<name>.bak3", ... While a recording
// plays back the disk is left alone and the recorded outcome is returned.
DamagedCopy KeepDamagedCopy(const std::string& path, const std::vector<std::uint8_t>& bytes, ReadResult how);
// Creates the folder when missing and replaces the file whole; false when anything failed.
bool WriteFile(const std::string& path, const Kit::Buffer& contents);
// Removes from the folder of path the temporary files that saves killed midway left there (of any copy
// of the game; none is saving meanwhile, as this holds the folder's lock). The players' files stay.
// A file that is a link has its temporaries beside its target; the dead writers' ones go there. Nothing
// happens while a recording plays back, when the folder is missing, or when another copy keeps the lock
// past kLockWaitMs; nothing of it is recorded, as nothing the game reads changes.
void RemoveLeftoverTemporaries(const std::string& path);

// "<path>.bak" for 1, "<path>.bak2" for 2, ...
std::string DamagedCopyName(const std::string& path, int number);

}  // namespace PlayerFolder
