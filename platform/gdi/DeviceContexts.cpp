#include "platform/gdi/DeviceContexts.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/ddraw/SurfaceDC.h"
#include "platform/gdi/FontTable.h"

namespace plat::gdi {

namespace {

// A window context's handle points at one of these, so that it can never equal a surface's.
struct WindowContextToken {
  int unused = 0;
};

struct Contexts {
  std::mutex lock;
  std::unordered_map<HDC, DeviceContextState> states;
  std::unordered_map<HDC, std::unique_ptr<WindowContextToken>> windows;
};

Contexts& TheContexts() {
  static Contexts contexts;
  return contexts;
}

}  // namespace

HDC OpenWindowContext() {
  auto token = std::make_unique<WindowContextToken>();
  const HDC dc = reinterpret_cast<HDC>(token.get());
  std::shared_ptr<GdiFont> stock = StockFont();
  Contexts& contexts = TheContexts();
  std::lock_guard hold(contexts.lock);
  contexts.windows[dc] = std::move(token);
  contexts.states[dc].font = std::move(stock);
  return dc;
}

bool CloseWindowContext(HDC dc) {
  Contexts& contexts = TheContexts();
  std::lock_guard hold(contexts.lock);
  if (!contexts.windows.erase(dc)) return false;
  contexts.states.erase(dc);
  return true;
}

bool WithContext(HDC dc, const std::function<void(DeviceContextState&)>& use) {
  if (!dc) return false;
  std::shared_ptr<GdiFont> stock = StockFont();
  Contexts& contexts = TheContexts();
  std::lock_guard hold(contexts.lock);
  auto found = contexts.states.find(dc);
  if (found == contexts.states.end()) {
    if (!SurfaceDCOf(dc)) return false;
    found = contexts.states.emplace(dc, DeviceContextState{}).first;
    found->second.font = std::move(stock);
  }
  use(found->second);
  return true;
}

void ForgetContext(HDC dc) {
  Contexts& contexts = TheContexts();
  std::lock_guard hold(contexts.lock);
  if (!contexts.windows.count(dc)) contexts.states.erase(dc);
}

}  // namespace plat::gdi
