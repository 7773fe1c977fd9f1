// Text written to a file descriptor from a fixed buffer, with nothing but async-signal-safe calls:
// strings, hexadecimal and decimal numbers, no allocation, no lock, no locale. For what a fault
// handler writes before it may do anything else. Used by one thread at a time (it owns its buffer).
// The file it writes to, and the process's memory map read line by line.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// The decimal digits of `value` into `digits`, most significant first and without a terminator; returns
// how many. Async-signal-safe.
[[nodiscard]] std::size_t FormatDecimal(std::uint64_t value, char (&digits)[20]);

// A file made (or emptied) for writing, with async-signal-safe calls; closed when destroyed. When
// something stands at the path that cannot be written as a file (a folder, a pipe, a link that loops or
// leads nowhere), the file is made beside it as "<name>-1<extension>", "-2", up to "-9": what stands
// there is left alone.
class SignalSafeFile {
 public:
  explicit SignalSafeFile(const char* path);
  SignalSafeFile(const SignalSafeFile&) = delete;
  SignalSafeFile& operator=(const SignalSafeFile&) = delete;
  ~SignalSafeFile();

  [[nodiscard]] bool IsOpen() const { return mFile >= 0; }
  [[nodiscard]] int Descriptor() const { return mFile; }
  // Where the file was made; the path asked for while none was.
  [[nodiscard]] const char* Path() const { return mPath; }
  // Made beside the path asked for.
  [[nodiscard]] bool Beside() const { return mBeside; }

 private:
  static constexpr int kMostBeside = 9;
  int mFile = -1;
  bool mBeside = false;
  char mPath[4096] = {};
};

class SignalSafeText {
 public:
  // Writes to `file`; the caller opens and closes it.
  explicit SignalSafeText(int file) : mFile(file) {}
  SignalSafeText(const SignalSafeText&) = delete;
  SignalSafeText& operator=(const SignalSafeText&) = delete;
  ~SignalSafeText() { Flush(); }

  SignalSafeText& Text(const char* text);
  SignalSafeText& Text(const char* text, std::size_t length);
  // At least `digits` digits, upper or lower case, without a prefix.
  SignalSafeText& Hex(std::uint64_t value, int digits, bool upperCase = true);
  SignalSafeText& Decimal(std::uint64_t value);
  void Flush();
  // A write failed (a full disk): what was to be written is not all there.
  [[nodiscard]] bool Failed() const { return mFailed; }

 private:
  static constexpr std::size_t kRoom = 4096;
  int mFile;
  bool mFailed = false;
  std::size_t mUsed = 0;
  char mBuffer[kRoom];
};

// One line of the process's memory map: "start-end perms offset device inode path".
struct MapLine {
  std::uintptr_t start = 0;
  std::uintptr_t end = 0;
  bool read = false;
  bool write = false;
  bool execute = false;
  const char* path = "";  // empty for memory that maps no file
  const char* text = "";  // the whole line, without its end
  std::size_t length = 0;
  bool cut = false;  // longer than the reader's room: its end (the path's) is missing
};

// Reads /proc/self/maps a line at a time with async-signal-safe calls into buffers of its own; a line
// given by Next stays valid until the next call. Used by one thread.
class SignalSafeMemoryMap {
 public:
  SignalSafeMemoryMap();
  SignalSafeMemoryMap(const SignalSafeMemoryMap&) = delete;
  SignalSafeMemoryMap& operator=(const SignalSafeMemoryMap&) = delete;
  ~SignalSafeMemoryMap();

  // False at the end of the map, or when it cannot be read.
  [[nodiscard]] bool Next(MapLine* line);

 private:
  [[nodiscard]] bool NextByte(char* byte);

  int mFile;
  std::size_t mChunkUsed = 0;
  std::size_t mChunkAt = 0;
  char mChunk[4096];
  char mLine[1024];
};

// Writes the lines of the process's memory map that map code, each ending in "\r\n".
void WriteCodeMap(SignalSafeText& out);

}  // namespace plat
