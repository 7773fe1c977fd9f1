#include "tests/support/SimdLevels.h"

namespace testsupport {

std::string SimdLevelName(const testing::TestParamInfo<plat::simd::Level>& info) {
  switch (info.param) {
    case plat::simd::Level::kScalar:
      return "Scalar";
    case plat::simd::Level::kSse2:
      return "Sse2";
    default:
      return "Avx2";
  }
}

void SimdLevelTest::SetUp() {
  if (GetParam() > plat::simd::Supported()) GTEST_SKIP() << "the processor lacks this vector level";
  plat::simd::Limit(GetParam());
}

void SimdLevelTest::TearDown() { plat::simd::Limit(plat::simd::Level::kAvx2); }

}  // namespace testsupport
