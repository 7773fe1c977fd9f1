// Reading files the program needs: the one place that opens a file for reading, so that every reader
// tells a missing file from one that is there but cannot be read, and none of them waits on a pipe or
// takes a folder for an empty file. Paths are real ones (after plat::MapPath). Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace plat {

enum class FileReadResult {
  kRead,
  // Nothing there (or a component of the path that is no folder): what a caller's "missing" fallback is for.
  kMissing,
  // Something is there but gives no bytes: a folder, a pipe or device, no permission, a link loop, a read
  // error, or more bytes than the caller takes.
  kUnreadable,
};

// The whole file at realPath, read to its end. Every reader names the most it takes, far above any real
// file of its kind: a larger file is refused as unreadable before anything is allocated for it (a sparse
// file of gigabytes takes no room on disk, but would take it in memory). On any failure the bytes are
// empty and the reason is in errno (EISDIR for a folder, EFBIG beyond maxBytes, EINVAL for a pipe or
// device).
[[nodiscard]] FileReadResult ReadWholeFile(const std::string& realPath, std::string* bytes, std::size_t maxBytes);
[[nodiscard]] FileReadResult ReadWholeFile(const std::string& realPath, std::vector<std::uint8_t>* bytes,
                                           std::size_t maxBytes);

// Whether anything has the name: a file, a folder, a pipe or a link (a dangling or looping one too). What
// stands where a file cannot be read from tells a caller that something may be lost by writing over it.
[[nodiscard]] bool AnythingAt(const std::string& realPath);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The regular file at realPath opened for binary reading, or null (errno says why) for what
// ReadWholeFile refuses: a pipe is never waited on. For readers that stream a file rather than hold it.
[[nodiscard]] FilePtr OpenFileForReading(const std::string& realPath);

}  // namespace plat
