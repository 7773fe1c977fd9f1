// What a check box reports when its state changes.
#pragma once

class CheckboxListener {
 public:
  virtual void CheckboxChecked(int id, bool checked) {
    (void)id;
    (void)checked;
  }

 protected:
  ~CheckboxListener() = default;
};
