// Shell and sound services: opening documents and addresses with the desktop's handler, the system
// beep and system sounds.
#pragma once

#include <string>
#include <vector>

#include "platform/util/ScopedValue.h"
#include "platform/win/Types.h"

// Opens the file or address with xdg-open ("open" is the only verb). A file path goes through
// plat::MapPath. Above 32 once the opener has started, as on Windows; its verdict is not waited for (it
// runs the handler in the foreground, for as long as the document is shown). A failure is told to the
// player in a message box, as Windows' own error window tells it: at once and returned for a missing
// file (ERROR_FILE_NOT_FOUND) or a missing xdg-open (SE_ERR_NOASSOC); from the main thread's message
// pump when the opener fails within plat::kOpenerVerdictMillis, having found nothing that opens the
// document (a later failure is the end of a viewer that showed it).
HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, int show);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, int show);
constexpr LONG_PTR SE_ERR_NOASSOC = 31;

// Never blocks: the tone is the terminal bell where there is a terminal.
BOOL Beep(DWORD frequency, DWORD durationMillis);

constexpr DWORD SND_SYNC = 0x0000;
constexpr DWORD SND_ASYNC = 0x0001;
constexpr DWORD SND_NODEFAULT = 0x0002;
constexpr DWORD SND_FILENAME = 0x00020000;
// System sounds are not played: FALSE, nothing happens.
BOOL PlaySound(LPCSTR sound, HMODULE module, DWORD flags);
BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);

namespace plat {

constexpr unsigned kOpenerVerdictMillis = 2000;

struct ShellRecord {
  std::vector<std::string> opened;  // what ShellExecute would have opened
  std::vector<std::pair<DWORD, DWORD>> beeps;
};

// Test seam: while alive nothing is started or sounded; every request is logged instead.
class ScopedShellLog {
 public:
  ScopedShellLog();
  ~ScopedShellLog();
  ScopedShellLog(const ScopedShellLog&) = delete;
  ScopedShellLog& operator=(const ScopedShellLog&) = delete;
  [[nodiscard]] ShellRecord Record() const;
};

// The program that opens documents and addresses (given the target as its one argument), and the time
// within which its failure is told.
struct ShellOpener {
  std::string program = "xdg-open";
  unsigned verdictMillis = kOpenerVerdictMillis;
};
// Test seam: puts another opener in use; returns the one before.
ShellOpener SetShellOpener(ShellOpener opener);

// Test seam: the opener given while alive, then the one before.
class ScopedShellOpener : public ScopedValue<ShellOpener, SetShellOpener> {
 public:
  ScopedShellOpener(std::string program, unsigned verdictMillis) : ScopedValue({std::move(program), verdictMillis}) {}
  // Blocks until every opener started has ended and a failure to tell was handed to the main thread
  // (whose next PeekMessage or GetMessage shows it).
  void WaitForOpeners() const;
};

}  // namespace plat
