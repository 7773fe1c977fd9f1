// Run-time loaded libraries. The layer's own in-process modules ("ddraw.dll", "dsound.dll", ...) stand
// in for the DLLs the program loads by name; each registers its entry points through the layer's wiring
// at the top of platform/ (BuiltinModules.cpp).
#pragma once

#include <string_view>
#include <vector>

#include "platform/win/Types.h"

HMODULE LoadLibrary(LPCSTR fileName);
HMODULE LoadLibraryA(LPCSTR fileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);
// The handle of a module that is loaded now, or null. A null name gives the executable's own handle.
HMODULE GetModuleHandle(LPCSTR moduleName);

namespace plat {

struct ModuleExport {
  std::string_view name;
  FARPROC proc;
};

// Casts a function to the untyped entry-point form stored in the table.
template <typename Function>
[[nodiscard]] FARPROC ExportOf(Function* function) {
  return reinterpret_cast<FARPROC>(function);
}

// Adds a module to the table (names compare case-insensitively). Registering a name again replaces it.
void RegisterModule(std::string_view name, std::vector<ModuleExport> exports);

// Test seams: make a whole module, or one entry point of it, missing, so that LoadLibrary or
// GetProcAddress fails for it as on a machine without that library.
void SetModuleMissing(std::string_view name, bool missing);
void SetExportMissing(std::string_view module, std::string_view exportName, bool missing);
void ResetModuleFaults();
// How many LoadLibrary references a module holds now (0 when not loaded).
[[nodiscard]] int ModuleLoadCount(std::string_view name);

// Registers every module of the layer once. The modules stand on this room, so the layer's wiring at
// the top of platform/ (BuiltinModules.cpp) defines it.
void RegisterBuiltinModules();

}  // namespace plat
