// Splits arbitrary command-line text into parameters; every parameter must come out whole and the
// split must never read past the text. Unknown switches are collected rather than ending the run.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/app/KitAppBase.h"

namespace {

class CollectingApp : public Kit::KitAppBase {
 public:
  void HandleCmdLineParam(const std::string& name, const std::string& value) override {
    if (name.empty() && value.empty()) std::abort();  // empty parameters are never handed on
    mCollected += name.size() + value.size();
  }
  std::size_t mCollected = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CollectingApp app;
  const std::string text(reinterpret_cast<const char*>(data), size);
  app.mCollected = 0;
  app.ParseCommandLineText(text);
  if (app.mCollected > text.size()) std::abort();
  return 0;
}
