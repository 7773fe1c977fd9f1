// A row copied block by block: afterwards the target equals the source whatever differed, and the
// runs name exactly the blocks of 32 pixels that differed, neighbours joined, at every vector level;
// found without the copy, the same runs.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "platform/ddraw/ChangedRuns.h"
#include "tests/support/SimdLevels.h"

namespace plat::ddraw {
void PrintTo(const ColumnRun& run, std::ostream* out) { *out << "[" << run.left << ", " << run.right << ")"; }
}  // namespace plat::ddraw

namespace {

using plat::ddraw::ColumnRun;

struct Case {
  const char* name;
  int count;                    // pixels in the row
  std::vector<int> changed;     // pixels whose value differs (their last byte)
  std::vector<ColumnRun> runs;  // for a row that starts at column 0
};

const Case kCases[] = {
    {"nothing differs", 100, {}, {}},
    {"the first pixel", 100, {0}, {{0, 32}}},
    {"the last pixel of a whole block", 64, {63}, {{32, 64}}},
    {"the last pixel of a short block", 100, {99}, {{96, 100}}},
    {"a row shorter than a block", 5, {2}, {{0, 5}}},
    {"two neighbouring blocks join", 100, {31, 32}, {{0, 64}}},
    {"blocks apart stay apart", 130, {0, 64, 129}, {{0, 32}, {64, 96}, {128, 130}}},
    {"every block", 70, {1, 40, 69}, {{0, 70}}},
    {"a single pixel row", 1, {0}, {{0, 1}}},
};

class ChangedRunsTest : public testsupport::SimdLevelTest {};

TEST_P(ChangedRunsTest, TheTargetEqualsTheSourceAndTheRunsNameTheBlocksThatDiffered) {
  for (int bytesPerPixel = 1; bytesPerPixel <= 4; ++bytesPerPixel) {
    for (const Case& c : kCases) {
      for (const int firstColumn : {0, 40}) {
        SCOPED_TRACE(testing::Message() << c.name << ", " << bytesPerPixel << " bytes a pixel, from column "
                                        << firstColumn);
        const size_t bytes = static_cast<size_t>(c.count) * bytesPerPixel;
        std::vector<BYTE> from(bytes), to(bytes + 1);
        for (size_t i = 0; i < bytes; ++i) from[i] = to[i] = static_cast<BYTE>(i * 7 + 3);
        for (int pixel : c.changed) from[static_cast<size_t>(pixel + 1) * bytesPerPixel - 1] ^= 0x80;
        to[bytes] = 0xA5;                       // the byte after the row stays as it was
        std::vector<ColumnRun> runs{{-5, -4}};  // runs are appended after what the list holds
        plat::ddraw::CopyChangedRuns(from.data(), to.data(), c.count, bytesPerPixel, firstColumn, runs);
        EXPECT_TRUE(std::equal(from.begin(), from.end(), to.begin()));
        EXPECT_EQ(to[bytes], 0xA5);
        std::vector<ColumnRun> expected{{-5, -4}};
        for (const ColumnRun& run : c.runs) expected.push_back({run.left + firstColumn, run.right + firstColumn});
        EXPECT_EQ(runs, expected);
      }
    }
  }
}

// Found without a copy: the same runs as the copy's, and the target left as it was.
TEST_P(ChangedRunsTest, TheRunsFoundWithoutACopyAreTheCopysAndTheTargetStays) {
  for (int bytesPerPixel = 1; bytesPerPixel <= 4; ++bytesPerPixel) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << bytesPerPixel << " bytes a pixel");
      const size_t bytes = static_cast<size_t>(c.count) * bytesPerPixel;
      std::vector<BYTE> from(bytes), to(bytes);
      for (size_t i = 0; i < bytes; ++i) from[i] = to[i] = static_cast<BYTE>(i * 7 + 3);
      for (int pixel : c.changed) from[static_cast<size_t>(pixel + 1) * bytesPerPixel - 1] ^= 0x80;
      const std::vector<BYTE> before = to;
      std::vector<ColumnRun> runs{{-5, -4}};
      plat::ddraw::AppendChangedRuns(from.data(), to.data(), c.count, bytesPerPixel, 40, runs);
      std::vector<ColumnRun> expected{{-5, -4}};
      for (const ColumnRun& run : c.runs) expected.push_back({run.left + 40, run.right + 40});
      EXPECT_EQ(runs, expected);
      EXPECT_EQ(to, before);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, ChangedRunsTest, testing::ValuesIn(testsupport::kSimdLevels),
                         testsupport::SimdLevelName);

}  // namespace
