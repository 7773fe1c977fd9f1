// What a list reports: a press on a line, its removal from the manager, and the hovered line moving.
#pragma once

class ListWidgetListener {
 public:
  virtual void ListLineClicked(int listId, int index, int clickCount) {
    (void)listId;
    (void)index;
    (void)clickCount;
  }
  virtual void ListRemoved(int listId) { (void)listId; }
  virtual void ListHiliteChanged(int listId, int oldIndex, int newIndex) {
    (void)listId;
    (void)oldIndex;
    (void)newIndex;
  }

 protected:
  ~ListWidgetListener() = default;
};
