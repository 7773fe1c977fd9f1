#include "framework/util/LeakTracker.h"

#include <ctime>

#include "framework/util/AutoCrit.h"
#include "framework/util/StringUtil.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/DebugOutput.h"

namespace Kit {

namespace {

// Constructed before the entry function runs, destroyed by the exit handlers.
LeakTracker gLeakTracker;

std::string LocalTimeText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64] = "";
  std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y\n", &local);  // the asctime layout
  return text;
}

}  // namespace

LeakTracker::LeakTracker() = default;

LeakTracker::~LeakTracker() {
  if (mDumpAtExit) Dump();
  mEnabled = false;
}

void LeakTracker::AddRecord(const void* address, int size, const std::string& file, int line) {
  AutoCrit lock(mLock);
  mRecords[reinterpret_cast<std::uintptr_t>(address)] = Record{size, file, line};
}

void LeakTracker::RemoveRecord(const void* address) {
  AutoCrit lock(mLock);
  mRecords.erase(reinterpret_cast<std::uintptr_t>(address));
}

void LeakTracker::SetDumpAtExit(bool dump) { mDumpAtExit = dump; }

void LeakTracker::Dump() {
  if (!mEnabled) return;
  AutoCrit lock(mLock);
  std::string report = StrFormat("Memory Leak Report for %s\n", LocalTimeText().c_str());
  long long total = 0;
  for (const auto& [address, record] : mRecords) {
    report += StrFormat("%s(%d) : Leak %d byte%s\n", record.mFile.c_str(), record.mLine, record.mSize,
                        record.mSize > 1 ? "s" : "");
    total += record.mSize;
  }
  report += "-----------------------------------------------------------\n";
  report += StrFormat("Total Unfreed: %lld bytes\n\n", total);
  // The report goes to both, and the debugger has it whatever becomes of the file (a full disk, a folder
  // standing there).
  static_cast<void>(plat::ReplaceFileContents(plat::MapPath("mem_leaks.txt"), report));
  OutputDebugString(("\n" + report).c_str());
}

LeakTracker& GetLeakTracker() { return gLeakTracker; }

void DumpMemoryLeaks() { gLeakTracker.Dump(); }

}  // namespace Kit
