#include "platform/win/crash/SignalSafeText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

SignalSafeFile::SignalSafeFile(const char* path)
    : mFile(::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}

SignalSafeFile::~SignalSafeFile() {
  if (mFile >= 0) ::close(mFile);
}

SignalSafeText& SignalSafeText::Text(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return Text(text, length);
}

SignalSafeText& SignalSafeText::Text(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (mUsed == kRoom) Flush();
    mBuffer[mUsed++] = text[i];
  }
  return *this;
}

SignalSafeText& SignalSafeText::Hex(std::uint64_t value, int digits, bool upperCase) {
  const char* symbols = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[16];
  int count = 0;
  do {
    reversed[count++] = symbols[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int pad = count; pad < digits && pad < 16; ++pad) Text("0", 1);
  while (count > 0) Text(&reversed[--count], 1);
  return *this;
}

SignalSafeText& SignalSafeText::Decimal(std::uint64_t value) {
  char reversed[20];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) Text(&reversed[--count], 1);
  return *this;
}

void SignalSafeText::Flush() {
  std::size_t written = 0;
  while (written < mUsed) {
    const ssize_t step = ::write(mFile, mBuffer + written, mUsed - written);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) break;
    written += static_cast<std::size_t>(step);
  }
  mUsed = 0;
}

void WriteCodeMap(SignalSafeText& out) {
  const int maps = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (maps < 0) return;
  char chunk[4096];
  char line[1024];
  std::size_t length = 0;
  bool tooLong = false;
  auto finishLine = [&] {
    // "start-end perms offset ...": the permissions follow the first blank.
    std::size_t blank = 0;
    while (blank < length && line[blank] != ' ') ++blank;
    if (!tooLong && blank + 3 < length && line[blank + 3] == 'x') out.Text(line, length).Text("\r\n");
    length = 0;
    tooLong = false;
  };
  for (;;) {
    const ssize_t got = ::read(maps, chunk, sizeof(chunk));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    for (ssize_t i = 0; i < got; ++i) {
      if (chunk[i] == '\n') {
        finishLine();
      } else if (length < sizeof(line)) {
        line[length++] = chunk[i];
      } else {
        tooLong = true;
      }
    }
  }
  if (length > 0) finishLine();
  ::close(maps);
}

}  // namespace plat
