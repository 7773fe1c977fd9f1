#include "platform/ddraw/SurfaceFaults.h"

#include <algorithm>
#include <atomic>

namespace plat {
namespace {

std::atomic<bool> gSurfaceLostArmed{false};
std::atomic<int> gLocksToFail{0};

}  // namespace

void FailNextWithSurfaceLost() { gSurfaceLostArmed.store(true); }

bool TakeSurfaceLostFault() { return gSurfaceLostArmed.exchange(false); }

void FailNextLocks(int count) { gLocksToFail.store(std::max(count, 0)); }

bool TakeLockFault() {
  int left = gLocksToFail.load();
  while (left > 0 && !gLocksToFail.compare_exchange_weak(left, left - 1)) {
  }
  return left > 0;
}

}  // namespace plat
