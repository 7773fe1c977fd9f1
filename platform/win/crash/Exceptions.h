// Structured exceptions as the crash handler sees them, raised from POSIX signals (segmentation and
// bus faults, arithmetic faults, illegal instructions, aborts), and the memory queries it makes.
#pragma once

#include "platform/win/Types.h"

constexpr DWORD EXCEPTION_ACCESS_VIOLATION = 0xC0000005u;
constexpr DWORD EXCEPTION_IN_PAGE_ERROR = 0xC0000006u;
constexpr DWORD EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001Du;
constexpr DWORD EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008Eu;
constexpr DWORD EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090u;
constexpr DWORD EXCEPTION_FLT_OVERFLOW = 0xC0000091u;
constexpr DWORD EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094u;
constexpr DWORD EXCEPTION_INT_OVERFLOW = 0xC0000095u;
constexpr DWORD EXCEPTION_PRIV_INSTRUCTION = 0xC0000096u;
constexpr DWORD EXCEPTION_STACK_OVERFLOW = 0xC00000FDu;
constexpr DWORD EXCEPTION_BREAKPOINT = 0x80000003u;
// What an abort() becomes: the runtime's own fatal-error code.
constexpr DWORD EXCEPTION_RUNTIME_ABORT = 0x40000015u;

constexpr LONG EXCEPTION_CONTINUE_SEARCH = 0;
constexpr LONG EXCEPTION_EXECUTE_HANDLER = 1;

struct EXCEPTION_RECORD {
  DWORD ExceptionCode;
  DWORD ExceptionFlags;
  EXCEPTION_RECORD* ExceptionRecord;
  PVOID ExceptionAddress;
  DWORD NumberParameters;
  ULONG_PTR ExceptionInformation[15];
};

// The i386 register names hold the low 32 bits of the x86-64 registers (rax to Eax, and so on); the
// full 64-bit registers follow for code that reports or walks a 64-bit machine.
struct CONTEXT {
  DWORD ContextFlags;
  DWORD Edi, Esi, Ebx, Edx, Ecx, Eax;
  DWORD Ebp, Eip, SegCs, EFlags, Esp, SegSs;
  DWORD SegDs, SegEs, SegFs, SegGs;
  ULONGLONG Rip, Rsp, Rbp;
  ULONGLONG Rax, Rbx, Rcx, Rdx, Rsi, Rdi;
};

struct EXCEPTION_POINTERS {
  EXCEPTION_RECORD* ExceptionRecord;
  CONTEXT* ContextRecord;
};

using LPTOP_LEVEL_EXCEPTION_FILTER = LONG (*)(EXCEPTION_POINTERS*);

// Installs the filter for fatal signals of every thread and returns the previous one. One fault is
// handled per process, in two steps. In the signal handler, on the process's crash stack (its own
// size, whatever signal stack the thread has), the signal-safe step runs (plat::SetSignalSafeFaultStep).
// Then the faulting thread leaves the signal handler and runs the filter on the crash stack as
// ordinary code, under the crash watchdog (platform/win/crash/CrashWatchdog.h), which kills the process
// when the handling hangs. EXCEPTION_EXECUTE_HANDLER ends the process
// with the exception code, anything else lets the signal end it as it would have. A fault of another
// thread meanwhile waits for that end; a fault of the handling thread itself ends the process at once.
LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter);

namespace plat {

// The frames of the fault being handled as the unwinder saw them in the signal handler, from the
// faulting instruction outwards: the exact program counter first, then return addresses; with each
// the frame's canonical frame address. Empty before a fault.
struct FaultFrames {
  static constexpr int kMaxFrames = 128;
  ULONGLONG pc[kMaxFrames];
  ULONGLONG cfa[kMaxFrames];
  int count = 0;

  // Adds the next frame outwards; false, adding nothing, when the record is full. Async-signal-safe.
  bool Append(ULONGLONG framePc, ULONGLONG frameCfa) {
    if (count >= kMaxFrames) return false;
    pc[count] = framePc;
    cfa[count] = frameCfa;
    ++count;
    return true;
  }
};
[[nodiscard]] const FaultFrames& CurrentFaultFrames();

// False when the fault being handled interrupted the display's client library (X11, xcb, Wayland)
// on the handling thread: that code never returns, so its connection stays locked and any window,
// cursor or clipboard call would wait for ever. True before a fault.
//
// A fatal signal sent from outside the process (kill, tgkill, sigqueue) comes from no instruction of
// the thread it lands on, which may go on. When it interrupts the display's library, the handler lets
// the thread leave the library first: it returns, and the watchdog's thread sends the same signal to
// the same thread again until it arrives; after a bound the fault is handled where it lands.
[[nodiscard]] bool DisplayUsableAfterFault();
// Whether one of the frames lies in the code of the display's client library, by the process's memory
// map. Async-signal-safe.
[[nodiscard]] bool FramesInDisplayLibrary(const FaultFrames& frames);

// The first step of a fault's handling. It runs inside the signal handler, before anything that may
// allocate, lock or call into a library, and may make async-signal-safe calls only.
using SignalSafeFaultStep = void (*)(const EXCEPTION_POINTERS* exception, const FaultFrames& frames);
void SetSignalSafeFaultStep(SignalSafeFaultStep step);

}  // namespace plat

constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
// Remembered and returned; Linux shows no fault boxes to suppress.
UINT SetErrorMode(UINT mode);

struct MEMORY_BASIC_INFORMATION {
  PVOID BaseAddress;
  PVOID AllocationBase;  // for code and data of a loaded object: its load address
  DWORD AllocationProtect;
  SIZE_T RegionSize;
  DWORD State;
  DWORD Protect;
  DWORD Type;
};

constexpr DWORD MEM_COMMIT = 0x1000;
constexpr DWORD MEM_FREE = 0x10000;
constexpr DWORD MEM_IMAGE = 0x1000000;
constexpr DWORD MEM_PRIVATE = 0x20000;
constexpr DWORD PAGE_NOACCESS = 0x01;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD PAGE_EXECUTE_READ = 0x20;
constexpr DWORD PAGE_EXECUTE_READWRITE = 0x40;

// From the process's memory map; 0 for an address in no mapping.
SIZE_T VirtualQuery(LPCVOID address, MEMORY_BASIC_INFORMATION* info, SIZE_T length);
// TRUE unless every byte of the range lies in mapped memory with the access asked for.
BOOL IsBadWritePtr(LPVOID address, UINT_PTR bytes);
BOOL IsBadReadPtr(LPCVOID address, UINT_PTR bytes);
