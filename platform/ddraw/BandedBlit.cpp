#include "platform/ddraw/BandedBlit.h"

#include <algorithm>

namespace plat::ddraw {
namespace {

// A few rows at a time: one call per row costs more than the rows' cache misses save.
constexpr LONG kBandRows = 8;

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
      mNext(clip.top) {
  mRowEnds.reserve(static_cast<size_t>(std::max<LONG>(clip.bottom - clip.top, 0)));
}

void BandedBlit::Through(LONG row) {
  const LONG end = std::min(mClip.bottom, std::max(row, mNext + kBandRows));
  if (row <= mNext || end <= mNext) return;
  CopyRows(mNext, end);
  mNext = end;
}

void BandedBlit::CopyRows(LONG top, LONG bottom) {
  if (!mPlainCopy) {
    RECT band = mClip;
    band.top = top;
    band.bottom = bottom;
    BlitPixels(mTarget, mTargetRect, band, mSource, mSourceRect, mKey);
    for (LONG y = top; y < bottom; ++y) {
      mRuns.push_back(ColumnRun{mClip.left, mClip.right});
      mRowEnds.push_back(mRuns.size());
    }
    return;
  }
  const int bytesPerPixel = mTarget.bytesPerPixel;
  const LONG sourceLeft = mSourceRect.left + (mClip.left - mTargetRect.left);
  for (LONG y = top; y < bottom; ++y) {
    const LONG sourceRow = mSourceRect.top + (y - mTargetRect.top);
    const BYTE* from = mSource.pixels + static_cast<std::ptrdiff_t>(sourceRow) * mSource.pitch +
                       static_cast<std::ptrdiff_t>(sourceLeft) * bytesPerPixel;
    BYTE* to = mTarget.pixels + static_cast<std::ptrdiff_t>(y) * mTarget.pitch +
               static_cast<std::ptrdiff_t>(mClip.left) * bytesPerPixel;
    CopyChangedRuns(from, to, mClip.right - mClip.left, bytesPerPixel, mClip.left, mRuns);
    mRowEnds.push_back(mRuns.size());
  }
}

std::span<const ColumnRun> BandedBlit::ChangedColumns(LONG row) const {
  if (row < mClip.top || row >= mNext) return {};
  const size_t index = static_cast<size_t>(row - mClip.top);
  const size_t begin = index ? mRowEnds[index - 1] : 0;
  return std::span<const ColumnRun>(mRuns).subspan(begin, mRowEnds[index] - begin);
}

}  // namespace plat::ddraw
