// What a scroll bar reports: its new value, the first visible position.
#pragma once

namespace Kit {

class ScrollListener {
 public:
  virtual void ScrollPosition(int scrollbarId, double position) {
    (void)scrollbarId;
    (void)position;
  }

 protected:
  ~ScrollListener() = default;
};

}  // namespace Kit
