// What a slider reports: its new value (0 to 1) while it is dragged and once more on release.
#pragma once

class SliderListener {
 public:
  virtual void SliderVal(int id, double value) {
    (void)id;
    (void)value;
  }

 protected:
  ~SliderListener() = default;
};
