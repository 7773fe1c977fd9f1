// Tests of row kernels run once at every vector level: the program's level is lowered to the test's
// for its run and raised again after; a level the processor lacks is skipped.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/cpu/SimdLevel.h"

namespace plat::simd {

// "Scalar", "Sse2" or "Avx2": the level as a test shows it.
void PrintTo(Level level, std::ostream* out);

}  // namespace plat::simd

namespace testsupport {

inline constexpr plat::simd::Level kSimdLevels[] = {plat::simd::Level::kScalar, plat::simd::Level::kSse2,
                                                    plat::simd::Level::kAvx2};

// The level as printed, for the names of the instantiated tests.
std::string SimdLevelName(const testing::TestParamInfo<plat::simd::Level>& info);

class SimdLevelTest : public testing::TestWithParam<plat::simd::Level> {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace testsupport
