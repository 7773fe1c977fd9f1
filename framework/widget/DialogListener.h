// What a dialog reports about its yes (1000) and no (1001) buttons, with the dialog's own id.
#pragma once

namespace Kit {

class DialogListener {
 public:
  virtual void DialogButtonPress(int dialogId, int buttonId) {
    (void)dialogId;
    (void)buttonId;
  }
  virtual void DialogButtonDepress(int dialogId, int buttonId) {
    (void)dialogId;
    (void)buttonId;
  }

 protected:
  ~DialogListener() = default;
};

}  // namespace Kit
