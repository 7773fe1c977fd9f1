// Writing into what takes bytes at a path but is no file: a character device (/dev/null, /dev/full) or a
// named pipe. The one writer of files (FileReplace) writes into these rather than renaming a file over
// them, so that the node stays what it was. Nothing here waits for ever: a pipe that nobody reads is
// refused at once (ENXIO), and a write that a slow reader has not taken whole within kDeviceWriteLimitMs
// is given up. Any thread.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace plat {

// How long one write into a device or pipe may last, counted on the program clock (platform/win/threads/
// Time.h) from its start, however the reader takes the bytes; past it the write is given up (EAGAIN).
constexpr int kDeviceWriteLimitMs = 5000;

// Whether a file of this type (st_mode) is written into rather than replaced.
bool IsWrittenInto(mode_t mode);

// Opens the device or pipe at realPath for writing without waiting and writes the bytes. False, with
// errno set, when it cannot be opened (ENXIO: a pipe without a reader), a write fails (ENOSPC on a full
// device, EPIPE when the reader left: no SIGPIPE reaches the process) or the reader has not taken the
// bytes within kDeviceWriteLimitMs (EAGAIN).
bool WriteIntoDevice(const std::string& realPath, std::string_view bytes);

// Whether WriteIntoDevice could open realPath now; false, with errno set, when not. A pipe found to have a
// reader is held open until WriteIntoDevice writes it (or the process ends), so that the reader sees no
// end of file before the bytes come.
bool CanWriteIntoDevice(const std::string& realPath);

}  // namespace plat
