#include "platform/win/crash/Exceptions.h"

#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/crash/SignalSafeText.h"
#include "platform/win/threads/FaultStack.h"
#include "platform/win/threads/Threads.h"

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace {

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> gFilter{nullptr};
std::atomic<UINT> gErrorMode{0};

// How far from the stack pointer a fault still counts as one on the stack's guard page.
constexpr std::uintptr_t kStackGuardReach = 64 * 1024;

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};

DWORD CodeOf(int signal, int code) {
  switch (signal) {
    case SIGSEGV:
      return EXCEPTION_ACCESS_VIOLATION;
    case SIGBUS:
      return EXCEPTION_IN_PAGE_ERROR;
    case SIGILL:
      return code == ILL_PRVOPC ? EXCEPTION_PRIV_INSTRUCTION : EXCEPTION_ILLEGAL_INSTRUCTION;
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV:
          return EXCEPTION_INT_DIVIDE_BY_ZERO;
        case FPE_INTOVF:
          return EXCEPTION_INT_OVERFLOW;
        case FPE_FLTDIV:
          return EXCEPTION_FLT_DIVIDE_BY_ZERO;
        case FPE_FLTOVF:
          return EXCEPTION_FLT_OVERFLOW;
        default:
          return EXCEPTION_FLT_INVALID_OPERATION;
      }
    case SIGTRAP:
      return EXCEPTION_BREAKPOINT;
    default:
      return EXCEPTION_RUNTIME_ABORT;
  }
}

void FillContext(const ucontext_t* ucontext, CONTEXT* context) {
#if defined(__x86_64__)
  const greg_t* r = ucontext->uc_mcontext.gregs;
  auto low = [](greg_t value) { return static_cast<DWORD>(static_cast<unsigned long long>(value)); };
  context->Eax = low(r[REG_RAX]);
  context->Ebx = low(r[REG_RBX]);
  context->Ecx = low(r[REG_RCX]);
  context->Edx = low(r[REG_RDX]);
  context->Esi = low(r[REG_RSI]);
  context->Edi = low(r[REG_RDI]);
  context->Ebp = low(r[REG_RBP]);
  context->Esp = low(r[REG_RSP]);
  context->Eip = low(r[REG_RIP]);
  context->EFlags = low(r[REG_EFL]);
  auto segments = static_cast<unsigned long long>(r[REG_CSGSFS]);
  context->SegCs = static_cast<DWORD>(segments & 0xFFFF);
  context->SegGs = static_cast<DWORD>((segments >> 16) & 0xFFFF);
  context->SegFs = static_cast<DWORD>((segments >> 32) & 0xFFFF);
  context->Rip = static_cast<ULONGLONG>(r[REG_RIP]);
  context->Rsp = static_cast<ULONGLONG>(r[REG_RSP]);
  context->Rbp = static_cast<ULONGLONG>(r[REG_RBP]);
  context->Rax = static_cast<ULONGLONG>(r[REG_RAX]);
  context->Rbx = static_cast<ULONGLONG>(r[REG_RBX]);
  context->Rcx = static_cast<ULONGLONG>(r[REG_RCX]);
  context->Rdx = static_cast<ULONGLONG>(r[REG_RDX]);
  context->Rsi = static_cast<ULONGLONG>(r[REG_RSI]);
  context->Rdi = static_cast<ULONGLONG>(r[REG_RDI]);
#else
  (void)ucontext;
  (void)context;
#endif
}

// Calls `function(argument)` on the stack that ends at `stackTop` (16-byte aligned) and comes back to
// the caller's stack. The frame keeps its canonical frame address in rbp, so an unwinder started on
// the new stack walks on through the caller's frames.
extern "C" void KitCallOnStack(void* argument, void (*function)(void*), void* stackTop);
asm(R"(
  .text
  .p2align 4
  .type KitCallOnStack, @function
  .hidden KitCallOnStack
  .globl KitCallOnStack
KitCallOnStack:
  .cfi_startproc
  endbr64
  pushq %rbp
  .cfi_def_cfa_offset 16
  .cfi_offset %rbp, -16
  movq %rsp, %rbp
  .cfi_def_cfa_register %rbp
  movq %rdx, %rsp
  callq *%rsi
  movq %rbp, %rsp
  popq %rbp
  .cfi_def_cfa %rsp, 8
  ret
  .cfi_endproc
  .size KitCallOnStack, .-KitCallOnStack
)");

