#include "framework/resource/ImageFileBytes.h"

#include "framework/resource/ImageLimits.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace ImageLib {

bool ReadImageFileBytes(const std::string& fileName, std::vector<uint8_t>* bytes) {
  return plat::ReadWholeFile(plat::MapPath(fileName), bytes, static_cast<std::size_t>(kMaxImageFileBytes)) ==
         plat::FileReadResult::kRead;
}

}  // namespace ImageLib
