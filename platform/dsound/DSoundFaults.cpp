#include "platform/dsound/DSoundFaults.h"

#include <map>
#include <mutex>

namespace plat {

namespace {

struct Faults {
  std::mutex mutex;
  std::map<DSoundCall, HRESULT> results;
};

Faults& TheFaults() {
  static Faults faults;
  return faults;
}

}  // namespace

void SetDSoundFault(DSoundCall call, HRESULT result) {
  std::lock_guard lock(TheFaults().mutex);
  TheFaults().results[call] = result;
}

void ClearDSoundFault(DSoundCall call) {
  std::lock_guard lock(TheFaults().mutex);
  TheFaults().results.erase(call);
}

void ResetDSoundFaults() {
  std::lock_guard lock(TheFaults().mutex);
  TheFaults().results.clear();
}

HRESULT DSoundFault(DSoundCall call) {
  std::lock_guard lock(TheFaults().mutex);
  auto it = TheFaults().results.find(call);
  return it == TheFaults().results.end() ? S_OK : it->second;
}

}  // namespace plat
