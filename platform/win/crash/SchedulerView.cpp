// What the crash watchdog learns of the scheduler and of the display server, read from /proc and a
// socket into buffers on the stack only: after a fault the allocator may be broken.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/crash/SignalSafeText.h"

namespace {

// A path put together in a fixed buffer.
class PathText {
 public:
  PathText& Text(const char* text) {
    for (; *text != '\0' && mLength + 1 < sizeof(mText); ++text) mText[mLength++] = *text;
    mText[mLength] = '\0';
    return *this;
  }
  PathText& Number(unsigned value) {
    char digits[20];
    const std::size_t count = plat::FormatDecimal(value, digits);
    for (std::size_t i = 0; i < count && mLength + 1 < sizeof(mText); ++i) mText[mLength++] = digits[i];
    mText[mLength] = '\0';
    return *this;
  }
  const char* Get() const { return mText; }
  std::size_t Length() const { return mLength; }

 private:
  char mText[108] = {};
  std::size_t mLength = 0;
};

// The whole of a small file into `text`, ended by a zero; false when it cannot be read.
bool ReadSmallFile(const char* path, char* text, std::size_t room) {
  const int file = ::open(path, O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  std::size_t used = 0;
  for (;;) {
    const ssize_t got = ::read(file, text + used, room - 1 - used);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    used += static_cast<std::size_t>(got);
    if (used == room - 1) break;
  }
  ::close(file);
  text[used] = '\0';
  return used > 0;
}

// A decimal number at `*at`, moving past it; false when no digit stands there.
bool ReadDecimal(const char** at, unsigned long long* value) {
  if (**at < '0' || **at > '9') return false;
  *value = 0;
  for (; **at >= '0' && **at <= '9'; ++*at) *value = *value * 10 + static_cast<unsigned long long>(**at - '0');
  return true;
}

PathText TaskFile(int process, int thread, const char* name) {
  PathText path;
  path.Text("/proc/").Number(static_cast<unsigned>(process)).Text("/task/");
  path.Number(static_cast<unsigned>(thread)).Text("/").Text(name);
  return path;
}

// "schedstat": time on a processor, time waiting on a run queue (both in nanoseconds), time slices.
// "stat": the state follows the name in parentheses, which may itself hold blanks and parentheses.
// "status": among its lines, "voluntary_ctxt_switches:" counts the thread's sleeps.
bool ThreadOfProcess(int process, int thread, plat::ThreadSchedule* schedule) {
  char text[1024];
  if (!ReadSmallFile(TaskFile(process, thread, "schedstat").Get(), text, sizeof(text))) return false;
  const char* at = text;
  plat::ThreadSchedule read;
  if (!ReadDecimal(&at, &read.ranNanoseconds) || *at++ != ' ' || !ReadDecimal(&at, &read.waitedNanoseconds))
    return false;
  if (!ReadSmallFile(TaskFile(process, thread, "stat").Get(), text, sizeof(text))) return false;
  const char* nameEnd = std::strrchr(text, ')');
  if (nameEnd == nullptr || nameEnd[1] != ' ') return false;
  read.runnable = nameEnd[2] == 'R';
  char status[4096];
  if (!ReadSmallFile(TaskFile(process, thread, "status").Get(), status, sizeof(status))) return false;
  const char* sleeps = std::strstr(status, "\nvoluntary_ctxt_switches:");
  if (sleeps == nullptr) return false;
  at = sleeps + std::strlen("\nvoluntary_ctxt_switches:");
  while (*at == '\t' || *at == ' ') ++at;
  if (!ReadDecimal(&at, &read.sleeps)) return false;
  *schedule = read;
  return true;
}

// The "some" line of the processor pressure: "some avg10=... avg60=... avg300=... total=<microseconds>".
bool Machine(plat::ThreadSchedule* schedule) {
  char text[512];
  if (!ReadSmallFile("/proc/pressure/cpu", text, sizeof(text)) || std::strncmp(text, "some ", 5) != 0) return false;
  const char* total = std::strstr(text, " total=");
  const char* lineEnd = std::strchr(text, '\n');
  if (total == nullptr || (lineEnd != nullptr && total > lineEnd)) return false;
  const char* at = total + 7;
  unsigned long long microseconds = 0;
  if (!ReadDecimal(&at, &microseconds)) return false;
  *schedule = plat::ThreadSchedule{0, microseconds * 1000, 0, false};
  return true;
}

// The peer of a new connection to `address`; 0 when none connects, -1 when one does but tells no
// process.
int PeerOf(const sockaddr_un& address, socklen_t length) {
  const int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (connection < 0) return 0;
  int peer = 0;
  if (::connect(connection, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    peer = ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.pid > 0
               ? credentials.pid
               : -1;
  }
  ::close(connection);
  return peer;
}

}  // namespace

namespace plat {

bool SystemSchedule(int process, int thread, ThreadSchedule* schedule) {
  if (process == 0) return Machine(schedule);
  return process > 0 && thread > 0 && ThreadOfProcess(process, thread, schedule);
}

// DISPLAY is "[host]:number[.screen]"; a local server listens on "/tmp/.X11-unix/X<number>", in the
// abstract namespace and as a file.
int DisplayServerProcess() {
  const char* display = std::getenv("DISPLAY");
  const char* colon = display != nullptr ? std::strrchr(display, ':') : nullptr;
  if (colon == nullptr) return 0;
  const auto hostLength = static_cast<std::size_t>(colon - display);
  if (hostLength != 0 && !(hostLength == 4 && std::strncmp(display, "unix", 4) == 0)) return 0;
  const char* at = colon + 1;
  unsigned long long number = 0;
  if (!ReadDecimal(&at, &number) || (*at != '\0' && *at != '.') || number > 65535) return 0;
  PathText path;
  path.Text("/tmp/.X11-unix/X").Number(static_cast<unsigned>(number));
  for (const bool abstract : {true, false}) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t start = abstract ? 1 : 0;
    std::memcpy(address.sun_path + start, path.Get(), path.Length());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + start + path.Length());
    if (const int peer = PeerOf(address, length); peer != 0) return peer;
  }
  return 0;
}

}  // namespace plat
