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
      // A new band: its first row, compared, says how the others are copied. Rows that go on into the
      // window too are compared before they are copied, so that a first row changed whole is copied
      // whole as well, in one pass with the window's (a tenth of a 32-bit present on an AMD Zen 3).
      mBandEnd = std::min(mClip.bottom, mNext + kBandRows);
      const LONG width = mClip.right - mClip.left;
      if (mOpaque) {
        mWholeBand =
            4 * CountChangedPixels(SourceRow(mNext), TargetRow(mNext), width, mTarget.bytesPerPixel) >= 3 * width;
        if (mWholeBand)
          CopyWhole(mNext, mNext + 1);
        else
          CopyChanged(mNext, mNext + 1);
      } else {
        const size_t firstRun = mRuns.size();
        CopyChanged(mNext, mNext + 1);
        LONG changed = 0;
        for (size_t i = firstRun; i < mRuns.size(); ++i) changed += mRuns[i].right - mRuns[i].left;
        mWholeBand = 4 * changed >= 3 * width;
      }
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

void BandedBlit::CopyChanged(LONG top, LONG bottom) {
  for (LONG y = top; y < bottom; ++y) {
    CopyChangedRuns(SourceRow(y), TargetRow(y), mClip.right - mClip.left, mTarget.bytesPerPixel, mClip.left, mRuns);
    mRowEnds.push_back(mRuns.size());
  }
}

void BandedBlit::CopyWhole(LONG top, LONG bottom) {
  const size_t bytes = static_cast<size_t>(mClip.right - mClip.left) * mTarget.bytesPerPixel;
  // Rows the window takes whole: each row's one read is stored into the primary and, made opaque, into
  // the window, instead of the present reading the primary row again.
  const bool opaque =
      mOpaque && mTarget.bytesPerPixel == 4 && mOpaque->area.left <= mClip.left && mClip.right <= mOpaque->area.right;
  for (LONG y = top; y < bottom; ++y) {
    if (opaque && mOpaque->area.top <= y && y < mOpaque->area.bottom) {
      CopyOpaqueRow(SourceRow(y), TargetRow(y),
                    reinterpret_cast<std::uint32_t*>(
                        mOpaque->origin + static_cast<std::ptrdiff_t>(y - mOpaque->area.top) * mOpaque->pitch +
                        static_cast<std::ptrdiff_t>(mClip.left - mOpaque->area.left) * 4),
                    mClip.right - mClip.left);
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
