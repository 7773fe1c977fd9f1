#include "framework/app/OwnCopyNote.h"

#include "platform/win/files/PathMap.h"

namespace Kit {

std::string OwnCopyNote(const std::string& programPath) {
  const std::string ownCopy = plat::PlayersOwnCopy(programPath);
  return ownCopy.empty() ? std::string() : "\r\n\r\nThe file read is your own copy: " + ownCopy;
}

}  // namespace Kit
