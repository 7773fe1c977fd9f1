#include "platform/ddraw/BandedBlit.h"

#include <algorithm>
#include <cstring>

#include "platform/ddraw/FrameRows.h"

namespace plat::ddraw {
namespace {

// The rows written at a time: one call per row costs more than the rows' cache misses save.
constexpr LONG kBandRows = 8;
// Rows copied whole are written two at a time, so that they go on into the window while they are
// still in the first-level cache.
constexpr LONG kWholeRows = 2;

}  // namespace

BandedBlit::BandedBlit(const PixelView& target, const RECT& targetRect, const RECT& clip, const PixelView& source,
                       const RECT& sourceRect, const SourceKey* key)
    : mTarget(target),
      mTargetRect(targetRect),
      mClip(clip),
      mSource(source),
      mSourceRect(sourceRect),
      mKey(key),
      mPlainCopy(!key && targetRect.right - targetRect.left == sourceRect.right - sourceRect.left &&
                 targetRect.bottom - targetRect.top == sourceRect.bottom - sourceRect.top),
      mNext(clip.top),
      mBandEnd(clip.top) {
  mRowEnds.reserve(static_cast<size_t>(std::max<LONG>(clip.bottom - clip.top, 0)));
}

void BandedBlit::Through(LONG row) {
  row = std::min(row, mClip.bottom);
  while (mNext < row) {
    if (!mPlainCopy) {
      const LONG end = std::min(mClip.bottom, std::max(row, mNext + kBandRows));
      BlitRows(mNext, end);
      mNext = end;
    } else if (mNext == mBandEnd) {
      // A new band: its first row, compared and copied, says how the others are copied.
      mBandEnd = std::min(mClip.bottom, mNext + kBandRows);
      const size_t firstRun = mRuns.size();
      CopyChanged(mNext, mNext + 1);
      LONG changed = 0;
      for (size_t i = firstRun; i < mRuns.size(); ++i) changed += mRuns[i].right - mRuns[i].left;
      mWholeBand = 4 * changed >= 3 * (mClip.right - mClip.left);
      ++mNext;
    } else if (mWholeBand) {
      const LONG end = std::min(mBandEnd, std::max(row, mNext + kWholeRows));
      CopyWhole(mNext, end);
      mNext = end;
    } else {
      CopyChanged(mNext, mBandEnd);
      mNext = mBandEnd;
    }
  }
}

void BandedBlit::BlitRows(LONG top, LONG bottom) {
  RECT band = mClip;
  band.top = top;
  band.bottom = bottom;
  BlitPixels(mTarget, mTargetRect, band, mSource, mSourceRect, mKey);
  for (LONG y = top; y < bottom; ++y) {
    mRuns.push_back(ColumnRun{mClip.left, mClip.right});
    mRowEnds.push_back(mRuns.size());
  }
}

const BYTE* BandedBlit::SourceRow(LONG row) const {
  const LONG sourceRow = mSourceRect.top + (row - mTargetRect.top);
  const LONG sourceLeft = mSourceRect.left + (mClip.left - mTargetRect.left);
  return mSource.pixels + static_cast<std::ptrdiff_t>(sourceRow) * mSource.pitch +
         static_cast<std::ptrdiff_t>(sourceLeft) * mSource.bytesPerPixel;
}

BYTE* BandedBlit::TargetRow(LONG row) const {
  return mTarget.pixels + static_cast<std::ptrdiff_t>(row) * mTarget.pitch +
         static_cast<std::ptrdiff_t>(mClip.left) * mTarget.bytesPerPixel;
}

std::uint32_t* BandedBlit::OpaqueRow(LONG row) const {
  if (!mOpaque || mTarget.bytesPerPixel != 4 || row < mOpaque->area.top || row >= mOpaque->area.bottom ||
      mClip.left < mOpaque->area.left || mOpaque->area.right < mClip.right)
    return nullptr;
  return reinterpret_cast<std::uint32_t*>(mOpaque->origin +
                                          static_cast<std::ptrdiff_t>(row - mOpaque->area.top) * mOpaque->pitch +
                                          static_cast<std::ptrdiff_t>(mClip.left - mOpaque->area.left) * 4);
}

void BandedBlit::CopyChanged(LONG top, LONG bottom) {
  const LONG width = mClip.right - mClip.left;
  for (LONG y = top; y < bottom; ++y) {
    if (std::uint32_t* opaque = OpaqueRow(y)) {
      // Compared first; then each run of blocks that differ is stored into the primary and, made opaque,
      // into the window from the same loads, so the row is compared once and its runs read once more.
      const size_t firstRun = mRuns.size();
      AppendChangedRuns(SourceRow(y), TargetRow(y), width, 4, mClip.left, mRuns);
      for (size_t i = firstRun; i < mRuns.size(); ++i) {
        const std::ptrdiff_t column = mRuns[i].left - mClip.left;
        CopyOpaqueRow(SourceRow(y) + column * 4, TargetRow(y) + column * 4, opaque + column,
                      mRuns[i].right - mRuns[i].left);
      }
      mWroteOpaque[static_cast<size_t>(y - mClip.top)] = true;
    } else {
      CopyChangedRuns(SourceRow(y), TargetRow(y), width, mTarget.bytesPerPixel, mClip.left, mRuns);
    }
    mRowEnds.push_back(mRuns.size());
  }
}

void BandedBlit::CopyWhole(LONG top, LONG bottom) {
  const size_t bytes = static_cast<size_t>(mClip.right - mClip.left) * mTarget.bytesPerPixel;
  for (LONG y = top; y < bottom; ++y) {
    // A row the window takes: its one read is stored into the primary and, made opaque, into the
    // window, instead of the present reading the primary row again.
    if (std::uint32_t* opaque = OpaqueRow(y)) {
      CopyOpaqueRow(SourceRow(y), TargetRow(y), opaque, mClip.right - mClip.left);
      mWroteOpaque[static_cast<size_t>(y - mClip.top)] = true;
    } else {
      std::memcpy(TargetRow(y), SourceRow(y), bytes);
    }
    mRuns.push_back(ColumnRun{mClip.left, mClip.right});
    mRowEnds.push_back(mRuns.size());
  }
}

void BandedBlit::AlsoOpaqueInto(std::optional<OpaqueRows> rows) {
  mOpaque = rows;
  if (rows) mWroteOpaque.resize(static_cast<size_t>(std::max<LONG>(mClip.bottom - mClip.top, 0)));
}

bool BandedBlit::WroteOpaque(LONG row) const {
  const size_t index = static_cast<size_t>(row - mClip.top);
  return row >= mClip.top && index < mWroteOpaque.size() && mWroteOpaque[index];
}

std::span<const ColumnRun> BandedBlit::ChangedColumns(LONG row) const {
  if (row < mClip.top || row >= mNext) return {};
  const size_t index = static_cast<size_t>(row - mClip.top);
  const size_t begin = index ? mRowEnds[index - 1] : 0;
  return std::span<const ColumnRun>(mRuns).subspan(begin, mRowEnds[index] - begin);
}

}  // namespace plat::ddraw
