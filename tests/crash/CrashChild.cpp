#include "tests/crash/CrashChild.h"

#include <unistd.h>

#include <cstdlib>

#include "framework/app/crash/CrashHandler.h"

volatile int* volatile gNowhere = nullptr;

// The undefined-behaviour sanitizer would stop the write before it faults.
__attribute__((noinline, no_sanitize("undefined"))) void WriteThroughNull() { *gNowhere = 1; }

namespace crashtest {

void CrashIn(const std::string& folder, void (*fault)(), bool showWindow) {
  if (::chdir(folder.c_str()) != 0) std::_Exit(3);
  Kit::CrashHandler::mShowWindow = showWindow;
  Kit::CrashHandler::Install();
  fault();
}

}  // namespace crashtest
