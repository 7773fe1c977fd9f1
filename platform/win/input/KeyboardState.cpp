#include "platform/win/input/KeyboardState.h"

#include <array>
#include <atomic>

#include "platform/win/input/VirtualKeys.h"

namespace plat {
namespace {

// Read by any thread, written by the main thread.
std::array<std::atomic<BYTE>, 256> gKeys{};

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

}  // namespace

void SetKeyDown(int virtualKey, bool down) {
  if (virtualKey <= 0 || virtualKey > 255) return;
  BYTE state = gKeys[static_cast<std::size_t>(virtualKey)].load();
  if (down && !(state & kDown)) state ^= kToggled;
  state = down ? (state | kDown) : (state & ~kDown);
  gKeys[static_cast<std::size_t>(virtualKey)].store(state);
}

bool IsKeyDown(int virtualKey) {
  if (virtualKey <= 0 || virtualKey > 255) return false;
  return (gKeys[static_cast<std::size_t>(virtualKey)].load() & kDown) != 0;
}

void ReleaseAllKeys() {
  for (auto& key : gKeys) key.store(key.load() & kToggled);
}

}  // namespace plat

SHORT GetKeyState(int virtualKey) {
  if (virtualKey <= 0 || virtualKey > 255) return 0;
  BYTE state = plat::gKeys[static_cast<std::size_t>(virtualKey)].load();
  return static_cast<SHORT>(((state & plat::kDown) ? 0x8000 : 0) | (state & plat::kToggled));
}
