#include "framework/app/crash/CrashHandler.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/PathUtil.h"
#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/crash/ImageHelp.h"
#include "platform/win/crash/SignalSafeText.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/Process.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Threads.h"

namespace Kit {

bool CrashHandler::mShowWindow = true;
bool CrashHandler::mAllowSubmit = true;
bool CrashHandler::mUseDefaultFonts = true;
std::string CrashHandler::mSubmitHost;
std::string CrashHandler::mErrorTitle;
std::string CrashHandler::mErrorText;
std::string CrashHandler::mUserText;
std::string CrashHandler::mCrashFileNote;
std::string CrashHandler::mCrashDemoFile;
bool CrashHandler::mHasDemoFile = false;
KitAppBase* CrashHandler::mApp = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER CrashHandler::mPreviousFilter = nullptr;
HMODULE CrashHandler::mImageHelpModule = nullptr;

namespace {

SymInitializeProc gSymInitialize = nullptr;
SymSetOptionsProc gSymSetOptions = nullptr;
SymCleanupProc gSymCleanup = nullptr;
UnDecorateSymbolNameProc gUnDecorateSymbolName = nullptr;
StackWalkProc gStackWalk = nullptr;
SymFunctionTableAccessProc gSymFunctionTableAccess = nullptr;
SymGetModuleBaseProc gSymGetModuleBase = nullptr;
SymGetSymFromAddrProc gSymGetSymFromAddr = nullptr;
SymGetLineFromAddrProc gSymGetLineFromAddr = nullptr;

struct ExceptionNameRow {
  DWORD code;
  const char* name;
};

constexpr ExceptionNameRow ExceptionNameTable[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
};

// printf into the report.
void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
  char piece[2048];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(piece, sizeof(piece), format, arguments);
  va_end(arguments);
  text += piece;
}

template <typename Proc>
bool Take(HMODULE module, Proc* proc, const char* name) {
  *proc = reinterpret_cast<Proc>(GetProcAddress(module, name));
  return *proc != nullptr;
}

}  // namespace

void CrashHandler::Install() {
  LoadImageHelp();  // the symbol session stays open; the report's own load brings it up to date
  plat::SetSignalSafeFaultStep(&CrashHandler::WriteFirstCrashFile);
  mPreviousFilter = SetUnhandledExceptionFilter(&CrashHandler::UnhandledExceptionFilter);
}

void CrashHandler::Uninstall() { SetUnhandledExceptionFilter(mPreviousFilter); }

LONG CrashHandler::UnhandledExceptionFilter(EXCEPTION_POINTERS* exception) {
  // Hiding the game's window needs the display, which the fault may have left locked for ever.
  if (mApp != nullptr && plat::DisplayUsableAfterFault()) mApp->CrashOccurred();
  DoHandleException(exception);
  SetErrorMode(SEM_NOGPFAULTERRORBOX);
  return EXCEPTION_CONTINUE_SEARCH;
}

const char* CrashHandler::ExceptionName(DWORD code) {
  for (const ExceptionNameRow& row : ExceptionNameTable)
    if (row.code == code) return row.name;
  return nullptr;
}

bool CrashHandler::LoadImageHelp() {
  mImageHelpModule = LoadLibrary("IMAGEHLP.DLL");
  if (mImageHelpModule == nullptr) return false;
  if (!Take(mImageHelpModule, &gSymInitialize, "SymInitialize") ||
      !Take(mImageHelpModule, &gSymSetOptions, "SymSetOptions") ||
      !Take(mImageHelpModule, &gSymCleanup, "SymCleanup") ||
      !Take(mImageHelpModule, &gUnDecorateSymbolName, "UnDecorateSymbolName") ||
      !Take(mImageHelpModule, &gStackWalk, "StackWalk") ||
      !Take(mImageHelpModule, &gSymFunctionTableAccess, "SymFunctionTableAccess") ||
      !Take(mImageHelpModule, &gSymGetModuleBase, "SymGetModuleBase") ||
      !Take(mImageHelpModule, &gSymGetSymFromAddr, "SymGetSymFromAddr"))
    return false;
  Take(mImageHelpModule, &gSymGetLineFromAddr,
       "SymGetLineFromAddr");  // lines are a bonus: a walk without them still names
  gSymSetOptions(SYMOPT_DEFERRED_LOADS);
  char path[260] = {};
  GetModuleFileName(nullptr, path, sizeof(path));
  const std::string folder = GetFileDir(path);
  return gSymInitialize(nullptr, folder.empty() ? nullptr : folder.c_str(), TRUE) != FALSE;
}

