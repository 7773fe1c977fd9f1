// Kit::Profiler: measures named code sections with the processor's cycle counter during a run and
// reports calls, total, average and longest time per name. Main thread only.
//
// Section events are cheap: they read the cycle counter and append to a reused array. The map work
// happens when the outermost open section closes, and its cost is excluded from the run's total.
// Section names are kept by pointer until the report is made: pass fixed texts.
#pragma once

#include <string>

namespace Kit {

class Profiler {
 public:
  static bool IsEnabled();
  // Clears the statistics and starts a run; with keepDisabled, sections are not recorded.
  static void StartRun(bool keepDisabled = false);
  // Ends the run and turns the statistics into milliseconds.
  static void StopRun();
  static void BeginSection(const char* name);
  static void EndSection(const char* name);
  // "Total Time: ..." and one line per section name, ordered case-insensitively.
  static std::string GetReport();
};

}  // namespace Kit
