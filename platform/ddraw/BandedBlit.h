// A blit onto the shown primary, written in bands of rows as the present asks for them, so that each
// band goes on into the window while it is still in the cache. A plain copy (same size, no colour key)
// writes only the blocks of pixels that differ from what the primary holds and remembers their columns,
// which costs a read of the primary besides the copy: so each band's first row is compared, and when
// most of it differs, as in a frame that changed nearly everywhere, the band's other rows are copied
// plainly, every column of them taken as changed. When the present asks for a 32-bit frame's rows, what
// a row writes into the primary goes made opaque into the window's rows too, from the same loads. Any
// other blit changes every column of its clip.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/ddraw/Blitter.h"
#include "platform/ddraw/ChangedRuns.h"
#include "platform/ddraw/Presenter.h"

namespace plat::ddraw {

class BandedBlit final : public RowFeed {
 public:
  // As BlitPixels; the rectangles and views stay valid while the blit lives, and source and target
  // are different memory.
  BandedBlit(const PixelView& target, const RECT& targetRect, const RECT& clip, const PixelView& source,
             const RECT& sourceRect, const SourceKey* key);

  void Through(LONG row) override;
  std::span<const ColumnRun> ChangedColumns(LONG row) const override;
  void AlsoOpaqueInto(std::optional<OpaqueRows> rows) override;
  [[nodiscard]] bool WroteOpaque(LONG row) const override;

 private:
  // Writes rows top up to bottom of the clip: any blit but a plain copy.
  void BlitRows(LONG top, LONG bottom);
  // Writes rows of a plain copy: only the blocks that differ, or all of them.
  void CopyChanged(LONG top, LONG bottom);
  void CopyWhole(LONG top, LONG bottom);
  // Where a row of the clip starts in the source and the target.
  const BYTE* SourceRow(LONG row) const;
  BYTE* TargetRow(LONG row) const;
  // Where the row's clip goes made opaque too: inside the OpaqueRows given, a 32-bit frame's; else null.
  std::uint32_t* OpaqueRow(LONG row) const;

  PixelView mTarget;
  RECT mTargetRect;
  RECT mClip;
  PixelView mSource;
  RECT mSourceRect;
  const SourceKey* mKey;
  bool mPlainCopy;
  LONG mNext;
  // The band of rows being written (a plain copy's), up to mBandEnd, and whether its rows are copied
  // whole.
  LONG mBandEnd;
  bool mWholeBand = false;
  std::vector<ColumnRun> mRuns;
  // For each row written, from the clip's top: the end of its runs in mRuns (a row's runs start where
  // the row above ends them).
  std::vector<size_t> mRowEnds;
  // Where rows copied whole go made opaque too, and which rows (from the clip's top) went there.
  std::optional<OpaqueRows> mOpaque;
  std::vector<bool> mWroteOpaque;
};

}  // namespace plat::ddraw
