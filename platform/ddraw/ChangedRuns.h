// Copies a row of pixels over another and learns on the way which columns changed: the rows are
// compared a block of 32 pixels at a time and only the blocks that differ are written. A present that
// knows them widens only those pixels into the window, which already shows the rest.
#pragma once

#include <vector>

#include "platform/win/Types.h"

namespace plat::ddraw {

// Pixel columns [left, right) of a row.
struct ColumnRun {
  LONG left = 0;
  LONG right = 0;
  bool operator==(const ColumnRun&) const = default;
};

// Makes `count` pixels of `to` equal to those of `from` (pixels of 1 to 4 bytes; the rows do not
// overlap) and appends to `runs` the columns it wrote, numbered from `firstColumn`: whole blocks of
// 32 pixels from the row's start (the last one shorter), adjacent blocks joined into one run.
void CopyChangedRuns(const BYTE* from, BYTE* to, int count, int bytesPerPixel, LONG firstColumn,
                     std::vector<ColumnRun>& runs);

// Appends to `runs` the columns CopyChangedRuns would write (the blocks that differ), without writing
// any.
void AppendChangedRuns(const BYTE* from, const BYTE* to, int count, int bytesPerPixel, LONG firstColumn,
                       std::vector<ColumnRun>& runs);

}  // namespace plat::ddraw
