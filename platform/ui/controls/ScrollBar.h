// The scroll bars that edit and list boxes draw in their own windows: arrows, a track and a thumb
// sized by the visible part; a click on an arrow scrolls a line, on the track a page, and the thumb
// can be dragged. Internal to the layer.
#pragma once

#include "platform/ui/controls/ControlCanvas.h"

namespace plat {

class ScrollBar {
 public:
  explicit ScrollBar(bool vertical) : mVertical(vertical) {}

  // Where the bar lies in its control, and its range: positions 0 .. total - page.
  void Place(const RECT& area) { mArea = area; }
  void SetRange(int total, int page, int line);
  int Position() const { return mPosition; }
  // Clamped to the range; true when it moved.
  bool SetPosition(int position);
  int Maximum() const;
  const RECT& Area() const { return mArea; }

  void Paint(ControlCanvas& canvas) const;
  // Mouse in the control's client coordinates. A press outside the bar returns false.
  bool Press(POINT point);
  // While the thumb is dragged; true when the position moved.
  bool Drag(POINT point);
  void Release() { mDragging = false; }
  bool Dragging() const { return mDragging; }

 private:
  int Length() const;     // of the bar along its direction
  int Thickness() const;  // across it
  int ArrowSize() const;
  RECT ThumbRect() const;  // in control coordinates
  int ThumbLength() const;

  bool mVertical;
  RECT mArea{};
  int mTotal = 0;
  int mPage = 1;
  int mLine = 1;
  int mPosition = 0;
  bool mDragging = false;
  int mDragOffset = 0;  // from the thumb's start to the pointer
};

}  // namespace plat
