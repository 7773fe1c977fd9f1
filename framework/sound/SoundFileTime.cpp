#include "framework/sound/SoundFileTime.h"

#include "platform/win/files/Files.h"

namespace Kit {

bool GetTheFileTime(const std::string& fileName, FILETIME* time) {
  *time = FILETIME{0, 0};
  WIN32_FIND_DATA found{};
  HANDLE search = FindFirstFile(fileName.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  *time = found.ftLastWriteTime;
  return true;
}

}  // namespace Kit
