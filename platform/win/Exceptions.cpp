#include "platform/win/Exceptions.h"

#include <dlfcn.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

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

void OnFatalSignal(int signal, siginfo_t* info, void* rawContext) {
  // One report per process: a fault inside the filter itself ends the process the plain way.
  LPTOP_LEVEL_EXCEPTION_FILTER filter = gFilter.exchange(nullptr);
  ::signal(signal, SIG_DFL);
  if (filter) {
    CONTEXT context{};
    FillContext(static_cast<ucontext_t*>(rawContext), &context);
    EXCEPTION_RECORD record{};
    record.ExceptionCode = CodeOf(signal, info ? info->si_code : 0);
    // A fault just below the stack pointer is the stack's guard page: the stack overflowed.
    const auto faultAt = reinterpret_cast<std::uintptr_t>(info ? info->si_addr : nullptr);
    if (signal == SIGSEGV && context.Rsp != 0 && faultAt + kStackGuardReach >= context.Rsp &&
        faultAt <= context.Rsp + kStackGuardReach)
      record.ExceptionCode = EXCEPTION_STACK_OVERFLOW;
    record.ExceptionAddress = context.Rip ? reinterpret_cast<PVOID>(context.Rip) : (info ? info->si_addr : nullptr);
    if (signal == SIGSEGV || signal == SIGBUS) {
      record.NumberParameters = 2;
      record.ExceptionInformation[0] = 0;  // read or write is not known on Linux
      record.ExceptionInformation[1] = reinterpret_cast<ULONG_PTR>(info ? info->si_addr : nullptr);
    }
    EXCEPTION_POINTERS pointers{&record, &context};
    if (filter(&pointers) == EXCEPTION_EXECUTE_HANDLER) ::_exit(static_cast<int>(record.ExceptionCode & 0xFF));
  }
  ::raise(signal);
}

// Room for the report: the symbol reader and the sanitizers need more than a few pages.
constexpr std::size_t kFaultStackSize = 1 << 19;

class FaultStack {
 public:
  FaultStack() : mMemory(new char[kFaultStackSize]) {
    stack_t stack{};
    stack.ss_sp = mMemory.get();
    stack.ss_size = kFaultStackSize;
    ::sigaltstack(&stack, nullptr);
  }
  FaultStack(const FaultStack&) = delete;
  FaultStack& operator=(const FaultStack&) = delete;
  ~FaultStack() {
    stack_t stack{};
    stack.ss_flags = SS_DISABLE;
    ::sigaltstack(&stack, nullptr);
  }

 private:
  std::unique_ptr<char[]> mMemory;
};

void InstallHandlers() {
  // The filter must run even when the stack itself overflowed.
  plat::UseFaultStack();
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

struct Mapping {
  std::uintptr_t start, end;
  bool read, write, execute;
  std::string path;
};

std::optional<Mapping> MappingOf(std::uintptr_t address) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    unsigned long long start = 0, end = 0;
    char permissions[5] = {};
    int pathAt = 0;
    if (std::sscanf(line.c_str(), "%llx-%llx %4s %*s %*s %*s %n", &start, &end, permissions, &pathAt) < 3) continue;
    if (address < start || address >= end) continue;
    Mapping mapping{static_cast<std::uintptr_t>(start),
                    static_cast<std::uintptr_t>(end),
                    permissions[0] == 'r',
                    permissions[1] == 'w',
                    permissions[2] == 'x',
                    pathAt > 0 && static_cast<std::size_t>(pathAt) <= line.size() ? line.substr(pathAt) : ""};
    return mapping;
  }
  return std::nullopt;
}

bool RangeHas(std::uintptr_t start, std::uintptr_t bytes, bool write) {
  if (bytes == 0) return true;
  if (start + bytes < start) return false;
  std::uintptr_t at = start;
  while (at < start + bytes) {
    auto mapping = MappingOf(at);
    if (!mapping || !(write ? mapping->write : mapping->read)) return false;
    at = mapping->end;
  }
  return true;
}

}  // namespace

namespace plat {

void UseFaultStack() { thread_local FaultStack stack; }

}  // namespace plat

LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter) {
  static std::atomic<bool> installed{false};
  if (!installed.exchange(true)) InstallHandlers();
  return gFilter.exchange(filter);
}

UINT SetErrorMode(UINT mode) { return gErrorMode.exchange(mode); }

SIZE_T VirtualQuery(LPCVOID address, MEMORY_BASIC_INFORMATION* info, SIZE_T length) {
  if (!info || length < sizeof(MEMORY_BASIC_INFORMATION)) return 0;
  auto mapping = MappingOf(reinterpret_cast<std::uintptr_t>(address));
  if (!mapping) return 0;
  std::memset(info, 0, sizeof(*info));
  info->BaseAddress = reinterpret_cast<PVOID>(mapping->start);
  info->RegionSize = mapping->end - mapping->start;
  info->State = MEM_COMMIT;
  info->Protect = !mapping->read     ? PAGE_NOACCESS
                  : mapping->execute ? (mapping->write ? PAGE_EXECUTE_READWRITE : PAGE_EXECUTE_READ)
                  : mapping->write   ? PAGE_READWRITE
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
