// Where the modelled display beam is: a frame of the mode's height plus a vertical blank of a twentieth
// of it, repeated at the refresh rate on the layer's clock.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/win/Types.h"

namespace plat::ddraw {

class ScanTiming {
 public:
  ScanTiming(int visibleLines, DWORD refreshHz);

  // The line being drawn at the given time; nothing during the vertical blank.
  std::optional<DWORD> LineAt(std::uint64_t micros) const;
  // Microseconds from the given time to the next start (or end) of a vertical blank.
  std::uint64_t MicrosToBlankStart(std::uint64_t micros) const;
  std::uint64_t MicrosToBlankEnd(std::uint64_t micros) const;

 private:
  std::uint64_t mPeriod;
  int mTotalLines;
  std::uint64_t mBlankStart;  // offset of the blank within the period
};

}  // namespace plat::ddraw