void CrashHandler::UnloadImageHelp() {
  if (mImageHelpModule == nullptr) return;
  if (gSymCleanup != nullptr) gSymCleanup(nullptr);
  FreeLibrary(mImageHelpModule);
  mImageHelpModule = nullptr;
}

bool CrashHandler::GetLogicalAddress(const void* address, std::string* module, DWORD* section, std::uint64_t* offset) {
  MEMORY_BASIC_INFORMATION memory{};
  if (VirtualQuery(address, &memory, sizeof(memory)) == 0 || memory.Type != MEM_IMAGE) return false;
  char path[4096] = {};
  if (GetModuleFileName(static_cast<HMODULE>(memory.AllocationBase), path, sizeof(path)) == 0) return false;
  DWORD foundSection = 0;
  ULONGLONG foundOffset = 0;
  if (!plat::ImageSectionOf(address, &foundSection, &foundOffset)) return false;
  *module = path;
  *section = foundSection;
  *offset = foundOffset;
  return true;
}

std::string CrashHandler::WalkStackImageHelp(const CONTEXT& context, int skip) {
  std::string text;
  STACKFRAME64 frame{};
  frame.AddrPC.Offset = context.Rip;
  frame.AddrStack.Offset = context.Rsp;
  frame.AddrFrame.Offset = context.Rbp;
  frame.AddrPC.Mode = frame.AddrStack.Mode = frame.AddrFrame.Mode = AddrModeFlat;
  CONTEXT walked = context;
  while (gStackWalk(IMAGE_FILE_MACHINE_AMD64, nullptr, nullptr, &frame, &walked, nullptr, gSymFunctionTableAccess,
                    gSymGetModuleBase, nullptr)) {
    if (frame.AddrFrame.Offset == 0 || frame.AddrPC.Offset == 0) break;
    plat::FeedCrashWatchdog();
    if (skip-- > 0) continue;
    alignas(IMAGEHLP_SYMBOL64) char symbolRoom[sizeof(IMAGEHLP_SYMBOL64) + 512];
    auto* symbol = reinterpret_cast<IMAGEHLP_SYMBOL64*>(symbolRoom);
    symbol->SizeOfStruct = sizeof(IMAGEHLP_SYMBOL64);
    symbol->MaxNameLength = 512;
    ULONGLONG displacement = 0;
    const auto pc = static_cast<unsigned long long>(frame.AddrPC.Offset);
    const auto cfa = static_cast<unsigned long long>(frame.AddrFrame.Offset);
    if (gSymGetSymFromAddr(nullptr, frame.AddrPC.Offset, &displacement, symbol)) {
      char name[256];
      gUnDecorateSymbolName(symbol->Name, name, sizeof(name), 0);
      Append(text, "%016llX %016llX %s+%llX\r\n", pc, cfa, name, static_cast<unsigned long long>(displacement));
    } else {
      std::string module;
      DWORD section = 0;
      std::uint64_t offset = 0;
      GetLogicalAddress(reinterpret_cast<void*>(frame.AddrPC.Offset), &module, &section, &offset);
      Append(text, "%016llX %016llX %04X:%08llX %s\r\n", pc, cfa, static_cast<unsigned>(section),
             static_cast<unsigned long long>(offset), StripPath(module).c_str());
    }
    IMAGEHLP_LINE64 line{};
    line.SizeOfStruct = sizeof(line);
    DWORD lineDisplacement = 0;
    if (gSymGetLineFromAddr != nullptr && gSymGetLineFromAddr(nullptr, frame.AddrPC.Offset, &lineDisplacement, &line))
      Append(text, "    %s line %u\r\n", line.FileName, static_cast<unsigned>(line.LineNumber));
    text += "\r\n";
  }
  return text;
}

