// A node of the widget tree: an ordered list of child widgets (first = bottom-most, last = top-most),
// the dirty-marking rules, and the update, draw and hit-test walks that carry the widget flags down.
// The container does not own its children.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "framework/graphics/Rect.h"
#include "framework/widget/WidgetFlags.h"

namespace Kit {

class Graphics;
class Widget;
class WidgetManager;

class WidgetContainer {
 public:
  WidgetContainer();
  WidgetContainer(const WidgetContainer&) = delete;
  WidgetContainer& operator=(const WidgetContainer&) = delete;
  virtual ~WidgetContainer();

  virtual Rect GetRect();
  virtual bool Intersects(WidgetContainer* other);
  virtual void MarkDirtyChild(WidgetContainer* child);
  virtual void MarkDirty();
  virtual void MarkDirtyFullChild(WidgetContainer* child);
  virtual void MarkDirtyFull();
  virtual void AddedToManager(WidgetManager* manager);
  virtual void RemovedFromManager(WidgetManager* manager);
  virtual void Update();
  virtual void UpdateAll(ModalFlags& flags);
  virtual void UpdateF(float frac);
  virtual void UpdateFAll(ModalFlags& flags, float frac);
  virtual void Draw(Graphics* g);
  virtual void DrawAll(ModalFlags& flags, Graphics* g);

  void AddWidget(Widget* widget);
  void RemoveWidget(Widget* widget);
  void RemoveAllWidgets(bool doDelete, bool recursive);
  // Moves widget directly above reference, or to the very top when reference is not a child.
  void PutInFront(Widget* widget, Widget* reference);
  // True when a depth-first walk in drawing order meets a before b.
  bool IsBelow(Widget* a, Widget* b);
  void MarkAllDirty();
  Point GetAbsPos();
  Widget* GetWidgetAtHelper(int x, int y, std::uint32_t flags, bool* found, int* localX, int* localY);
  bool HasChild(const Widget* widget) const;

  std::list<Widget*> mChildren;
  WidgetManager* mManager = nullptr;
  WidgetContainer* mParent = nullptr;
  // The child each running update walk stands on. Walks may nest (a modal wait inside an update), so
  // every running walk has its own cursor, and removing or moving a child moves each cursor on.
  struct ChildWalk {
    std::list<Widget*>::iterator mWalkCursor;
    bool mWalkCursorMoved = false;
  };
  std::vector<ChildWalk*> mRunningWalks;
  std::uint32_t mLastManagerCount = 0;
  int mUpdateCount = 0;
  bool mDirty = false;
  int mX = 0;
  int mY = 0;
  int mWidth = 0;
  int mHeight = 0;
  bool mHasAlpha = false;
  bool mClip = true;
  FlagsModifier mFlagsModifier;
  int mPriority = 0;

 private:
  // Takes the child out of the list, moving every walk cursor that stood on it to the next child.
  void Unlink(std::list<Widget*>::iterator it);
  bool IsBelowHelper(Widget* a, Widget* b, bool* found);
};

}  // namespace Kit
