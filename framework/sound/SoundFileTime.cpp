#include "framework/sound/SoundFileTime.h"

#include <sys/stat.h>

#include <cstdint>

#include "platform/win/PathMap.h"

namespace Kit {

bool GetTheFileTime(const std::string& fileName, FILETIME* time) {
  time->dwLowDateTime = 0;
  time->dwHighDateTime = 0;
  struct stat info {};
  if (stat(plat::MapPath(fileName).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  constexpr std::uint64_t kSecondsFrom1601To1970 = 11644473600ull;
  std::uint64_t stamp = (static_cast<std::uint64_t>(info.st_mtim.tv_sec) + kSecondsFrom1601To1970) * 10'000'000ull +
                        static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
  time->dwLowDateTime = static_cast<DWORD>(stamp & 0xffffffffu);
  time->dwHighDateTime = static_cast<DWORD>(stamp >> 32);
  return true;
}

}  // namespace Kit
