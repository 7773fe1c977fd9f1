// The leak report: allocations still registered in a process-wide table, listed in "mem_leaks.txt" and
// on the debugger output. The file's name is a program path: in the player's own folder once the game
// has set its folders, else in the working folder (as in tests and tools). Nothing in the program
// registers allocations by itself; code that wants a report registers its own (AddRecord/RemoveRecord).
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
