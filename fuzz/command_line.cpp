// Takes arbitrary text as the process's command line and acts on it as the framework does: the program
// path is skipped, the rest split into parameters, and each switch handled, the numbered recordings
// looked up (and the oldest deleted) in a folder of the target's own that holds recordings numbered
// from the lowest to the highest a name may carry. An unknown switch's fatal end is caught, its box
// logged; in screen-saver mode its log is written in that folder too (the player's folder of the run).
// Every parameter must come out whole, and the split must never read past the text.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/app/KitAppBase.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/Process.h"

namespace {

const char* const kRecordings[] = {"kit-999999999.dmo", "kit-5.dmo", "kit1.dmo", "kit2.dmo", "kit999999999.dmo"};

// The target's folder, made once, where the program's relative paths lead, and removed at the end.
class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-command-line-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    mPath = pattern;
    plat::SetSearchFolders(mPath, mPath);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
};

class CheckingApp : public Kit::KitAppBase {
 public:
  void HandleCmdLineParam(const std::string& name, const std::string& value) override {
    if (name.empty() && value.empty()) std::abort();  // empty parameters are never handed on
    mCollected += name.size() + value.size();
    KitAppBase::HandleCmdLineParam(name, value);
  }
  std::size_t mCollected = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Folder folder;
  static const plat::ScopedExitCatcher exits;
  // Recording may have deleted some: each input starts with all of them.
  for (const char* name : kRecordings) {
    const std::filesystem::path path = std::filesystem::path(folder.Path()) / name;
    if (!std::filesystem::exists(path)) std::ofstream(path) << "demo";
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  plat::SetCommandLine(text);
  const plat::ScopedMessageBoxScript boxes;
  CheckingApp app;
  app.mDemoPrefix = folder.Path() + "/kit";
  try {
    app.ParseCommandLine();
  } catch (const plat::ProcessExit&) {
    // an unknown switch
  }
  if (app.mCollected > text.size()) std::abort();
  return 0;
}
