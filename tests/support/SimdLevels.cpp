#include "tests/support/SimdLevels.h"

namespace plat::simd {

void PrintTo(Level level, std::ostream* out) {
  *out << (level == Level::kScalar ? "Scalar" : level == Level::kSse2 ? "Sse2" : "Avx2");
}

}  // namespace plat::simd

namespace testsupport {

std::string SimdLevelName(const testing::TestParamInfo<plat::simd::Level>& info) {
  return testing::PrintToString(info.param);
}

void SimdLevelTest::SetUp() {
  if (GetParam() > plat::simd::Supported()) GTEST_SKIP() << "the processor lacks this vector level";
  plat::simd::Limit(GetParam());
}

void SimdLevelTest::TearDown() { plat::simd::Limit(plat::simd::Level::kAvx2); }

}  // namespace testsupport
