// A clock for the crash watchdog's tests: it stands still from 0 until a test thread moves it, each time
// to the moment a sleep on it ends, so that the watchdog, sleeping between its looks, is stepped through
// seconds of a hang one look at a time, as fast as it looks. One thread sleeps on it at a time and one
// moves it; the mover allocates nothing, so it keeps stepping while the allocator is held (if it had
// started before: a thread's start allocates).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/win/threads/Time.h"

namespace crashtest {

class SteppedClock final : public plat::Clock {
 public:
  std::uint64_t NowMicros() override {
    const std::lock_guard lock(mMutex);
    return mNow;
  }
  void SleepMicros(std::uint64_t micros) override {
    std::unique_lock lock(mMutex);
    const std::uint64_t wake = mWake = mNow + micros;
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return mNow >= wake; });
  }
  // Lets the seconds pass, one sleep at a time. Before each move, the file "clock-at" of the current
  // folder tells where the clock goes: where it stood when the watchdog killed the process.
  void RunFor(int seconds) {
    std::unique_lock lock(mMutex);
    for (const std::uint64_t until = mNow + seconds * 1'000'000ull; mNow < until;) {
      mChanged.wait(lock, [&] { return mWake > mNow; });
      RecordWhereTheClockGoes();
      mNow = mWake;
      mChanged.notify_all();
    }
  }

 private:
  void RecordWhereTheClockGoes() const {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof(text), mWake).ptr;
    const int file = ::open("clock-at", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) return;
    [[maybe_unused]] const ssize_t written = ::write(file, text, static_cast<std::size_t>(end - text));
    ::close(file);
  }

  std::mutex mMutex;
  std::condition_variable mChanged;
  std::uint64_t mNow = 0;
  std::uint64_t mWake = 0;
};

}  // namespace crashtest
