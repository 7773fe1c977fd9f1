#include "platform/win/registry/Registry.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <set>

#include "platform/win/Errors.h"
#include "platform/win/registry/RegistryStore.h"

namespace plat {
namespace {

// An open key: the full path it names ("HKLM\\SOFTWARE\\Product").
struct OpenKey {
  std::string path;
};

std::mutex gHandlesLock;
std::set<OpenKey*> gHandles;

std::optional<std::string> HivePrefix(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return std::string("HKLM");
  if (key == HKEY_CURRENT_USER) return std::string("HKCU");
  if (key == HKEY_CLASSES_ROOT) return std::string("HKCR");
  return std::nullopt;
}

// The path of a handle, or empty when the handle is not a key.
std::optional<std::string> PathOf(HKEY key) {
  if (auto hive = HivePrefix(key)) return hive;
  std::lock_guard guard(gHandlesLock);
  auto* open = reinterpret_cast<OpenKey*>(key);
  if (!gHandles.count(open)) return std::nullopt;
  return open->path;
}

// Appends a sub-key path: separators collapse and leading or trailing ones are dropped.
std::string Join(const std::string& base, LPCSTR subKey) {
  std::string path = base;
  std::string part;
  auto flush = [&] {
    if (!part.empty()) path += "\\" + part;
    part.clear();
  };
  for (const char* c = subKey ? subKey : ""; *c; ++c) {
    if (*c == '\\' || *c == '/') {
      flush();
    } else {
      part.push_back(*c);
    }
  }
  flush();
  return path;
}

bool KeyExists(const RegistryData& data, const std::string& path) {
  if (path.find('\\') == std::string::npos) return true;  // the hives always exist
  std::string lower = LowerAscii(path) + "\\";
  for (const auto& [keyPath, key] : data.keys) {
    if (keyPath == lower.substr(0, lower.size() - 1) || keyPath.compare(0, lower.size(), lower) == 0) return true;
  }
  return false;
}

// A value name holding "\\" names a value of a sub-key: "Test3D\\Version" is "Version" in "<key>\\Test3D".
std::pair<std::string, std::string> ValueLocation(const std::string& keyPath, LPCSTR valueName) {
  std::string name = valueName ? valueName : "";
  std::size_t slash = name.find_last_of('\\');
  if (slash == std::string::npos) return {keyPath, name};
  return {Join(keyPath, name.substr(0, slash).c_str()), name.substr(slash + 1)};
}

HKEY NewHandle(std::string path) {
  auto* open = new OpenKey{std::move(path)};
  std::lock_guard guard(gHandlesLock);
  gHandles.insert(open);
  return reinterpret_cast<HKEY>(open);
}

}  // namespace
}  // namespace plat

LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto base = plat::PathOf(key);
  if (!base) return ERROR_INVALID_HANDLE;
  std::string path = plat::Join(*base, subKey);
  bool exists =
      plat::RegistryStore::Instance().Read([&](const plat::RegistryData& data) { return plat::KeyExists(data, path); });
  if (!exists) return ERROR_FILE_NOT_FOUND;
  *result = plat::NewHandle(path);
  return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  return RegOpenKeyEx(key, subKey, options, access, result);
}

LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto base = plat::PathOf(key);
  if (!base) return ERROR_INVALID_HANDLE;
  std::string path = plat::Join(*base, subKey);
  bool created = false;
  bool stored = plat::RegistryStore::Instance().Change([&](plat::RegistryData& data) {
    if (plat::KeyExists(data, path)) return false;
    plat::RegistryData::Key& added = data.keys[plat::LowerAscii(path)];
    added.path = path;
    created = true;
    return true;
  });
  if (!stored) return ERROR_CANTWRITE;
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = plat::NewHandle(path);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     void* security, PHKEY result, LPDWORD disposition) {
  return RegCreateKeyEx(key, subKey, reserved, keyClass, options, access, security, result, disposition);
}

LONG RegQueryValueEx(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  auto path = plat::PathOf(key);
  if (!path) return ERROR_INVALID_HANDLE;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  const auto location = plat::ValueLocation(*path, valueName);
  const std::string& keyPath = location.first;
  const std::string& name = location.second;
  std::optional<plat::RegistryValue> value =
      plat::RegistryStore::Instance().Read([&](const plat::RegistryData& store) -> std::optional<plat::RegistryValue> {
        auto found = store.keys.find(plat::LowerAscii(keyPath));
        if (found == store.keys.end()) return std::nullopt;
        auto named = found->second.values.find(plat::LowerAscii(name));
        if (named == found->second.values.end()) return std::nullopt;
        return named->second.second;
      });
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value->type;
  auto needed = static_cast<DWORD>(value->data.size());
  if (!data) {
    if (size) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed) std::memcpy(data, value->data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  return RegQueryValueEx(key, valueName, reserved, type, data, size);
}

LONG RegSetValueEx(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  auto path = plat::PathOf(key);
  if (!path) return ERROR_INVALID_HANDLE;
  if (path->find('\\') == std::string::npos) return ERROR_ACCESS_DENIED;  // no values on a hive root
  if (!data && size) return ERROR_INVALID_PARAMETER;
  const auto location = plat::ValueLocation(*path, valueName);
  const std::string& keyPath = location.first;
  const std::string& name = location.second;
  plat::RegistryValue value{type, data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>()};
  bool stored = plat::RegistryStore::Instance().Change([&](plat::RegistryData& store) {
    plat::RegistryData::Key& entry = store.keys[plat::LowerAscii(keyPath)];
    // A value set again as it stands is no change, and the file need not be written.
    std::pair<std::string, plat::RegistryValue> named{name, value};
    const auto standing = entry.values.find(plat::LowerAscii(name));
    if (!entry.path.empty() && standing != entry.values.end() && standing->second == named) return false;
    if (entry.path.empty()) entry.path = keyPath;
    entry.values[plat::LowerAscii(name)] = std::move(named);
    return true;
  });
  return stored ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  return RegSetValueEx(key, valueName, reserved, type, data, size);
}

LONG RegDeleteValue(HKEY key, LPCSTR valueName) {
  auto path = plat::PathOf(key);
  if (!path) return ERROR_INVALID_HANDLE;
  const auto location = plat::ValueLocation(*path, valueName);
  const std::string& keyPath = location.first;
  const std::string& name = location.second;
  bool found = false;
  bool stored = plat::RegistryStore::Instance().Change([&](plat::RegistryData& store) {
    auto entry = store.keys.find(plat::LowerAscii(keyPath));
    if (entry == store.keys.end()) return false;
    found = entry->second.values.erase(plat::LowerAscii(name)) > 0;
    return found;
  });
  if (!stored) return ERROR_CANTWRITE;
  return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) { return RegDeleteValue(key, valueName); }

LONG RegCloseKey(HKEY key) {
  if (plat::HivePrefix(key)) return ERROR_SUCCESS;
  auto* open = reinterpret_cast<plat::OpenKey*>(key);
  {
    std::lock_guard guard(plat::gHandlesLock);
    if (!plat::gHandles.erase(open)) return ERROR_INVALID_HANDLE;
  }
  delete open;
  return ERROR_SUCCESS;
}
