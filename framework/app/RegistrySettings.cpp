// The application's settings in the registry, under "SOFTWARE\" + the registry key, and their
// synchronisation with input recordings.
#include <cmath>
#include <cstring>
#include <type_traits>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "platform/win/Errors.h"
#include "platform/win/registry/Registry.h"
#include "platform/win/registry/RegistryStore.h"

namespace Kit {

static_assert(std::is_same_v<DWORD, std::uint32_t>, "registry sizes and types travel through the demo stream as such");

namespace {

// Where a value lives: the key path (with the part of the name before its last "\" as a sub-key)
// and the value's own name.
struct RegistryLocation {
  std::string keyPath;
  std::string valueName;
};

RegistryLocation LocateValue(std::string key, const std::string& valueName) {
  while (!key.empty() && (key.back() == '\\' || key.back() == '/')) key.pop_back();
  RegistryLocation location{"SOFTWARE\\" + key, valueName};
  const std::size_t slash = valueName.rfind('\\');
  if (slash != std::string::npos) {
    location.keyPath += "\\" + valueName.substr(0, slash);
    location.valueName = valueName.substr(slash + 1);
  }
  return location;
}

class OpenKey {
 public:
  OpenKey() = default;
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (mKey != nullptr) RegCloseKey(mKey);
  }
  HKEY* Out() { return &mKey; }
  HKEY Get() const { return mKey; }

 private:
  HKEY mKey = nullptr;
};

// A volume stored in hundredths. Truncation is kept for values that fall between two hundredths,
// but a value that is a whole number of hundredths up to rounding error keeps its number, so that a
// setting read and saved again never drifts down by one.
int VolumeToHundredths(double volume) { return static_cast<int>(std::floor(volume * 100.0 + 1e-6)); }

}  // namespace

bool KitAppBase::RegistryWrite(const std::string& valueName, DWORD type, const std::uint8_t* data, DWORD length) {
  if (mRegKey.empty()) return false;
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying)
    return mDemoStream->ReplayResult(mUpdateCount, DemoResultRecord::RegistryWrite);
  const bool recording = mDemoStream != nullptr && mDemoStream->mDemoRecording;

  const RegistryLocation location = LocateValue(mRegKey, valueName);
  // A key made for the value reaches the file with it.
  plat::RegistryWriteGroup keyAndValue;
  OpenKey key;
  bool written = RegOpenKeyEx(HKEY_LOCAL_MACHINE, location.keyPath.c_str(), 0, KEY_WRITE, key.Out()) == ERROR_SUCCESS;
  if (!written) {
    char keyClass[] = "Key";
    DWORD disposition = 0;
    written = RegCreateKeyEx(HKEY_LOCAL_MACHINE, location.keyPath.c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, key.Out(), &disposition) == ERROR_SUCCESS;
  }
  // A value the store could not keep is a failed write, not a success.
  written = written && RegSetValueEx(key.Get(), location.valueName.c_str(), 0, type, data, length) == ERROR_SUCCESS;
  written = keyAndValue.End() && written;
  if (recording) mDemoStream->RecordResult(mUpdateCount, DemoResultRecord::RegistryWrite, written);
  if (!written && mLoadedHandedOver) TellSettingsProblems();
  return written;
}

void KitAppBase::RegistryWriteTogether(const std::function<void()>& write) {
  plat::RegistryWriteGroup together;
  write();
  if (!together.End() && mLoadedHandedOver) TellSettingsProblems();
}

void KitAppBase::TellSettingsProblems() {
  const std::string problems = plat::RegistryStore::Instance().TakeProblems();
  if (!problems.empty()) Notice(problems);
}

bool KitAppBase::RegistryRead(const std::string& valueName, DWORD* type, std::uint8_t* data, DWORD* length) {
  if (mRegKey.empty()) return false;
  // A replayed value longer than the caller's buffer is refused, and the stream stays in step.
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying)
    return mDemoStream->ReplayRegistryRead(mUpdateCount, type, data, length);

  const RegistryLocation location = LocateValue(mRegKey, valueName);
  OpenKey key;
  DWORD readType = 0;
  DWORD readLength = *length;
  bool read = RegOpenKeyEx(HKEY_LOCAL_MACHINE, location.keyPath.c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
  read = read &&
         RegQueryValueEx(key.Get(), location.valueName.c_str(), nullptr, &readType, data, &readLength) == ERROR_SUCCESS;
  if (mDemoStream != nullptr && mDemoStream->mDemoRecording)
    mDemoStream->RecordRegistryRead(mUpdateCount, read, readType, data, readLength);
  if (!read) return false;
  *type = readType;
  *length = readLength;
  return true;
}

