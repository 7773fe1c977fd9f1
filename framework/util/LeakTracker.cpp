#include "framework/util/LeakTracker.h"

#include <cstdio>
#include <ctime>

#include "framework/util/AutoCrit.h"
#include "framework/util/StringUtil.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/DebugOutput.h"

namespace Kit {

namespace {

// Constructed before the entry function runs, destroyed by the exit handlers.
LeakTracker gLeakTracker;

class ReportFile {
 public:
  explicit ReportFile(const char* name) : mFile(std::fopen(plat::MapPath(name).c_str(), "w")) {}
  ~ReportFile() {
    if (mFile) std::fclose(mFile);
  }
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  bool IsOpen() const { return mFile != nullptr; }
  // Each report line goes to the file and to the debugger output.
  void Write(const std::string& text) {
    std::fputs(text.c_str(), mFile);
    OutputDebugString(text.c_str());
  }

 private:
  std::FILE* mFile;
};

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
  ReportFile report("mem_leaks.txt");
  if (!report.IsOpen()) return;
  OutputDebugString("\n");
  report.Write(StrFormat("Memory Leak Report for %s\n", LocalTimeText().c_str()));
  long long total = 0;
  for (const auto& [address, record] : mRecords) {
    report.Write(StrFormat("%s(%d) : Leak %d byte%s\n", record.mFile.c_str(), record.mLine, record.mSize,
                           record.mSize > 1 ? "s" : ""));
    total += record.mSize;
  }
  report.Write("-----------------------------------------------------------\n");
  report.Write(StrFormat("Total Unfreed: %lld bytes\n\n", total));
}

LeakTracker& GetLeakTracker() { return gLeakTracker; }

void DumpMemoryLeaks() { gLeakTracker.Dump(); }

}  // namespace Kit
