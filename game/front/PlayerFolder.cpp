#include "game/front/PlayerFolder.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/Buffer.h"
#include "framework/util/FileSystemUtil.h"
#include "framework/util/PathUtil.h"
#include "platform/win/files/FileLock.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/PathMap.h"

namespace PlayerFolder {

namespace {

// Copies kept of damaged files; with every name taken no further copy is made.
constexpr int kMaxDamagedCopies = 99;

bool PlayingDemo(const Kit::KitAppBase& app) { return app.mDemoStream != nullptr && app.mDemoStream->mDemoPlaying; }

std::string LockFileOf(const std::string& path) { return Kit::GetFileDir(path, true) + ".lock"; }

// The lock of the folder a file lives in (its lock file lives there too, so the folder is made first).
// Whether another copy kept it is input from outside like any other: recorded, and while a recording
// plays back taken from it, the disk left alone.
class FolderLock {
 public:
  FolderLock(Kit::KitAppBase& app, const std::string& path) {
    if (!PlayingDemo(app)) {
      const std::string folder = Kit::GetFileDir(path);
      if (!folder.empty()) Kit::MakeDirectories(folder);
      mLock.emplace(LockFileOf(path), kLockWaitMs);
      mHeld = mLock->Held();
    }
    app.DemoSyncBool(mHeld);
  }
  bool Held() const { return mHeld; }

 private:
  std::optional<plat::FileLock> mLock;
  bool mHeld = false;
};

// The copy step on the disk, under the folder's lock.
DamagedCopy MakeDamagedCopy(const std::string& path, const std::vector<std::uint8_t>& bytes, ReadResult how) {
  const plat::FileLock lock(LockFileOf(path), kLockWaitMs);
  if (!lock.Held()) {
    // The lock file could not be made (a read-only disk, say), or another copy held the lock too long.
    const int error = errno;
    return {false, error == EWOULDBLOCK ? "another copy of the game keeps its folder busy"
                                        : std::generic_category().message(error)};
  }
  int number = 1;
  // Whatever holds a name (a folder, a link, a dangling one too) keeps it: what holds one now is passed by
  // here, and what takes one meanwhile, as the copy is put in place.
  while (number <= kMaxDamagedCopies && plat::AnythingAt(plat::MapPath(DamagedCopyName(path, number)))) ++number;
  std::vector<std::string> names;
  for (; number <= kMaxDamagedCopies; ++number) names.push_back(plat::MapPath(DamagedCopyName(path, number)));
  // An unreadable file cannot be copied, so it is moved aside whole instead. A copy is private to whom
  // the file is.
  const std::string_view copied(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::optional<std::string> copy = how == ReadResult::Unreadable
                                              ? plat::MoveAside(plat::MapPath(path), names)
                                              : plat::WriteCopyOf(plat::MapPath(path), names, copied);
  if (!copy)
    return {false, errno == EEXIST ? "every name for a copy is taken" : std::generic_category().message(errno)};
  std::error_code error;
  const std::filesystem::path where = std::filesystem::absolute(*copy, error);
  return {true, error ? *copy : where.lexically_normal().string()};
}

}  // namespace

std::string DamagedCopyName(const std::string& path, int number) {
  return path + ".bak" + (number == 1 ? std::string() : std::to_string(number));
}

ReadResult ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
  Kit::KitAppBase* app = Kit::gKitApp;
  if (app == nullptr) return ReadResult::Missing;
  if (!app->FileExists(path)) {
    // Something that does not open as a file (a folder, a file without permission, a looping link) may
    // hold the player's data all the same: it is unreadable, not missing, so that no save replaces it. A
    // link whose file is still to be made holds nothing: the first save makes that file.
    // Not recorded, so that recordings keep the records they had: a recording played back takes it as
    // missing, which differs only where the recorded run met such a file.
    const bool standing = !PlayingDemo(*app) && !plat::NothingToReplace(plat::MapPath(path));
    return standing ? ReadResult::Unreadable : ReadResult::Missing;
  }
  // No lock: files are only ever replaced whole by a rename, so a reader sees one or the other.
  Kit::Buffer buffer;
  if (!app->ReadBufferFromFile(path, &buffer)) return ReadResult::Unreadable;
  bytes->assign(buffer.mData.begin(), buffer.mData.begin() + buffer.GetDataLen());
  return ReadResult::Read;
}

DamagedCopy KeepDamagedCopy(const std::string& path, const std::vector<std::uint8_t>& bytes, ReadResult how) {
  Kit::KitAppBase* app = Kit::gKitApp;
  if (app == nullptr) return {false, "the game is not running"};
  DamagedCopy copy;
  if (!PlayingDemo(*app)) copy = MakeDamagedCopy(path, bytes, how);
  // What the player is told and which saves are refused follow from it: a playback takes it as recorded.
  Kit::Buffer outcome;
  outcome.WriteBoolean(copy.mKept);
  outcome.WriteString(copy.mWhere);
  app->DemoSyncBuffer(outcome);
  outcome.SeekFront();
  copy.mKept = outcome.ReadBoolean();
  copy.mWhere = outcome.ReadString();
  return copy;
}

bool WriteFile(const std::string& path, const Kit::Buffer& contents) {
  Kit::KitAppBase* app = Kit::gKitApp;
  if (app == nullptr) return false;
  FolderLock lock(*app, path);
  return lock.Held() && app->WriteBufferToFile(path, contents);
}

void RemoveLeftoverTemporaries(const std::string& path) {
  Kit::KitAppBase* app = Kit::gKitApp;
  if (app == nullptr || PlayingDemo(*app)) return;
  // The lock of every save, taken directly: the folder is not made for this (the lock file cannot be
  // opened in a missing folder), and nothing is recorded.
  const plat::FileLock lock(LockFileOf(path), kLockWaitMs);
  if (!lock.Held()) return;
  const std::string folder = Kit::GetFileDir(path);
  plat::RemoveAllTemporaries(plat::MapPath(folder.empty() ? "." : folder));
  // A linked file's target may lie in a folder of other files: there only this file's dead writers' go.
  plat::RemoveStaleTemporaries(plat::MapPath(path));
}

}  // namespace PlayerFolder
