#include "platform/win/crash/ImageHelp.h"

#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <unistd.h>
#include <unwind.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/win/modules/Modules.h"

namespace {

std::mutex gSymbolsLock;
Dwfl* gSymbols = nullptr;

// The frames of the calling thread as the unwinder sees them, innermost first.
using Frames = plat::FaultFrames;
thread_local Frames tFrames;

_Unwind_Reason_Code CollectFrame(_Unwind_Context* context, void* argument) {
  auto* frames = static_cast<Frames*>(argument);
  int beforeInstruction = 0;
  const ULONGLONG pc = _Unwind_GetIPInfo(context, &beforeInstruction);
  return frames->Append(pc, _Unwind_GetCFA(context)) ? _URC_NO_REASON : _URC_END_OF_STACK;
}

// The frames that start at `start`: those of the fault being handled when it faulted there, else
// those above the caller.
const Frames* FramesFrom(ULONGLONG start, int* first) {
  const Frames& fault = plat::CurrentFaultFrames();
  if (fault.count > 0 && fault.pc[0] == start) {
    *first = 0;
    return &fault;
  }
  Frames& frames = tFrames;
  frames.count = 0;
  _Unwind_Backtrace(CollectFrame, &frames);
  for (int i = 0; i < frames.count; ++i)
    if (frames.pc[i] == start) {
      *first = i;
      return &frames;
    }
  return nullptr;
}

Dwfl_Module* ModuleOf(ULONGLONG address) {
  return gSymbols != nullptr ? dwfl_addrmodule(gSymbols, static_cast<Dwarf_Addr>(address)) : nullptr;
}

// A second call brings the session's list of objects up to date: objects loaded since are added,
// those already read keep their symbols.
BOOL SymInitialize(HANDLE, const CHAR*, BOOL) {
  std::lock_guard<std::mutex> lock(gSymbolsLock);
  static char* debugInfoPath = nullptr;
  static const Dwfl_Callbacks callbacks = {dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr,
                                           &debugInfoPath};
  if (gSymbols == nullptr) gSymbols = dwfl_begin(&callbacks);
  if (gSymbols == nullptr) return FALSE;
  dwfl_report_begin(gSymbols);
  if (dwfl_linux_proc_report(gSymbols, ::getpid()) != 0 || dwfl_report_end(gSymbols, nullptr, nullptr) != 0) {
    dwfl_end(gSymbols);
    gSymbols = nullptr;
    return FALSE;
  }
  return TRUE;
}

DWORD SymSetOptions(DWORD options) { return options; }

BOOL SymCleanup(HANDLE) {
  std::lock_guard<std::mutex> lock(gSymbolsLock);
  if (gSymbols != nullptr) dwfl_end(gSymbols);
  gSymbols = nullptr;
  return TRUE;
}

DWORD UnDecorateSymbolName(const CHAR* name, CHAR* output, DWORD length, DWORD) {
  if (name == nullptr || output == nullptr || length == 0) return 0;
  int status = -1;
  char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
  const char* result = status == 0 && plain != nullptr ? plain : name;
  std::strncpy(output, result, length - 1);
  output[length - 1] = '\0';
  std::free(plain);
  return static_cast<DWORD>(std::strlen(output));
}

BOOL StackWalk(DWORD, HANDLE, HANDLE, STACKFRAME64* frame, PVOID context, PVOID, PSYMBOL_ACCESS, PMODULE_BASE, PVOID) {
  if (frame == nullptr) return FALSE;
  thread_local const Frames* tWalked = nullptr;
  int next = 0;
  if (frame->Reserved[0] == 0) {
    // First call: find the faulting frame, among the fault's frames or those above the caller.
    const auto* registers = static_cast<const CONTEXT*>(context);
    tWalked = FramesFrom(registers != nullptr ? registers->Rip : frame->AddrPC.Offset, &next);
    if (tWalked == nullptr) return FALSE;
  } else {
    next = static_cast<int>(frame->Reserved[0]);
  }
  const Frames& frames = *tWalked;
  if (next >= frames.count || frames.pc[next] == 0) return FALSE;  // a return address of 0 ends the stack
  const bool faulting = frame->Reserved[0] == 0;
  // A caller's address is its return address: the call itself lies one byte before.
  frame->AddrPC.Offset = faulting ? frames.pc[next] : frames.pc[next] - 1;
  frame->AddrFrame.Offset = frames.cfa[next];
  frame->AddrStack.Offset = next > 0 ? frames.cfa[next - 1] : frames.cfa[next];
  frame->AddrReturn.Offset = next + 1 < frames.count ? frames.pc[next + 1] : 0;
  frame->AddrPC.Mode = frame->AddrFrame.Mode = frame->AddrStack.Mode = AddrModeFlat;
  std::memset(frame->Params, 0, sizeof(frame->Params));
  frame->Reserved[0] = static_cast<ULONGLONG>(next) + 1;
  return TRUE;
}

PVOID SymFunctionTableAccess(HANDLE, ULONGLONG) { return nullptr; }

ULONGLONG SymGetModuleBase(HANDLE, ULONGLONG address) {
  std::lock_guard<std::mutex> lock(gSymbolsLock);
  Dwfl_Module* module = ModuleOf(address);
  Dwarf_Addr base = 0;
  if (module == nullptr ||
      dwfl_module_info(module, nullptr, &base, nullptr, nullptr, nullptr, nullptr, nullptr) == nullptr)
    return 0;
  return base;
}

BOOL SymGetSymFromAddr(HANDLE, ULONGLONG address, ULONGLONG* displacement, IMAGEHLP_SYMBOL64* symbol) {
  if (symbol == nullptr || symbol->MaxNameLength == 0) return FALSE;
  std::lock_guard<std::mutex> lock(gSymbolsLock);
  Dwfl_Module* module = ModuleOf(address);
  if (module == nullptr) return FALSE;
  GElf_Off offset = 0;
  GElf_Sym elfSymbol{};
  const char* name =
      dwfl_module_addrinfo(module, static_cast<Dwarf_Addr>(address), &offset, &elfSymbol, nullptr, nullptr, nullptr);
  if (name == nullptr) return FALSE;
  std::strncpy(symbol->Name, name, symbol->MaxNameLength - 1);
  symbol->Name[symbol->MaxNameLength - 1] = '\0';
  symbol->Address = address - offset;
  symbol->Size = static_cast<DWORD>(elfSymbol.st_size);
  if (displacement != nullptr) *displacement = offset;
  return TRUE;
}

BOOL SymGetLineFromAddr(HANDLE, ULONGLONG address, DWORD* displacement, IMAGEHLP_LINE64* line) {
  if (line == nullptr) return FALSE;
  std::lock_guard<std::mutex> lock(gSymbolsLock);
  Dwfl_Module* module = ModuleOf(address);
  Dwfl_Line* found = module != nullptr ? dwfl_module_getsrc(module, static_cast<Dwarf_Addr>(address)) : nullptr;
  Dwarf_Addr lineAddress = 0;
  int number = 0;
  const char* file =
      found != nullptr ? dwfl_lineinfo(found, &lineAddress, &number, nullptr, nullptr, nullptr) : nullptr;
  if (file == nullptr) return FALSE;
  line->FileName = file;  // stays valid until SymCleanup
  line->LineNumber = static_cast<DWORD>(number);
  line->Address = lineAddress;
  if (displacement != nullptr) *displacement = static_cast<DWORD>(address - lineAddress);
  return TRUE;
}

}  // namespace

namespace plat {

void RegisterImageHelpModule() {
  RegisterModule("IMAGEHLP.DLL", {{"SymInitialize", ExportOf(&SymInitialize)},
                                  {"SymSetOptions", ExportOf(&SymSetOptions)},
                                  {"SymCleanup", ExportOf(&SymCleanup)},
                                  {"UnDecorateSymbolName", ExportOf(&UnDecorateSymbolName)},
                                  {"StackWalk", ExportOf(&StackWalk)},
                                  {"SymFunctionTableAccess", ExportOf(&SymFunctionTableAccess)},
                                  {"SymGetModuleBase", ExportOf(&SymGetModuleBase)},
                                  {"SymGetSymFromAddr", ExportOf(&SymGetSymFromAddr)},
                                  {"SymGetLineFromAddr", ExportOf(&SymGetLineFromAddr)}});
}

}  // namespace plat