std::string CrashHandler::WalkStackManually(const CONTEXT& context, int skip) {
  std::string text;
  std::uintptr_t pc = context.Rip;
  std::uintptr_t frame = context.Rbp;
  for (;;) {
    plat::FeedCrashWatchdog();
    if (skip-- <= 0) {
      std::string module;
      DWORD section = 0;
      std::uint64_t offset = 0;
      GetLogicalAddress(reinterpret_cast<void*>(pc), &module, &section, &offset);
      Append(text, "%016llX  %016llX  %04X:%08llX %s\r\n", static_cast<unsigned long long>(pc),
             static_cast<unsigned long long>(frame), static_cast<unsigned>(section),
             static_cast<unsigned long long>(offset), StripPath(module).c_str());
    }
    // A frame holds the caller's frame pointer, then the return address.
    if (frame % sizeof(void*) != 0 || IsBadReadPtr(reinterpret_cast<void*>(frame), 2 * sizeof(void*))) break;
    const auto* words = reinterpret_cast<const std::uintptr_t*>(frame);
    const std::uintptr_t nextFrame = words[0];
    const std::uintptr_t nextPc = words[1];
    if (nextFrame % sizeof(void*) != 0 || nextFrame <= frame ||
        IsBadWritePtr(reinterpret_cast<void*>(nextFrame), 2 * sizeof(void*)))
      break;
    pc = nextPc;
    frame = nextFrame;
  }
  return text;
}

std::string CrashHandler::MakeReport(EXCEPTION_POINTERS* exception, std::string* title) {
  const bool imageHelp = LoadImageHelp();
  plat::FeedCrashWatchdog();
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  const CONTEXT& context = *exception->ContextRecord;
  std::string report;
  const auto address = reinterpret_cast<unsigned long long>(record.ExceptionAddress);
  const unsigned thread = GetCurrentThreadId();
  if (const char* name = ExceptionName(record.ExceptionCode))
    Append(report, "Exception: %s (code 0x%x) at address %016llX in thread %X\r\n", name,
           static_cast<unsigned>(record.ExceptionCode), address, thread);
  else
    Append(report, "Unknown exception: (code 0x%x) at address %016llX in thread %X\r\n",
           static_cast<unsigned>(record.ExceptionCode), address, thread);

  std::string module;
  DWORD section = 0;
  std::uint64_t offset = 0;
  GetLogicalAddress(record.ExceptionAddress, &module, &section, &offset);
  report += "Module: " + StripPath(module) + "\r\n";
  Append(report, "Logical Address: %04X:%08llX\r\n\r\n", static_cast<unsigned>(section),
         static_cast<unsigned long long>(offset));
  char titleText[64];
  std::snprintf(titleText, sizeof(titleText), "Exception at %04X:%08llX", static_cast<unsigned>(section),
                static_cast<unsigned long long>(offset));
  *title = titleText;

  std::string stack = imageHelp ? WalkStackImageHelp(context, 0) : std::string();
  if (stack.empty()) stack = WalkStackManually(context, 0);
  report += stack + "\r\n";

  Append(report, "RAX:%016llX RBX:%016llX RCX:%016llX\r\nRDX:%016llX RSI:%016llX RDI:%016llX\r\n",
         static_cast<unsigned long long>(context.Rax), static_cast<unsigned long long>(context.Rbx),
         static_cast<unsigned long long>(context.Rcx), static_cast<unsigned long long>(context.Rdx),
         static_cast<unsigned long long>(context.Rsi), static_cast<unsigned long long>(context.Rdi));
  Append(report, "RIP:%016llX RSP:%016llX  RBP:%016llX\r\n", static_cast<unsigned long long>(context.Rip),
         static_cast<unsigned long long>(context.Rsp), static_cast<unsigned long long>(context.Rbp));
  Append(report, "CS:%04X SS:%04X DS:%04X ES:%04X FS:%04X GS:%04X\r\n", static_cast<unsigned>(context.SegCs),
         static_cast<unsigned>(context.SegSs), static_cast<unsigned>(context.SegDs),
         static_cast<unsigned>(context.SegEs), static_cast<unsigned>(context.SegFs),
         static_cast<unsigned>(context.SegGs));
  Append(report, "Flags:%08X\r\n\r\n", static_cast<unsigned>(context.EFlags));
  report += GetSysInfo();
  plat::FeedCrashWatchdog();
  if (mApp != nullptr) {
    const std::string appInfo = mApp->GetAppInfoText();
    if (!appInfo.empty()) report += "\r\n" + appInfo;
  }
  if (imageHelp) LookupMapFile(report);
  return report;
}

