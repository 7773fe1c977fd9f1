// A one-time estimate of the processor's cycle rate, for turning cycle counts into time.
#pragma once

#include <cstdint>

namespace Kit {

// Cycles per second, measured over 1/100 s on the first call and cached; never 0.
std::uint64_t GetCpuSpeed();

// Drops the cached rate so that the next GetCpuSpeed measures again (tests change the clock).
void ForgetCpuSpeed();

}  // namespace Kit
