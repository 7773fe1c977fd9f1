// The crash handler: catches every fault that nothing else handles, on any thread, and turns it into
// a plain-text report (what failed and where, with function names and source lines, the registers,
// the system and the application), kept in "crash.txt" and on the clipboard; it finishes an input
// recording being made, then shows the report in its own window. It uses only the platform, the
// standard library and a few operations of the application object, which may be broken by then.
// A fault is handled in two steps (see SetUnhandledExceptionFilter): a first crash.txt written with
// async-signal-safe calls only, then the full report under the platform's crash watchdog, which kills
// the process when the report, the window or the upload stops making progress. The window is left out
// where no one can see it and when the fault left the display locked: the process then ends after its
// report.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/Types.h"
#include "platform/win/crash/Exceptions.h"
#include "platform/win/window/Window.h"

namespace Kit {

class KitAppBase;
class HTTPTransfer;

class CrashHandler {
 public:
  static bool mShowWindow;
  static bool mAllowSubmit;
  static bool mUseDefaultFonts;
  static std::string mSubmitHost;
  static std::string mErrorTitle;
  static std::string mErrorText;
  static std::string mUserText;
  // Where the last report went when that is not "crash.txt", or that it could not be saved; empty
  // otherwise. Shown under the crash window's heading, or on the error stream when there is no window.
  static std::string mCrashFileNote;
  static std::string mCrashDemoFile;
  static bool mHasDemoFile;
  static KitAppBase* mApp;
  static bool mExitLoop;
  static int mProgressTicks;
  // The one transfer that uploads reports; built before the program's entry and destroyed at its exit.
  static HTTPTransfer mUploadTransfer;

  // The program's start-up installs the handler once; Uninstall puts the previous filter back. The
  // installation prepares what the report needs (the symbol reader's session), so that little is left
  // to do after a fault.
  static void Install();
  static void Uninstall();
  static LONG UnhandledExceptionFilter(EXCEPTION_POINTERS* exception);
  static void DoHandleException(EXCEPTION_POINTERS* exception);

  // The report of an exception, and the title made from its logical address.
  static std::string MakeReport(EXCEPTION_POINTERS* exception, std::string* title);
  // The name of an exception code, or nullptr for a code not in the table.
  static const char* ExceptionName(DWORD code);
  // The object file that holds `address`, and the ELF section and the offset in it. False (and the
  // outputs unchanged) for an address outside every object or section.
  static bool GetLogicalAddress(const void* address, std::string* module, DWORD* section, std::uint64_t* offset);
  static std::string WalkStackImageHelp(const CONTEXT& context, int skip);
  static std::string WalkStackManually(const CONTEXT& context, int skip);
  // Names the logical addresses of the report from the first "*.map" file of the current folder.
  static void LookupMapFile(std::string& report);
  // The same from a map file's text.
  static void AnnotateFromMap(std::string& report, const std::string& mapText);
  static bool HexToUInt(const std::string& text, std::uint32_t* value);
  static std::string StripPath(const std::string& path);
  static std::string GetSysInfo();
  // Writes "crash.txt"; when something else stands there, beside it (see plat::SignalSafeFile), and
  // mCrashFileNote then tells where the report went, or that it could not be saved.
  static void WriteCrashFile(const std::string& report);
  // The first crash.txt of a fault: the exception line, the raw frames (program counter and frame
  // address), the registers and the lines of the memory map that map code. Async-signal-safe: it runs
  // in the signal handler before anything else (plat::SetSignalSafeFaultStep); the full report of
  // DoHandleException then replaces the file.
  static void WriteFirstCrashFile(const EXCEPTION_POINTERS* exception, const plat::FaultFrames& frames);

  // The crash windows: the report with "Send Report" and "Close Now", the details the user adds, and
  // the upload's progress. ShowErrorWindow returns when its message loop ends; while it waits, a
  // termination request (SIGTERM, SIGINT, SIGHUP) ends the process.
  static void ShowErrorWindow(const std::string& title, const std::string& report);
  static void ShowSubmitInfoWindow();
  static void ShowProgressWindow();
  // The body of the upload thread, and the multipart request it sends to `mSubmitHost`.
  static void SubmitReport();
  static std::string MakeUploadRequest();
  static LRESULT ErrorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT SubmitInfoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // The filter that was in force before Install.
  static LPTOP_LEVEL_EXCEPTION_FILTER mPreviousFilter;
  // The symbol and stack-walk library while it is loaded.
  static HMODULE mImageHelpModule;

  static bool LoadImageHelp();
  static void UnloadImageHelp();
  static void FinishDemo();
};

}  // namespace Kit
