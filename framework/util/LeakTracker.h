// The leak report: allocations still registered in a process-wide table, listed in "mem_leaks.txt"
// in the current folder and on the debugger output. Nothing in the program registers allocations by
// itself; code that wants a report registers its own (AddRecord/RemoveRecord).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "framework/util/CritSect.h"

namespace Kit {

class LeakTracker {
 public:
  LeakTracker();
  // Writes the report first when SetDumpAtExit was set.
  ~LeakTracker();
  LeakTracker(const LeakTracker&) = delete;
  LeakTracker& operator=(const LeakTracker&) = delete;

  void AddRecord(const void* address, int size, const std::string& file, int line);
  void RemoveRecord(const void* address);
  void SetDumpAtExit(bool dump);
  // Writes the report: header with the local time, one line per record in address order, the total.
  // Does nothing when the file cannot be created.
  void Dump();

 private:
  struct Record {
    int mSize;
    std::string mFile;
    int mLine;
  };

  std::map<std::uintptr_t, Record> mRecords;
  CritSect mLock;
  bool mEnabled = true;
  bool mDumpAtExit = false;
};

// The process-wide tracker.
LeakTracker& GetLeakTracker();
// Writes the report of the process-wide tracker.
void DumpMemoryLeaks();

}  // namespace Kit