void KitAppBase::RegistryEraseValue(const std::string& valueName) {
  if (mRegKey.empty()) return;
  const RegistryLocation location = LocateValue(mRegKey, valueName);
  OpenKey key;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, location.keyPath.c_str(), 0, KEY_WRITE, key.Out()) != ERROR_SUCCESS) return;
  RegDeleteValue(key.Get(), location.valueName.c_str());
}

bool KitAppBase::RegistryWriteString(const std::string& valueName, const std::string& text) {
  return RegistryWrite(valueName, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.data()),
                       static_cast<DWORD>(text.size()));
}

bool KitAppBase::RegistryWriteInteger(const std::string& valueName, int value) {
  const auto word = static_cast<std::uint32_t>(value);
  std::uint8_t bytes[4];
  std::memcpy(bytes, &word, sizeof bytes);
  return RegistryWrite(valueName, REG_DWORD, bytes, sizeof bytes);
}

bool KitAppBase::RegistryWriteBoolean(const std::string& valueName, bool value) {
  return RegistryWriteInteger(valueName, value ? 1 : 0);
}

bool KitAppBase::RegistryReadString(const std::string& valueName, std::string* text) {
  std::uint8_t buffer[1024] = {};
  DWORD type = 0;
  DWORD length = 1023;
  if (!RegistryRead(valueName, &type, buffer, &length) || type != REG_SZ) return false;
  std::string read(reinterpret_cast<const char*>(buffer), length);
  // A terminator stored with the text is not part of it.
  const std::size_t end = read.find('\0');
  if (end != std::string::npos) read.resize(end);
  *text = std::move(read);
  return true;
}

bool KitAppBase::RegistryReadInteger(const std::string& valueName, int* value) {
  std::uint8_t bytes[4] = {};
  DWORD type = 0;
  DWORD length = sizeof bytes;
  // A value of another type or size is damaged: the caller keeps its default.
  if (!RegistryRead(valueName, &type, bytes, &length) || type != REG_DWORD || length != sizeof bytes) return false;
  std::uint32_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  *value = static_cast<int>(word);
  return true;
}

bool KitAppBase::RegistryReadBoolean(const std::string& valueName, bool* value) {
  int number = 0;
  if (!RegistryReadInteger(valueName, &number)) return false;
  *value = number != 0;
  return true;
}

void KitAppBase::EnableCustomCursors(bool enabled) {
  mCustomCursorsEnabled = enabled;
  EnforceCursor();
}

void KitAppBase::ReadFromRegistry() {
  mSaveSettingsAtShutdown = true;
  const auto property = mStringProperties.find("RegistryKey");
  if (property != mStringProperties.end()) mRegKey = property->second;
  if (mRegKey.empty()) return;

  int value = 0;
  // Volumes outside 0 to 100 cannot have been saved by the program: the defaults stay.
  if (RegistryReadInteger("MusicVolume", &value) && value >= 0 && value <= 100) mMusicVolume = value * 0.01;
  if (RegistryReadInteger("SfxVolume", &value) && value >= 0 && value <= 100) mSfxVolume = value * 0.01;
  if (RegistryReadInteger("Muted", &value) && value >= 0) mMuteCount = value;
  if (RegistryReadInteger("ScreenMode", &value)) mIsWindowed = value == 0;
  if (RegistryReadInteger("PreferredX", &value)) mPreferredX = value;
  if (RegistryReadInteger("PreferredY", &value)) mPreferredY = value;
  if (RegistryReadInteger("CustomCursors", &value)) EnableCustomCursors(value != 0);
  bool flag = false;
  if (RegistryReadBoolean("WaitForVSync", &flag)) mWaitForVSync = flag;
  if (RegistryReadInteger("InProgress", &value)) mLastShutdownWasGraceful = value == 0;
  if (!mIsScreenSaver) RegistryWriteInteger("InProgress", 1);
}

void KitAppBase::WriteToRegistry() {
  RegistryWriteTogether([this] {
    RegistryWriteInteger("MusicVolume", VolumeToHundredths(mMusicVolume));
    RegistryWriteInteger("SfxVolume", VolumeToHundredths(mSfxVolume));
    RegistryWriteInteger("Muted", mMuteCount - mAutoMuteCount > 0 ? 1 : 0);
    RegistryWriteInteger("ScreenMode", mIsWindowed ? 0 : 1);
    RegistryWriteInteger("PreferredX", mPreferredX);
    RegistryWriteInteger("PreferredY", mPreferredY);
    RegistryWriteInteger("CustomCursors", mCustomCursorsEnabled ? 1 : 0);
    RegistryWriteInteger("InProgress", 0);
    RegistryWriteBoolean("WaitForVSync", mWaitForVSync);
  });
}

}  // namespace Kit
