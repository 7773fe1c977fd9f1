// Replacing a file whole: the bytes go to a temporary file beside it, are synced, and take the file's
// place by rename, so that a reader (or a crash) sees the old file or the new one, never a part. A file
// that is a symbolic link (a settings or player file kept elsewhere and linked in) is written through
// the link: the temporary goes beside the file at the end of the chain of links and replaces that one,
// so the link stays a link. Only a regular file (or nothing) is replaced; a character device or a named
// pipe is written into instead (DeviceWrite), never renamed over. A copy of a damaged file set aside,
// and the file itself moved aside, take a name that nothing holds, never replacing anything. Any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Whether a replaced file is made to survive a power cut. Synced, the default: the temporary's bytes,
// and then the folder's rename, reach the disk before the write returns. Unsynced leaves both to the
// system, for files that are only a developer's snapshot (the image dump): a reader still sees the old
// file or the whole new one, but a power cut soon after may leave the old one, or a part of the new.
enum class FileSync { kSynced, kUnsynced };

// Writes bytes over the file at realPath (a path of the machine, not a program path). The file replaced
// is realPath itself or the end of its chain of symbolic links (a relative link is taken from the folder
// it lies in; a dangling link gives the name it points to; a chain that does not end is refused with
// ELOOP). Each call has a temporary of its own, that file + ".tmp" + process id + "-" + a number, so
// that threads and processes writing one file at once each succeed, the last rename winning; it gets the
// replaced file's permission bits, owner and group (the last two where the process may: as root), or for
// a new file the umask's bits and the owner that Ownership gives what is made in its folder. A device or
// pipe there gets the bytes
// written into it without a wait that could last (WriteIntoDevice); a folder is refused with EISDIR, a
// block device or socket with EINVAL. False, with errno set, when a step fails; the temporary is removed
// then and the old file stays as it was.
[[nodiscard]] bool ReplaceFileContents(const std::string& realPath, std::string_view bytes,
                                       FileSync sync = FileSync::kSynced);

// Sets bytes aside as a new file under the first of realCopies (real paths in one folder) that nothing
// holds, and returns it. It is made as a temporary beside the first name, written and synced, with the
// permission bits, owner and group of the regular file at the end of realOriginal's links (when
// realOriginal is no regular file, those of a new file), so that a copy of a private file stays private;
// then renamed to each name in turn without replacing anything. Whatever holds a name when its turn comes,
// a link above all, is neither written through nor replaced: the name is passed by. Nothing, with errno
// set, when every name is taken (EEXIST) or a step failed; the temporary is removed then.
[[nodiscard]] std::optional<std::string> WriteCopyOf(const std::string& realOriginal,
                                                     const std::vector<std::string>& realCopies,
                                                     std::string_view bytes);

// Renames the file (or whatever stands) at realPath to the first of realNames that nothing holds, as
// WriteCopyOf places its copy: nothing is replaced. The name taken; nothing, with errno set, when every
// name is taken (EEXIST) or the rename failed.
[[nodiscard]] std::optional<std::string> MoveAside(const std::string& realPath,
                                                   const std::vector<std::string>& realNames);

// Whether a write of realPath would make a new file: nothing stands at the end of its chain of links
// (a dangling link names a file still to be made). False for anything there and for a chain that does
// not end.
[[nodiscard]] bool NothingToReplace(const std::string& realPath);

// Whether ReplaceFileContents could begin now: a device or pipe there opens for writing without waiting
// (a pipe that nobody reads does not), or the target is a regular file or nothing and a temporary can be
// made beside it (it is removed again). False, with errno set, when not. For a caller that must know before
// it starts work whose only result is the file (a recording).
[[nodiscard]] bool CanReplaceFile(const std::string& realPath);

// Removes the temporaries of realPath (beside its target) that processes which no longer run left
// behind (killed between creating and renaming them); those of running processes stay. A process that
// took over a dead writer's id, having begun after the temporary was last written, is no writer of it.
void RemoveStaleTemporaries(const std::string& realPath);

// Removes from the folder (not below it) every temporary that ReplaceFileContents makes, of any file
// and any process: for a caller holding the lock that every writer of the folder holds from before it
// makes its temporary until after the rename, so that none of them is a write under way. Only regular
// files named exactly like a temporary go; a missing folder is no error.
void RemoveAllTemporaries(const std::string& realFolder);

}  // namespace plat
