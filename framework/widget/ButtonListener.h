// What a button reports to its owner; every call carries the identifier the owner gave the button.
#pragma once

namespace Kit {

class ButtonListener {
 public:
  virtual void ButtonPressCount(int id, int clickCount) {
    (void)clickCount;
    ButtonPress(id);
  }
  virtual void ButtonPress(int id) { (void)id; }
  // The click: the button was released with the pointer still over it.
  virtual void ButtonDepress(int id) { (void)id; }
  virtual void ButtonDownTick(int id) { (void)id; }
  virtual void ButtonMouseEnter(int id) { (void)id; }
  virtual void ButtonMouseLeave(int id) { (void)id; }
  virtual void ButtonMouseMove(int id, int x, int y) {
    (void)id;
    (void)x;
    (void)y;
  }

 protected:
  ~ButtonListener() = default;
};

}  // namespace Kit
