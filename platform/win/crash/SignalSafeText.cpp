#include "platform/win/crash/SignalSafeText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/win/files/Ownership.h"

namespace plat {

namespace {

// A regular file of that name in the folder, emptied and ready to write (one made here owned as Ownership
// says); -1 when something else stands there or it cannot be made. Never waits: a pipe without a reader
// fails to open, one with a reader is closed again.
int OpenAsFile(int folder, const char* name) {
  const int file = OpenOrMakeFile(folder, name, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (file < 0) return -1;
  struct stat status {};
  if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || ::ftruncate(file, 0) != 0) {
    ::close(file);
    return -1;
  }
  ::fcntl(file, F_SETFL, ::fcntl(file, F_GETFL) & ~O_NONBLOCK);
  return file;
}

// `path` with "-<number>" before its extension (the last '.' of its last component), into `beside`;
// false when it does not fit.
bool BesidePath(const char* path, int number, char* beside, std::size_t room) {
  std::size_t length = 0;
  std::size_t dot = 0;
  for (; path[length] != '\0'; ++length) {
    if (path[length] == '/') dot = 0;
    if (path[length] == '.') dot = length;
  }
  if (dot == 0) dot = length;
  if (length + 3 > room) return false;
  std::size_t used = 0;
  for (std::size_t i = 0; i < dot; ++i) beside[used++] = path[i];
  beside[used++] = '-';
  beside[used++] = static_cast<char>('0' + number);
  for (std::size_t i = dot; i < length; ++i) beside[used++] = path[i];
  beside[used] = '\0';
  return true;
}

}  // namespace

SignalSafeFile::SignalSafeFile(const char* path) {
  std::size_t length = 0;
  std::size_t nameStart = 0;
  while (path[length] != '\0' && length + 1 < sizeof(mPath)) {
    mPath[length] = path[length];
    if (path[length] == '/') nameStart = length + 1;
    ++length;
  }
  mPath[length] = '\0';
  // The folder, opened once by the part of the path before the name; the file and those beside it are
  // made there.
  int folder = -1;
  if (nameStart == 0) {
    folder = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  } else {
    mPath[nameStart - 1] = '\0';
    folder = ::open(nameStart == 1 ? "/" : mPath, O_PATH | O_DIRECTORY | O_CLOEXEC);
    mPath[nameStart - 1] = '/';
  }
  if (folder < 0) return;
  mFile = OpenAsFile(folder, path + nameStart);
  char beside[sizeof(mPath)];
  for (int number = 1; mFile < 0 && number <= kMostBeside; ++number) {
    if (!BesidePath(path, number, beside, sizeof(beside))) break;
    mFile = OpenAsFile(folder, beside + nameStart);
    if (mFile < 0) continue;
    mBeside = true;
    for (length = 0; beside[length] != '\0'; ++length) mPath[length] = beside[length];
    mPath[length] = '\0';
  }
  ::close(folder);
}

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

std::size_t FormatDecimal(std::uint64_t value, char (&digits)[20]) {
  char reversed[20];
  std::size_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (std::size_t i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
  return count;
}

SignalSafeText& SignalSafeText::Decimal(std::uint64_t value) {
  char digits[20];
  return Text(digits, FormatDecimal(value, digits));
}

void SignalSafeText::Flush() {
  std::size_t written = 0;
  while (written < mUsed) {
    const ssize_t step = ::write(mFile, mBuffer + written, mUsed - written);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) {
      mFailed = true;
      break;
    }
    written += static_cast<std::size_t>(step);
  }
  mUsed = 0;
}

SignalSafeMemoryMap::SignalSafeMemoryMap() : mFile(::open("/proc/self/maps", O_RDONLY | O_CLOEXEC)) {}

SignalSafeMemoryMap::~SignalSafeMemoryMap() {
  if (mFile >= 0) ::close(mFile);
}

bool SignalSafeMemoryMap::NextByte(char* byte) {
  while (mChunkAt == mChunkUsed) {
    if (mFile < 0) return false;
    const ssize_t got = ::read(mFile, mChunk, sizeof(mChunk));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    mChunkUsed = static_cast<std::size_t>(got);
    mChunkAt = 0;
  }
  *byte = mChunk[mChunkAt++];
  return true;
}

namespace {

// Reads a hexadecimal number at `*at` and moves past it.
std::uintptr_t ReadHex(const char** at) {
  std::uintptr_t value = 0;
  for (;; ++*at) {
    const char c = **at;
    if (c >= '0' && c <= '9')
      value = value * 16 + static_cast<std::uintptr_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      value = value * 16 + static_cast<std::uintptr_t>(c - 'a' + 10);
    else
      return value;
  }
}

// Moves past the next blank-separated field and the blanks after it.
const char* SkipField(const char* at) {
  while (*at != '\0' && *at != ' ') ++at;
  while (*at == ' ') ++at;
  return at;
}

}  // namespace

bool SignalSafeMemoryMap::Next(MapLine* line) {
  for (;;) {
    std::size_t length = 0;
    bool cut = false;
    char byte = 0;
    bool any = false;
    while (NextByte(&byte)) {
      any = true;
      if (byte == '\n') break;
      if (length < sizeof(mLine) - 1)
        mLine[length++] = byte;
      else
        cut = true;
    }
    if (!any) return false;
    mLine[length] = '\0';
    const char* at = mLine;
    MapLine parsed;
    parsed.start = ReadHex(&at);
    if (*at++ != '-') continue;
    parsed.end = ReadHex(&at);
    if (*at++ != ' ' || std::strlen(at) < 4) continue;
    parsed.read = at[0] == 'r';
    parsed.write = at[1] == 'w';
    parsed.execute = at[2] == 'x';
    // After the permissions: offset, device and inode, then the path.
    at = SkipField(SkipField(SkipField(SkipField(at))));
    parsed.path = at;
    parsed.text = mLine;
    parsed.length = length;
    parsed.cut = cut;
    *line = parsed;
    return true;
  }
}

void WriteCodeMap(SignalSafeText& out) {
  SignalSafeMemoryMap map;
  MapLine line;
  while (map.Next(&line))
    if (line.execute && !line.cut) out.Text(line.text, line.length).Text("\r\n");
}

}  // namespace plat
