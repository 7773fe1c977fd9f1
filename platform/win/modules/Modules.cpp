#include "platform/win/modules/Modules.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace plat {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// Windows lets a module name omit ".dll" and carry a folder.
std::string ModuleKey(std::string_view fileName) {
  std::string key = Lower(fileName);
  std::size_t slash = key.find_last_of("/\\");
  if (slash != std::string::npos) key.erase(0, slash + 1);
  if (key.find('.') == std::string::npos) key += ".dll";
  return key;
}

struct Module {
  std::string key;
  std::map<std::string, FARPROC> exports;  // exact names: GetProcAddress is case-sensitive
  std::set<std::string> missingExports;
  bool missing = false;
  int loadCount = 0;
};

struct ModuleTable {
  std::recursive_mutex lock;
  std::map<std::string, std::unique_ptr<Module>> modules;
  std::set<std::string> missingModules;  // kept apart so that a fault survives re-registration
  std::once_flag builtinsRegistered;
};

ModuleTable& Table() {
  static ModuleTable table;
  return table;
}

ModuleTable& ReadyTable() {
  ModuleTable& table = Table();
  std::call_once(table.builtinsRegistered, RegisterBuiltinModules);
  return table;
}

Module* Find(ModuleTable& table, const std::string& key) {
  auto it = table.modules.find(key);
  return it == table.modules.end() ? nullptr : it->second.get();
}

Module* FromHandle(ModuleTable& table, HMODULE handle) {
  for (auto& [key, module] : table.modules) {
    if (reinterpret_cast<HMODULE>(module.get()) == handle) return module.get();
  }
  return nullptr;
}

// The executable's own handle: any unique address outside the module table does.
char gExecutableModule;

}  // namespace

void RegisterModule(std::string_view name, std::vector<ModuleExport> exports) {
  ModuleTable& table = Table();
  std::lock_guard guard(table.lock);
  std::string key = ModuleKey(name);
  auto& slot = table.modules[key];
  int loadCount = slot ? slot->loadCount : 0;
  std::set<std::string> missingExports = slot ? slot->missingExports : std::set<std::string>{};
  slot = std::make_unique<Module>();
  slot->key = key;
  slot->loadCount = loadCount;
  slot->missingExports = std::move(missingExports);
  for (const ModuleExport& entry : exports) slot->exports[std::string(entry.name)] = entry.proc;
}

void SetModuleMissing(std::string_view name, bool missing) {
  ModuleTable& table = ReadyTable();
  std::lock_guard guard(table.lock);
  if (missing)
    table.missingModules.insert(ModuleKey(name));
  else
    table.missingModules.erase(ModuleKey(name));
}

void SetExportMissing(std::string_view module, std::string_view exportName, bool missing) {
  ModuleTable& table = ReadyTable();
  std::lock_guard guard(table.lock);
  Module* found = Find(table, ModuleKey(module));
  if (!found) return;
  if (missing)
    found->missingExports.insert(std::string(exportName));
  else
    found->missingExports.erase(std::string(exportName));
}

void ResetModuleFaults() {
  ModuleTable& table = ReadyTable();
  std::lock_guard guard(table.lock);
  table.missingModules.clear();
  for (auto& [key, module] : table.modules) module->missingExports.clear();
}

int ModuleLoadCount(std::string_view name) {
  ModuleTable& table = ReadyTable();
  std::lock_guard guard(table.lock);
  Module* found = Find(table, ModuleKey(name));
  return found ? found->loadCount : 0;
}

}  // namespace plat

HMODULE LoadLibrary(LPCSTR fileName) {
  if (!fileName) return nullptr;
  auto& table = plat::ReadyTable();
  std::lock_guard guard(table.lock);
  std::string key = plat::ModuleKey(fileName);
  if (table.missingModules.count(key)) return nullptr;
  plat::Module* module = plat::Find(table, key);
  if (!module) return nullptr;
  ++module->loadCount;
  return reinterpret_cast<HMODULE>(module);
}

HMODULE LoadLibraryA(LPCSTR fileName) { return LoadLibrary(fileName); }

FARPROC GetProcAddress(HMODULE handle, LPCSTR procName) {
  if (!handle || !procName) return nullptr;
  auto& table = plat::ReadyTable();
  std::lock_guard guard(table.lock);
  plat::Module* module = plat::FromHandle(table, handle);
  if (!module || module->loadCount == 0) return nullptr;
  if (module->missingExports.count(procName)) return nullptr;
  auto it = module->exports.find(procName);
  return it == module->exports.end() ? nullptr : it->second;
}

BOOL FreeLibrary(HMODULE handle) {
  auto& table = plat::ReadyTable();
  std::lock_guard guard(table.lock);
  plat::Module* module = plat::FromHandle(table, handle);
  if (!module || module->loadCount == 0) return FALSE;
  --module->loadCount;
  return TRUE;
}

HMODULE GetModuleHandle(LPCSTR moduleName) {
  if (!moduleName) return reinterpret_cast<HMODULE>(&plat::gExecutableModule);
  auto& table = plat::ReadyTable();
  std::lock_guard guard(table.lock);
  std::string key = plat::ModuleKey(moduleName);
  if (table.missingModules.count(key)) return nullptr;
  plat::Module* module = plat::Find(table, key);
  return module && module->loadCount > 0 ? reinterpret_cast<HMODULE>(module) : nullptr;
}
