// What an edit field asks before it accepts a key, a character or a new text, and what it reports when
// Enter is pressed. Everything is allowed unless an owner says otherwise.
#pragma once

#include <string>

class EditListener {
 public:
  virtual void EditTextEntered(int id, const std::string& text) {
    (void)id;
    (void)text;
  }
  virtual bool EditAllowKey(int id, int keyCode) {
    (void)id;
    (void)keyCode;
    return true;
  }
  virtual bool EditAllowChar(int id, char c) {
    (void)id;
    (void)c;
    return true;
  }
  virtual bool EditAllowText(int id, const std::string& text) {
    (void)id;
    (void)text;
    return true;
  }

 protected:
  ~EditListener() = default;
};
