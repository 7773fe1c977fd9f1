#include "platform/win/files/ReplacedFilesLog.h"

#include <algorithm>
#include <iterator>
#include <mutex>
#include <optional>

namespace plat {
namespace {

std::mutex gLock;
std::optional<std::vector<ReplacedFile>> gLog;

}  // namespace

ScopedReplacedFilesLog::ScopedReplacedFilesLog() {
  std::lock_guard guard(gLock);
  gLog.emplace();
}

ScopedReplacedFilesLog::~ScopedReplacedFilesLog() {
  std::lock_guard guard(gLock);
  gLog.reset();
}

std::vector<ReplacedFile> ScopedReplacedFilesLog::Replaced() const {
  std::lock_guard guard(gLock);
  return gLog ? *gLog : std::vector<ReplacedFile>{};
}

std::vector<ReplacedFile> ScopedReplacedFilesLog::ReplacedAt(const std::string& file) const {
  std::vector<ReplacedFile> at;
  const std::vector<ReplacedFile> all = Replaced();
  std::copy_if(all.begin(), all.end(), std::back_inserter(at),
               [&](const ReplacedFile& one) { return one.file == file; });
  return at;
}

void NoteReplacedFile(const std::string& file, bool synced) {
  std::lock_guard guard(gLock);
  if (gLog) gLog->push_back({file, synced});
}

}  // namespace plat
