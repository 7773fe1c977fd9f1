// Where and how the registry is kept: one text file per user, by default
// $XDG_CONFIG_HOME/quarvel/registry (~/.config when the variable is unset). Every change rewrites
// the file atomically (temporary file, flush, sync, rename; through the link when the file is one), so a
// crash mid-write leaves the old settings. A damaged file is renamed aside ("<file>.damaged", never
// overwriting an earlier one; a linked one is copied there and keeps its link) and the registry starts
// empty. One that cannot be read at all (a folder, no permission, a read error, a size far
// beyond any settings file), or a damaged one that
// cannot be moved aside, is left as it is: the registry starts empty and every write fails until the
// file is set again, so the player's settings are never replaced by defaults. Each problem is reported
// once per file, on standard error and to the program, which takes the reports to show them
// (TakeProblems); a full disk is one report, not one per write.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/util/ScopedValue.h"
#include "platform/win/Types.h"

namespace plat {

struct RegistryValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RegistryValue&) const = default;
};

// Key paths are "HKLM\\SOFTWARE\\..." with names compared ignoring case; values likewise.
struct RegistryData {
  // lower-case key path -> (key path as first written, values by lower-case name -> (name, value))
  struct Key {
    std::string path;
    std::map<std::string, std::pair<std::string, RegistryValue>> values;
  };
  std::map<std::string, Key> keys;
};

// The file format, apart from the file handling, so that it can be tested and fuzzed alone.
[[nodiscard]] std::string SerializeRegistry(const RegistryData& data);
// Empty when the text is not a complete, intact registry file.
[[nodiscard]] std::optional<RegistryData> ParseRegistry(std::string_view text);

// The registry in memory and in its file. A change is written at once, but for those a thread makes
// together inside a write group (RegistryWriteGroup), written once as the group ends; a value set again
// as it stands changes nothing and writes nothing.
class RegistryStore {
 public:
  static RegistryStore& Instance();

  // The file in use; tests point it at their own. Changing it drops what was loaded and the problems
  // not taken yet.
  void SetFile(std::string path);
  [[nodiscard]] std::string File();

  // What the store could not do with its file (read it, keep it, write it) since the last call, as
  // sentences for the player, one a line; empty when all went well.
  [[nodiscard]] std::string TakeProblems();

  // Reads under the store's lock.
  template <typename Reader>
  auto Read(Reader&& reader) {
    std::lock_guard guard(mLock);
    EnsureLoaded();
    return reader(static_cast<const RegistryData&>(mData));
  }
  // Applies a change (the changer returns whether it changed anything) and keeps it only where the file
  // can take it: outside a write group of the calling thread the file is written at once, and the change
  // kept when it was; inside one the change is kept, and the group's end writes the file. False when the
  // change was not kept.
  template <typename Changer>
  bool Change(Changer&& changer) {
    std::lock_guard guard(mLock);
    EnsureLoaded();
    RegistryData next = mData;
    if (!changer(next)) return true;  // nothing changed
    return Keep(std::move(next));
  }

 private:
  friend class RegistryWriteGroup;

  void EnsureLoaded();
  bool Keep(RegistryData next);
  void BeginGroup();
  bool EndGroup();
  bool Write(const RegistryData& data);
  void SetAside(const std::string& text);
  // Reports a problem on standard error and keeps it for TakeProblems.
  void Report(const std::string& problem);

  std::mutex mLock;
  std::string mFile;
  bool mLoaded = false;
  // The file was there but could not be read, or is damaged and still there: nothing is written over it.
  bool mUnreadable = false;
  // A failed write of this file has been reported; later ones fail without a word.
  bool mWriteFailureReported = false;
  std::string mProblems;
  RegistryData mData;
  // What the file holds, as last read or written: what the registry goes back to when a group's write
  // fails, so that what the program reads is what the file holds.
  RegistryData mSaved;
  // A group's changes are in mData and not yet in the file.
  bool mUnsaved = false;
};

// Registry changes made together: while a group is alive, the changes its thread makes are kept in
// memory (and read back), and the file is written once, when the outermost group of the thread ends,
// with every change the group kept. Outside a group a change is written at once, as ever; another
// thread's change written meanwhile takes the group's kept changes into the file with it. A write that
// fails as the group ends is reported as any failed write is (TakeProblems), and the group's changes are
// dropped. Open one around values set one after another, not across a wait: what the group kept is in
// the file only once it ends.
class RegistryWriteGroup {
 public:
  RegistryWriteGroup();
  ~RegistryWriteGroup();
  RegistryWriteGroup(const RegistryWriteGroup&) = delete;
  RegistryWriteGroup& operator=(const RegistryWriteGroup&) = delete;

  // Ends the group now rather than at the end of its scope: false when the outermost group's write of
  // what it kept failed (an inner group writes nothing and gives true).
  bool End();

 private:
  bool mOpen = true;
};

[[nodiscard]] std::string DefaultRegistryFile();
[[nodiscard]] std::string LowerAscii(std::string_view text);

// Points the registry at a file (RegistryStore::SetFile) and returns the file it was at.
std::string SetRegistryFile(std::string path);

// Test seam: points the registry at a file for the lifetime of the guard.
using ScopedRegistryFile = ScopedValue<std::string, SetRegistryFile>;

}  // namespace plat
