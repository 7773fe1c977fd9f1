#include "platform/ddraw/SurfaceDC.h"

#include <mutex>
#include <unordered_set>

#include "platform/ddraw/UpwardCalls.h"

namespace plat {
namespace {

std::mutex gMutex;
std::unordered_set<SurfaceDC*> gLive;

}  // namespace

SurfaceDC* SurfaceDCOf(HDC dc) {
  auto* record = reinterpret_cast<SurfaceDC*>(dc);
  std::lock_guard lock(gMutex);
  return gLive.count(record) ? record : nullptr;
}

namespace ddraw {

HDC RegisterSurfaceDC(SurfaceDC* record) {
  std::lock_guard lock(gMutex);
  gLive.insert(record);
  return reinterpret_cast<HDC>(record);
}

void UnregisterSurfaceDC(HDC dc) {
  {
    std::lock_guard lock(gMutex);
    gLive.erase(reinterpret_cast<SurfaceDC*>(dc));
  }
  // The GDI state of the context (font, colours, clip) ends with it.
  ForgetGdiState(dc);
}

}  // namespace ddraw
}  // namespace plat
