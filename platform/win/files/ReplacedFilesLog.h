// Test seam: the files the writer (FileReplace) replaced while a log is alive, from any thread, each
// with whether it was synced to the disk, so that a test can tell how often a caller writes and syncs.
#pragma once

#include <string>
#include <vector>

namespace plat {

struct ReplacedFile {
  std::string file;  // the end of the chain of links that was replaced
  bool synced = true;
};

class ScopedReplacedFilesLog {
 public:
  ScopedReplacedFilesLog();
  ~ScopedReplacedFilesLog();
  ScopedReplacedFilesLog(const ScopedReplacedFilesLog&) = delete;
  ScopedReplacedFilesLog& operator=(const ScopedReplacedFilesLog&) = delete;

  // Every file replaced so far, in order.
  [[nodiscard]] std::vector<ReplacedFile> Replaced() const;
  // Those replaced so far at a path, in order.
  [[nodiscard]] std::vector<ReplacedFile> ReplacedAt(const std::string& file) const;
};

// The writer's note of a file it replaced; kept while a log is alive.
void NoteReplacedFile(const std::string& file, bool synced);

}  // namespace plat
