// "IMAGEHLP.DLL": the stack walk and the symbol and source-line look-ups of crash reports, on
// elfutils' libdw (symbols and DWARF lines of every loaded object) and the C++ runtime's unwinder
// (call frame information, so frames are found without frame pointers). The entry points carry the
// names the crash handler asks for; their records hold 64-bit addresses.
#pragma once

#include "platform/win/Types.h"
#include "platform/win/crash/Exceptions.h"

constexpr DWORD IMAGE_FILE_MACHINE_AMD64 = 0x8664;
constexpr DWORD SYMOPT_DEFERRED_LOADS = 0x4;

enum ADDRESS_MODE { AddrMode1616, AddrMode1632, AddrModeReal, AddrModeFlat };

struct ADDRESS64 {
  ULONGLONG Offset;
  WORD Segment;
  ADDRESS_MODE Mode;
};

struct STACKFRAME64 {
  ADDRESS64 AddrPC;
  ADDRESS64 AddrReturn;
  ADDRESS64 AddrFrame;  // the frame's canonical frame address
  ADDRESS64 AddrStack;
  PVOID FuncTableEntry;
  ULONGLONG Params[4];  // arguments travel in registers on x86-64: always 0
  BOOL Far;
  BOOL Virtual;
  ULONGLONG Reserved[3];  // the walk's own position; zero before the first call
};

struct IMAGEHLP_SYMBOL64 {
  DWORD SizeOfStruct;
  ULONGLONG Address;
  DWORD Size;
  DWORD Flags;
  DWORD MaxNameLength;
  CHAR Name[1];
};

struct IMAGEHLP_LINE64 {
  DWORD SizeOfStruct;
  PVOID Key;
  DWORD LineNumber;
  const CHAR* FileName;
  ULONGLONG Address;
};

using PSYMBOL_ACCESS = PVOID (*)(HANDLE process, ULONGLONG address);
using PMODULE_BASE = ULONGLONG (*)(HANDLE process, ULONGLONG address);

// The entry points, by the names GetProcAddress gives them under.
using SymInitializeProc = BOOL (*)(HANDLE process, const CHAR* searchPath, BOOL invadeProcess);
using SymSetOptionsProc = DWORD (*)(DWORD options);
using SymCleanupProc = BOOL (*)(HANDLE process);
// Demangles a C++ name; the flags are accepted and ignored. The length of the result, 0 on failure.
using UnDecorateSymbolNameProc = DWORD (*)(const CHAR* name, CHAR* output, DWORD length, DWORD flags);
// Walks the stack of the calling thread from the context's program counter, which must lie on it
// (the context of a fault that the calling thread is handling). FALSE after the last frame.
using StackWalkProc = BOOL (*)(DWORD machine, HANDLE process, HANDLE thread, STACKFRAME64* frame, PVOID context,
                               PVOID readMemory, PSYMBOL_ACCESS functionTableAccess, PMODULE_BASE getModuleBase,
                               PVOID translateAddress);
using SymFunctionTableAccessProc = PVOID (*)(HANDLE process, ULONGLONG address);
using SymGetModuleBaseProc = ULONGLONG (*)(HANDLE process, ULONGLONG address);
using SymGetSymFromAddrProc = BOOL (*)(HANDLE process, ULONGLONG address, ULONGLONG* displacement,
                                       IMAGEHLP_SYMBOL64* symbol);
using SymGetLineFromAddrProc = BOOL (*)(HANDLE process, ULONGLONG address, DWORD* displacement, IMAGEHLP_LINE64* line);

namespace plat {
void RegisterImageHelpModule();

// The section of its object file that holds a loaded address, as the object's section headers number
// it (`readelf -S`), and the offset in that section: the "logical address" of crash reports. False,
// and the outputs unchanged, for an address in no loaded object or in none of its loaded sections.
[[nodiscard]] bool ImageSectionOf(const void* address, DWORD* section, ULONGLONG* offset);
}  // namespace plat
