#include "tests/crash/FakeDisplayServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace crashtest {

namespace {

constexpr int kFirstDisplay = 7100;
constexpr int kDisplaysTried = 800;

socklen_t AbstractAddress(const std::string& path, sockaddr_un* address) {
  *address = sockaddr_un{};
  address->sun_family = AF_UNIX;
  std::memcpy(address->sun_path + 1, path.data(), path.size());
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
}

}  // namespace

// Listens on the first free display number from a place of its own.
FakeDisplayServer::FakeDisplayServer() {
  const int offset = static_cast<int>(::getpid() % kDisplaysTried);
  for (int i = 0; i < kDisplaysTried; ++i) {
    const int number = kFirstDisplay + (offset + i) % kDisplaysTried;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return;
    sockaddr_un address;
    const socklen_t length = AbstractAddress("/tmp/.X11-unix/X" + std::to_string(number), &address);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(listener, 16) == 0) {
      mListener = listener;
      mDisplay = ":" + std::to_string(number);
      return;
    }
    ::close(listener);
  }
}

FakeDisplayServer::~FakeDisplayServer() {
  if (mListener >= 0) ::close(mListener);
}

}  // namespace crashtest
