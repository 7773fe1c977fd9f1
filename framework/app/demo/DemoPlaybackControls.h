// The arithmetic of the demo playback controls, apart from the keys and dialogs that use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/app/demo/DemoFile.h"

namespace Kit {

// "h:m:s", "m:s" or "s" in seconds; a field that is not a number counts as 0.
int ParseJumpTime(const std::string& text);
// The update count s seconds before the end, one second earlier still.
std::int32_t JumpTargetForTime(std::int32_t endUpdate, int seconds, int frameTime);
// The update count `millis` before the end (keys 4 to 9).
std::int32_t JumpTargetBeforeEnd(std::int32_t endUpdate, int millis, int frameTime);

struct MarkerLine {
  std::string mText;  // "name (hh:mm:ss)" with the time left at the marker
  std::int32_t mUpdateCount = 0;
};
// The markers still ahead of `updateCount`, in list order.
std::vector<MarkerLine> MarkerListLines(const std::vector<DemoMarker>& markers, std::int32_t updateCount,
                                        std::int32_t endUpdate, int frameTime);

}  // namespace Kit