std::atomic<plat::SignalSafeFaultStep> gSignalSafeStep{nullptr};
// The thread that handles the one fault of the process (0 before it).
std::atomic<pid_t> gHandlingThread{0};

// The fault being handled: written once, by the handling thread, in its signal handler.
struct Fault {
  int signal = 0;
  EXCEPTION_RECORD record{};
  CONTEXT context{};
  plat::FaultFrames frames;
};
Fault gFault;

// The stack that the handling of a fault runs on, made when the handlers are installed: the symbol
// reader, the report and the crash windows need far more than a signal stack holds.
constexpr std::size_t kCrashStackSize = std::size_t{8} << 20;
char* gCrashStackTop = nullptr;

// The frames as the unwinder sees them from here, through the signal frame, starting at the
// interrupted instruction.
struct FrameWalk {
  ULONGLONG interruptedAt;
  plat::FaultFrames* frames;
};

_Unwind_Reason_Code CollectFrame(_Unwind_Context* context, void* argument) {
  auto* walk = static_cast<FrameWalk*>(argument);
  int beforeInstruction = 0;
  const ULONGLONG pc = _Unwind_GetIPInfo(context, &beforeInstruction);
  if (walk->frames->count == 0 && pc != walk->interruptedAt) return _URC_NO_REASON;  // the handler's own frames
  return walk->frames->Append(pc, _Unwind_GetCFA(context)) ? _URC_NO_REASON : _URC_END_OF_STACK;
}

void CollectInterruptedFrames(ULONGLONG interruptedAt, plat::FaultFrames* frames) {
  FrameWalk walk{interruptedAt, frames};
  _Unwind_Backtrace(CollectFrame, &walk);
}

void RunSignalSafeStep(void*) {
  CollectInterruptedFrames(gFault.context.Rip, &gFault.frames);
  EXCEPTION_POINTERS pointers{&gFault.record, &gFault.context};
  if (plat::SignalSafeFaultStep step = gSignalSafeStep.load()) step(&pointers, gFault.frames);
}

