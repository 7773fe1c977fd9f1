// The crash handler covers the whole run of the game, its application object's construction included:
// it is installed before main and removed after it.
#include "framework/app/crash/CrashHandler.h"

namespace {

struct CrashHandlerStartup {
  CrashHandlerStartup() { Kit::CrashHandler::Install(); }
  ~CrashHandlerStartup() { Kit::CrashHandler::Uninstall(); }
};

const CrashHandlerStartup gCrashHandlerStartup;

}  // namespace