void CrashHandler::FinishDemo() {
  DemoStream* demo = mApp->mDemoStream;
  const bool recording = demo != nullptr && demo->mDemoRecording;
  if (recording) {
    demo->RecordCommand(mApp->mUpdateCount, DEMO_NO_OP);
    mApp->WriteDemoFile(mApp->mRandomSeed);
    mCrashDemoFile = mApp->mDemoFileName;
  }
  mHasDemoFile = recording;
  const std::string extra = mApp->GetCrashExtraText();
  if (!extra.empty()) {
    mCrashDemoFile = extra;
    mHasDemoFile = true;
  }
  if (demo != nullptr) demo->mDemoRecording = demo->mDemoPlaying = false;
}

void CrashHandler::DoHandleException(EXCEPTION_POINTERS* exception) {
  std::string title;
  const std::string report = MakeReport(exception, &title);
  // The file first: whatever goes wrong after, the report is on the disk.
  WriteCrashFile(report);
  plat::FeedCrashWatchdog();
  // Whatever needs the display is left out when the fault left it locked.
  const bool display = plat::DisplayUsableAfterFault();
  if (mApp != nullptr) {
    if (display) mApp->CopyToClipboard(report);
    plat::FeedCrashWatchdog();
    FinishDemo();
    plat::FeedCrashWatchdog();
  }
  // A window no one can see would wait for ever for a click: the report is on the disk, the process ends.
  if (mShowWindow && display && plat::DisplayIsVisible())
    ShowErrorWindow(title, report);
  else if (!mCrashFileNote.empty())
    std::fprintf(stderr, "%s\n", mCrashFileNote.c_str());
  UnloadImageHelp();
}

bool CrashHandler::HexToUInt(const std::string& text, std::uint32_t* value) {
  std::uint32_t number = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    number = number * 16 + static_cast<std::uint32_t>(digit);
  }
  *value = number;
  return true;
}

std::string CrashHandler::StripPath(const std::string& path) { return GetFileName(path); }

std::string CrashHandler::GetSysInfo() {
  std::string text;
  if (const std::string system = plat::OperatingSystemVersion(); !system.empty()) text += "OS Ver: " + system + "\r\n";
  if (mApp == nullptr) return text;
  for (const auto& [module, label] : {std::pair{"ddraw.dll", "DDraw Ver: "}, std::pair{"dsound.dll", "DSound Ver: "}}) {
    HMODULE handle = LoadLibrary(module);
    char path[256] = {};
    if (handle == nullptr || GetModuleFileName(handle, path, sizeof(path)) == 0) continue;
    text += label + mApp->GetProductVersion(path) + "\r\n";
  }
  return text;
}

void CrashHandler::WriteCrashFile(const std::string& report) {
  mCrashFileNote = "This report could not be saved on the disk.";
  char path[4096];
  if (!plat::NewFilePathForSignals("crash.txt", path, sizeof(path))) return;
  const plat::SignalSafeFile file(path);
  if (!file.IsOpen()) return;
  plat::SignalSafeText out(file.Descriptor());
  out.Text(report.data(), report.size()).Text("\n").Flush();
  if (out.Failed()) return;
  mCrashFileNote.clear();
  if (file.Beside())
    mCrashFileNote =
        std::string("Something else stands where crash.txt goes; this report was kept in ") + file.Path() + " instead.";
}

}  // namespace Kit