// Ends the process by the signal's default action, as if no handler had been installed.
[[noreturn]] void EndAsTheSignalWould(int signal) {
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  ::sigaction(signal, &plain, nullptr);
  sigset_t unblocked;
  sigemptyset(&unblocked);
  sigaddset(&unblocked, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

// ThreadSanitizer keeps a record of the calls each thread is in, and the frames left behind on the
// faulting stack stay in it: after a stack overflow, thousands of them, which it hashes again at every
// allocation and lock, so the report would crawl until the watchdog kills the process. To it the
// crash stack becomes a fiber of its own, whose record starts empty.
void LeaveTheFaultingFramesBehind() {
#if defined(__SANITIZE_THREAD__)
  __tsan_switch_to_fiber(__tsan_create_fiber(0), 0);
#endif
}

// Where the handling thread goes on once it left the signal handler: ordinary code on the crash stack.
[[noreturn]] void ContinueAfterFault() {
  LeaveTheFaultingFramesBehind();
  EXCEPTION_POINTERS pointers{&gFault.record, &gFault.context};
  LPTOP_LEVEL_EXCEPTION_FILTER filter = gFilter.load();
  if (filter != nullptr && filter(&pointers) == EXCEPTION_EXECUTE_HANDLER)
    ::_exit(static_cast<int>(gFault.record.ExceptionCode & 0xFF));
  EndAsTheSignalWould(gFault.signal);
}

// Makes the interrupted thread resume in ContinueAfterFault at the top of the crash stack, as if
// called there, with the floating-point units in their default state.
void ResumeInContinuation(ucontext_t* ucontext) {
  auto* top = reinterpret_cast<std::uintptr_t*>(gCrashStackTop);
  *--top = 0;  // the return address of a call that never returns
  greg_t* r = ucontext->uc_mcontext.gregs;
  r[REG_RSP] = static_cast<greg_t>(reinterpret_cast<std::uintptr_t>(top));
  r[REG_RIP] = static_cast<greg_t>(reinterpret_cast<std::uintptr_t>(&ContinueAfterFault));
  r[REG_RBP] = 0;
  r[REG_EFL] &= ~static_cast<greg_t>(0x40400);  // direction and alignment-check flags
  if (ucontext->uc_mcontext.fpregs != nullptr) {
    ucontext->uc_mcontext.fpregs->mxcsr = 0x1F80;
    ucontext->uc_mcontext.fpregs->cwd = 0x037F;
    ucontext->uc_mcontext.fpregs->swd = 0;
    ucontext->uc_mcontext.fpregs->ftw = 0;
  }
  for (int signal : kSignals) sigdelset(&ucontext->uc_sigmask, signal);
}

// How often a signal sent from outside is put off while it lands in the display's library: after
// that, about two seconds, the library is taken to stay where it is.
constexpr int kMostPutOffs = 100;
std::atomic<int> gPutOffs{0};

// Sent by kill, tgkill or sigqueue from another process: the interrupted code did not fault.
bool SentFromOutside(const siginfo_t* info) {
  return info != nullptr && (info->si_code == SI_USER || info->si_code == SI_TKILL || info->si_code == SI_QUEUE) &&
         info->si_pid != ::getpid();
}

// Sent by this process to this thread, as the watchdog's thread sends a put-off signal again.
bool SentByThisProcess(const siginfo_t* info) {
  return info != nullptr && info->si_code == SI_TKILL && info->si_pid == ::getpid();
}

// Whether the signal is put off: it was sent from outside and landed while the thread runs the
// display's client library, whose locks the crash window needs. The thread goes on, leaves the library
// and gets the signal again from the watchdog's thread. A signal sent from outside meanwhile is dropped.
bool PutOffWhileInDisplayLibrary(int signal, const siginfo_t* info, const ucontext_t* ucontext, pid_t self) {
  if (SentByThisProcess(info) && plat::SendingAgainTo() == self)
    plat::StopSendingAgain();
  else if (!SentFromOutside(info))
    return false;
  else if (plat::SendingAgainTo() != 0)
    return true;
  if (gFilter.load() == nullptr || ucontext == nullptr || gHandlingThread.load() != 0 ||
      gPutOffs.load() >= kMostPutOffs)
    return false;
  plat::FaultFrames frames;
  CollectInterruptedFrames(static_cast<ULONGLONG>(ucontext->uc_mcontext.gregs[REG_RIP]), &frames);
  if (!plat::FramesInDisplayLibrary(frames) || !plat::SendAgainSoon(self, signal)) return false;
  ++gPutOffs;
  return true;
}

// The watchdog's thread may have sent the put-off signal once more as its handling started.
bool LateSendAgain(int signal, const siginfo_t* info) {
  return gPutOffs.load() > 0 && signal == gFault.signal && SentByThisProcess(info);
}

void OnFatalSignal(int signal, siginfo_t* info, void* rawContext) {
  const auto self = static_cast<pid_t>(GetCurrentThreadId());
  const int interruptedErrno = errno;
  if (PutOffWhileInDisplayLibrary(signal, info, static_cast<const ucontext_t*>(rawContext), self)) {
    errno = interruptedErrno;
    return;
  }
  pid_t handling = 0;
  if (gFilter.load() != nullptr && gCrashStackTop != nullptr && rawContext != nullptr &&
      gHandlingThread.compare_exchange_strong(handling, self)) {
    auto* ucontext = static_cast<ucontext_t*>(rawContext);
    gFault.signal = signal;
    FillContext(ucontext, &gFault.context);
    EXCEPTION_RECORD& record = gFault.record;
    record.ExceptionCode = CodeOf(signal, info ? info->si_code : 0);
    // A fault just below the stack pointer is the stack's guard page: the stack overflowed.
    const auto faultAt = reinterpret_cast<std::uintptr_t>(info ? info->si_addr : nullptr);
    const ULONGLONG rsp = gFault.context.Rsp;
    if (signal == SIGSEGV && rsp != 0 && faultAt + kStackGuardReach >= rsp && faultAt <= rsp + kStackGuardReach)
      record.ExceptionCode = EXCEPTION_STACK_OVERFLOW;
    record.ExceptionAddress =
        gFault.context.Rip ? reinterpret_cast<PVOID>(gFault.context.Rip) : (info ? info->si_addr : nullptr);
    if (signal == SIGSEGV || signal == SIGBUS) {
      record.NumberParameters = 2;
      record.ExceptionInformation[0] = 0;  // read or write is not known on Linux
      record.ExceptionInformation[1] = reinterpret_cast<ULONG_PTR>(info ? info->si_addr : nullptr);
    }
    plat::ArmCrashWatchdog(self);
    KitCallOnStack(nullptr, &RunSignalSafeStep, gCrashStackTop);
    ResumeInContinuation(ucontext);
    return;
  }
  // Another thread handles a fault already: it ends the process.
  if (handling != 0 && handling != self)
    for (;;) ::pause();
  if (handling == self && LateSendAgain(signal, info)) {
    errno = interruptedErrno;
    return;
  }
  // Nothing to hand the fault to, or a fault while handling one: end the plain way.
  EndAsTheSignalWould(signal);
}

// The crash stack, with an inaccessible page below it that stops an overflow of the handling itself.
void MakeCrashStack() {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  void* memory = ::mmap(nullptr, kCrashStackSize + page, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return;
  ::mprotect(memory, page, PROT_NONE);
  gCrashStackTop = static_cast<char*>(memory) + page + kCrashStackSize;
}

// The unwinder's first walk finds and sets up its tables; a fault's walk then only reads them.
_Unwind_Reason_Code CountFrame(_Unwind_Context*, void* argument) {
  ++*static_cast<int*>(argument);
  return _URC_NO_REASON;
}

void InstallHandlers() {
  MakeCrashStack();
  plat::StartCrashWatchdog();
  int frames = 0;
  _Unwind_Backtrace(CountFrame, &frames);
  // The handler must run even when the stack itself overflowed.
  plat::UseFaultStack();
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

bool MappingOf(std::uintptr_t address, plat::MapLine* mapping) {
  plat::SignalSafeMemoryMap map;
  while (map.Next(mapping))
    if (address >= mapping->start && address < mapping->end) return true;
  return false;
}

bool RangeHas(std::uintptr_t start, std::uintptr_t bytes, bool write) {
  if (bytes == 0) return true;
  if (start + bytes < start) return false;
  std::uintptr_t at = start;
  while (at < start + bytes) {
    plat::MapLine mapping;
    if (!MappingOf(at, &mapping) || !(write ? mapping.write : mapping.read)) return false;
    at = mapping.end;
  }
  return true;
}

}  // namespace

namespace plat {

const FaultFrames& CurrentFaultFrames() { return gFault.frames; }

void SetSignalSafeFaultStep(SignalSafeFaultStep step) { gSignalSafeStep = step; }

}  // namespace plat

LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter) {
  static std::atomic<bool> installed{false};
  if (!installed.exchange(true)) InstallHandlers();
  return gFilter.exchange(filter);
}

UINT SetErrorMode(UINT mode) { return gErrorMode.exchange(mode); }

SIZE_T VirtualQuery(LPCVOID address, MEMORY_BASIC_INFORMATION* info, SIZE_T length) {
  if (!info || length < sizeof(MEMORY_BASIC_INFORMATION)) return 0;
  plat::MapLine mapping;
  if (!MappingOf(reinterpret_cast<std::uintptr_t>(address), &mapping)) return 0;
  std::memset(info, 0, sizeof(*info));
  info->BaseAddress = reinterpret_cast<PVOID>(mapping.start);
  info->RegionSize = mapping.end - mapping.start;
  info->State = MEM_COMMIT;
  info->Protect = !mapping.read     ? PAGE_NOACCESS
                  : mapping.execute ? (mapping.write ? PAGE_EXECUTE_READWRITE : PAGE_EXECUTE_READ)
                  : mapping.write   ? PAGE_READWRITE
                                    : PAGE_READONLY;
  info->AllocationProtect = info->Protect;
  Dl_info object{};
  if (::dladdr(address, &object) && object.dli_fbase) {
    info->AllocationBase = object.dli_fbase;
    info->Type = MEM_IMAGE;
  } else {
    info->AllocationBase = info->BaseAddress;
    info->Type = MEM_PRIVATE;
  }
  return sizeof(MEMORY_BASIC_INFORMATION);
}

BOOL IsBadWritePtr(LPVOID address, UINT_PTR bytes) {
  return RangeHas(reinterpret_cast<std::uintptr_t>(address), bytes, true) ? FALSE : TRUE;
}

BOOL IsBadReadPtr(LPCVOID address, UINT_PTR bytes) {
  return RangeHas(reinterpret_cast<std::uintptr_t>(address), bytes, false) ? FALSE : TRUE;
}
