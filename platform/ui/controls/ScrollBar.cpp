#include "platform/ui/controls/ScrollBar.h"

#include <algorithm>

#include "platform/ui/controls/Controls.h"

namespace plat {

void ScrollBar::SetRange(int total, int page, int line) {
  mTotal = std::max(total, 0);
  mPage = std::max(page, 1);
  mLine = std::max(line, 1);
  SetPosition(mPosition);
}

int ScrollBar::Maximum() const { return std::max(mTotal - mPage, 0); }

bool ScrollBar::SetPosition(int position) {
  const int clamped = std::clamp(position, 0, Maximum());
  if (clamped == mPosition) return false;
  mPosition = clamped;
  return true;
}

int ScrollBar::Length() const { return mVertical ? mArea.bottom - mArea.top : mArea.right - mArea.left; }

int ScrollBar::Thickness() const { return mVertical ? mArea.right - mArea.left : mArea.bottom - mArea.top; }

int ScrollBar::ArrowSize() const { return std::min(Thickness(), Length() / 2); }

int ScrollBar::ThumbLength() const {
  const int track = Length() - 2 * ArrowSize();
  if (mTotal <= mPage || track <= 0) return 0;
  return std::clamp(static_cast<int>(static_cast<long long>(track) * mPage / mTotal), std::min(8, track), track);
}

RECT ScrollBar::ThumbRect() const {
  const int track = Length() - 2 * ArrowSize();
  const int thumb = ThumbLength();
  if (thumb == 0) return RECT{};
  const int room = track - thumb;
  const int offset =
      ArrowSize() + (Maximum() > 0 ? static_cast<int>(static_cast<long long>(room) * mPosition / Maximum()) : 0);
  if (mVertical) return RECT{mArea.left, mArea.top + offset, mArea.right, mArea.top + offset + thumb};
  return RECT{mArea.left + offset, mArea.top, mArea.left + offset + thumb, mArea.bottom};
}

namespace {

// A small filled triangle pointing up, down, left or right, centred in box.
void Arrow(ControlCanvas& canvas, const RECT& box, int direction, COLORREF color) {
  const int cx = (box.left + box.right) / 2;
  const int cy = (box.top + box.bottom) / 2;
  for (int i = 0; i < 4; ++i) {
    switch (direction) {
      case 0:  // up
        canvas.Fill(RECT{cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i}, color);
        break;
      case 1:  // down
        canvas.Fill(RECT{cx - i, cy + 1 - i, cx + i + 1, cy + 2 - i}, color);
        break;
      case 2:  // left
        canvas.Fill(RECT{cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1}, color);
        break;
      default:  // right
        canvas.Fill(RECT{cx + 1 - i, cy - i, cx + 2 - i, cy + i + 1}, color);
        break;
    }
  }
}

}  // namespace

void ScrollBar::Paint(ControlCanvas& canvas) const {
  if (Length() <= 0 || Thickness() <= 0) return;
  canvas.Fill(mArea, RGB(234, 232, 227));
  const int arrow = ArrowSize();
  const bool active = mTotal > mPage;
  const COLORREF arrowColor = active ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
  RECT first = mVertical ? RECT{mArea.left, mArea.top, mArea.right, mArea.top + arrow}
                         : RECT{mArea.left, mArea.top, mArea.left + arrow, mArea.bottom};
  RECT second = mVertical ? RECT{mArea.left, mArea.bottom - arrow, mArea.right, mArea.bottom}
                          : RECT{mArea.right - arrow, mArea.top, mArea.right, mArea.bottom};
  for (const RECT& box : {first, second}) {
    canvas.Fill(box, GetSysColor(COLOR_BTNFACE));
    canvas.RaisedEdge(box, false);
  }
  Arrow(canvas, first, mVertical ? 0 : 2, arrowColor);
  Arrow(canvas, second, mVertical ? 1 : 3, arrowColor);
  const RECT thumb = ThumbRect();
  if (thumb.right > thumb.left && thumb.bottom > thumb.top) {
    canvas.Fill(thumb, GetSysColor(COLOR_BTNFACE));
    canvas.RaisedEdge(thumb, false);
  }
}

bool ScrollBar::Press(POINT point) {
  if (!PtInRect(&mArea, point)) return false;
  const int along = mVertical ? point.y - mArea.top : point.x - mArea.left;
  const int arrow = ArrowSize();
  if (along < arrow) {
    SetPosition(mPosition - mLine);
  } else if (along >= Length() - arrow) {
    SetPosition(mPosition + mLine);
  } else {
    const RECT thumb = ThumbRect();
    const int thumbStart = mVertical ? thumb.top - mArea.top : thumb.left - mArea.left;
    const int thumbEnd = thumbStart + ThumbLength();
    if (ThumbLength() > 0 && along >= thumbStart && along < thumbEnd) {
      mDragging = true;
      mDragOffset = along - thumbStart;
    } else if (along < thumbStart) {
      SetPosition(mPosition - mPage);
    } else {
      SetPosition(mPosition + mPage);
    }
  }
  return true;
}

bool ScrollBar::Drag(POINT point) {
  if (!mDragging) return false;
  const int along = (mVertical ? point.y - mArea.top : point.x - mArea.left) - mDragOffset - ArrowSize();
  const int room = Length() - 2 * ArrowSize() - ThumbLength();
  if (room <= 0) return false;
  return SetPosition(static_cast<int>((static_cast<long long>(along) * Maximum() + room / 2) / room));
}

}  // namespace plat
