// Waiting for something another thread or process brings about: asks a condition again and again,
// pumping or stepping in between, until it holds. The bound is a net against a hang only, never the
// time the work should take. Owns nothing; any thread, a forked child included.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace testsupport {

// Many times what the slowest build needs on a busy machine.
inline constexpr std::chrono::seconds kHangNet{60};

inline void PauseBriefly() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

// Asks `holds` until it returns true, running `between` after each "no" (pump messages, step a frame
// loop; a short pause by default). Fails once `bound` has passed. Used as EXPECT_TRUE(PollUntil(...)),
// a failure shows the condition's text and the time waited.
template <typename Holds, typename Between = void (*)()>
testing::AssertionResult PollUntil(Holds&& holds, Between&& between = PauseBriefly,
                                   std::chrono::milliseconds bound = kHangNet) {
  const auto giveUp = std::chrono::steady_clock::now() + bound;
  while (!holds()) {
    if (std::chrono::steady_clock::now() >= giveUp)
      return testing::AssertionFailure() << "it still did not hold after " << bound.count() << " ms";
    between();
  }
  return testing::AssertionSuccess();
}

}  // namespace testsupport
