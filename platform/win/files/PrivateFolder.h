// A folder that only this user may use, opened for making files in it: the single-instance lock's.
// Made (mode 0700) when missing; refused, with the reason, when it is a link, not a folder, another
// user's, or open to other users. The user's own is the one that what the program makes there belongs
// to (Ownership): for a run as root inside another user's folder, that user. Nothing of a refused
// folder is changed. Any thread; one object per use.
#pragma once

#include <string>

namespace plat {

class PrivateFolder {
 public:
  // Makes the missing folders above it too. A trailing '/' is ignored.
  [[nodiscard]] explicit PrivateFolder(std::string path);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  [[nodiscard]] bool Usable() const { return mDescriptor >= 0; }
  // The open folder (for openat and the like), -1 when refused.
  [[nodiscard]] int Descriptor() const { return mDescriptor; }
  [[nodiscard]] const std::string& Path() const { return mPath; }
  // Why the folder is refused, to follow its path in a sentence: "is a link", "belongs to another user
  // (uid 65534)", ...; empty when it is usable.
  [[nodiscard]] const std::string& Refusal() const { return mRefusal; }

 private:
  std::string mPath;
  int mDescriptor = -1;
  std::string mRefusal;
};

}  // namespace plat
