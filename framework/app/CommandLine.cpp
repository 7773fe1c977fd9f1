// The command line: the framework's switches for input recording and playback, the crash-report test
// and screen-saver mode. A game takes switches of its own by overriding HandleCmdLineParam.
#include <cstdlib>

#include "framework/app/KitAppBase.h"
#include "framework/util/StringUtil.h"
#include "platform/win/process/Process.h"

namespace Kit {

namespace {

// The value as a number; text that is not one counts as 0, as the switches' rules expect.
int NumberOf(const std::string& value) {
  int number = 0;
  return StringToInt(value, number) ? number : 0;
}

}  // namespace

void KitAppBase::ParseCommandLine() {
  mCmdLineParsed = true;
  const std::string commandLine = GetCommandLine();
  std::size_t pathEnd = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    pathEnd = commandLine.find('"', 1);
    if (pathEnd == std::string::npos) return;
  }
  const std::size_t space = commandLine.find(' ', pathEnd);
  if (space == std::string::npos || space + 1 >= commandLine.size()) return;
  ParseCommandLineText(commandLine.substr(space + 1));
}

void KitAppBase::ParseCommandLineText(const std::string& text) {
  std::string name;
  std::string value;
  bool inQuotes = false;
  bool inValue = false;
  // Blanks between parameters and after a closing quote end nothing: only a parameter with a name
  // or a value is handled, so that "a  b" or a quoted value before a blank stay valid.
  auto endParameter = [&] {
    if (!name.empty() || !value.empty()) HandleCmdLineParam(name, value);
    name.clear();
    value.clear();
    inValue = false;
  };
  for (const char c : text) {
    if (c == '"') {
      inQuotes = !inQuotes;
      if (!inQuotes) endParameter();
    } else if (c == ' ' && !inQuotes) {
      endParameter();
    } else if (c == '=') {
      inValue = true;
    } else {
      (inValue ? value : name) += c;
    }
  }
  endParameter();
}

void KitAppBase::HandleCmdLineParam(const std::string& name, const std::string& value) {
  if (name == "-play") {
    mPlayingDemoBuffer = true;
    mRecordingDemoBuffer = false;
  } else if (name == "-recnum") {
    int keep = NumberOf(value);
    if (keep < 1) keep = 5;
    const int highest = GetNextDemoNumber(mDemoPrefix, keep, true);
    mDemoFileName = mDemoPrefix + StrFormat("%d.dmo", highest + 1);
    mRecordingDemoBuffer = true;
    mPlayingDemoBuffer = false;
  } else if (name == "-playnum") {
    // The how-many-th newest recording; 1, and anything below it, the newest.
    const int number = NumberOf(value);
    const int back = number > 1 ? number - 1 : 0;
    const int highest = GetNextDemoNumber(mDemoPrefix, back, false);
    // Counted in 64 bits: far enough back from a low number, the number is beyond any int (and file).
    mDemoFileName = mDemoPrefix + StrFormat("%lld.dmo", static_cast<long long>(highest) - back);
    mPlayingDemoBuffer = true;
    mRecordingDemoBuffer = false;
  } else if (name == "-record") {
    mRecordingDemoBuffer = true;
    mPlayingDemoBuffer = false;
  } else if (name == "-demofile") {
    mDemoFileName = value;
  } else if (name == "-crash") {
    // Accepted: the crash report's test runs without further setting.
  } else if (name == "-screensaver") {
    mIsScreenSaver = true;
  } else {
    Popup("Invalid Command Line Param: " + name);
    // Nothing has changed the desktop yet while the command line is read, so there is nothing to
    // restore before ending.
    ExitProcess(EXIT_FAILURE);
  }
}

}  // namespace Kit
