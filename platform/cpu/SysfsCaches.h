// The caches as Linux describes them: a folder index<N> for each cache of a processor, holding its
// level, its type, its size ("32K") and the processors that share it ("0-7", "0,2,4-6"). sysconf's
// sizes are not used: the C library takes them from CPUID, which a hypervisor may pass on wrongly (320
// MiB for the 32 MiB third level of an AMD EPYC under KVM), and they do not say who shares a level.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/cpu/CacheSizes.h"

namespace plat::cache {

// The first processor's caches.
inline constexpr const char* kSysfsCacheFolder = "/sys/devices/system/cpu/cpu0/cache";

// The data or unified caches of levels 2 and 3 that `folder` describes; a level whose size or sharers
// cannot be read stays unknown (0 bytes).
Sizes ReadSysfsCaches(const std::string& folder);

// A size as the files write it: decimal digits, then K, M or G (times 1024, 1024^2, 1024^3) or
// nothing, then a line end or nothing. Anything else, or a size past size_t: nullopt.
std::optional<std::size_t> ParseCacheSize(std::string_view text);

// How many processors a list names: numbers and ranges (a-b, a <= b) between commas, then a line end
// or nothing. Anything else, or more than kMostProcessors: nullopt.
inline constexpr int kMostProcessors = 1 << 16;
std::optional<int> CountProcessors(std::string_view text);

}  // namespace plat::cache
