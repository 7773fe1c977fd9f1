#include "platform/ddraw/ScanTiming.h"

#include <algorithm>

namespace plat::ddraw {

ScanTiming::ScanTiming(int visibleLines, DWORD refreshHz) : mPeriod(1'000'000 / std::max<DWORD>(refreshHz, 1)) {
  const int visible = std::max(visibleLines, 1);
  mTotalLines = visible + std::max(visible / 20, 1);
  mBlankStart = mPeriod * static_cast<std::uint64_t>(visible) / static_cast<std::uint64_t>(mTotalLines);
}

std::optional<DWORD> ScanTiming::LineAt(std::uint64_t micros) const {
  const std::uint64_t phase = micros % mPeriod;
  if (phase >= mBlankStart) return std::nullopt;
  return static_cast<DWORD>(phase * static_cast<std::uint64_t>(mTotalLines) / mPeriod);
}

std::uint64_t ScanTiming::MicrosToBlankStart(std::uint64_t micros) const {
  const std::uint64_t phase = micros % mPeriod;
  return phase < mBlankStart ? mBlankStart - phase : mPeriod - phase + mBlankStart;
}

std::uint64_t ScanTiming::MicrosToBlankEnd(std::uint64_t micros) const { return mPeriod - micros % mPeriod; }

}  // namespace plat::ddraw
