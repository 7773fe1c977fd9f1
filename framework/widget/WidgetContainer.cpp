#include "framework/widget/WidgetContainer.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

namespace {

// Marks the root's visible children from `first` to the top of the order that overlap `child`.
void MarkDirtyOverlapping(WidgetContainer& root, std::list<Widget*>::iterator first, WidgetContainer* child) {
  for (auto it = first; it != root.mChildren.end(); ++it) {
    Widget* above = *it;
    if (above->mVisible && above->Intersects(child)) root.MarkDirtyChild(above);
  }
}

// A container's flag modifier applied to both flag sets for the walk through it, both put back after.
class ModifiedFlags {
 public:
  ModifiedFlags(ModalFlags& flags, const FlagsModifier& modifier)
      : mFlags(flags), mOverFlags(flags.mOverFlags), mUnderFlags(flags.mUnderFlags) {
    flags.mOverFlags = modifier.Apply(flags.mOverFlags);
    flags.mUnderFlags = modifier.Apply(flags.mUnderFlags);
  }
  ~ModifiedFlags() {
    mFlags.mOverFlags = mOverFlags;
    mFlags.mUnderFlags = mUnderFlags;
  }
  ModifiedFlags(const ModifiedFlags&) = delete;
  ModifiedFlags& operator=(const ModifiedFlags&) = delete;

 private:
  ModalFlags& mFlags;
  const std::uint32_t mOverFlags;
  const std::uint32_t mUnderFlags;
};

// Hands every child, in order, to `update`, which may remove or move children (and may nest walks of its
// own, in a modal wait): the walk's cursor is registered with the container, whose Unlink moves it on.
// From the base modal widget on, the children are over it.
template <typename Update>
void UpdateChildren(WidgetContainer& container, ModalFlags& flags, Update update) {
  WidgetContainer::ChildWalk walk;
  walk.mWalkCursor = container.mChildren.begin();
  container.mRunningWalks.push_back(&walk);
  while (walk.mWalkCursor != container.mChildren.end()) {
    walk.mWalkCursorMoved = false;
    Widget* child = *walk.mWalkCursor;
    if (container.mManager != nullptr && child == container.mManager->mBaseModalWidget) flags.mIsOver = true;
    update(child);
    if (!walk.mWalkCursorMoved) ++walk.mWalkCursor;
  }
  std::erase(container.mRunningWalks, &walk);
}

}  // namespace

WidgetContainer::WidgetContainer() = default;

WidgetContainer::~WidgetContainer() {
  // Children outlive their container only detached.
  for (Widget* child : mChildren) child->mParent = nullptr;
}

Rect WidgetContainer::GetRect() { return Rect(mX, mY, mWidth, mHeight); }

bool WidgetContainer::Intersects(WidgetContainer* other) {
  const Rect mine = GetRect();
  const Rect theirs = other->GetRect();
  return theirs.mX + theirs.mWidth > mine.mX && theirs.mY + theirs.mHeight > mine.mY &&
         theirs.mX < mine.mX + mine.mWidth && theirs.mY < mine.mY + mine.mHeight;
}

bool WidgetContainer::HasChild(const Widget* widget) const {
  return std::find(mChildren.begin(), mChildren.end(), widget) != mChildren.end();
}

void WidgetContainer::MarkDirtyChild(WidgetContainer* child) {
  if (child->mDirty) return;
  MarkDirty();
  child->mDirty = true;
  // Only the root spreads marks sideways: the manager redraws whole top-level widgets.
  if (mParent != nullptr) return;
  if (child->mHasAlpha) {
    MarkDirtyFullChild(child);
    return;
  }
  auto it = std::find(mChildren.begin(), mChildren.end(), child);
  if (it == mChildren.end()) return;
  MarkDirtyOverlapping(*this, std::next(it), child);
}

void WidgetContainer::MarkDirty() {
  if (mParent != nullptr)
    mParent->MarkDirtyChild(this);
  else
    mDirty = true;
}

void WidgetContainer::MarkDirtyFullChild(WidgetContainer* child) {
  MarkDirtyFull();
  child->mDirty = true;
  if (mParent != nullptr) return;
  auto childIt = std::find(mChildren.begin(), mChildren.end(), child);
  if (childIt == mChildren.end()) return;

  const Rect onScreen = child->GetRect().Intersection(Rect(0, 0, mWidth, mHeight));
  const Rect area = onScreen.IsEmpty() ? Rect() : onScreen;
  for (auto it = std::make_reverse_iterator(childIt); it != mChildren.rend(); ++it) {
    Widget* below = *it;
    if (!below->mVisible) continue;
    if (!below->mTransparent && !below->mHasAlpha && below->Contains(area.mX, area.mY) &&
        below->Contains(area.mX + area.mWidth - 1, area.mY + area.mHeight - 1)) {
      // It covers the whole area: nothing further down can show through.
      below->MarkDirty();
      break;
    }
    if (below->Intersects(child)) MarkDirtyChild(below);
  }
  MarkDirtyOverlapping(*this, childIt, child);
}

void WidgetContainer::MarkDirtyFull() {
  if (mParent != nullptr)
    mParent->MarkDirtyFullChild(this);
  else
    mDirty = true;
}

void WidgetContainer::AddedToManager(WidgetManager* manager) {
  const std::vector<Widget*> children(mChildren.begin(), mChildren.end());
  for (Widget* child : children) {
    child->mManager = manager;
    child->AddedToManager(manager);
    MarkDirty();
  }
}

void WidgetContainer::RemovedFromManager(WidgetManager* manager) {
  const std::vector<Widget*> children(mChildren.begin(), mChildren.end());
  for (Widget* child : children) {
    manager->DisableWidget(child);
    manager->ForgetWidget(child);
    child->RemovedFromManager(manager);
    child->mManager = nullptr;
  }
  if (manager->mPopupCommandWidget != nullptr && static_cast<WidgetContainer*>(manager->mPopupCommandWidget) == this)
    manager->mPopupCommandWidget = nullptr;
}

void WidgetContainer::Update() { ++mUpdateCount; }

void WidgetContainer::UpdateAll(ModalFlags& flags) {
  const ModifiedFlags modified(flags, mFlagsModifier);
  if (flags.GetFlags() & WIDGETFLAGS_MARK_DIRTY) MarkDirty();
  if (mManager == nullptr) return;
  if ((flags.GetFlags() & WIDGETFLAGS_UPDATE) &&
      mLastManagerCount != static_cast<std::uint32_t>(mManager->mUpdateCount)) {
    mLastManagerCount = static_cast<std::uint32_t>(mManager->mUpdateCount);
    Update();
  }

  UpdateChildren(*this, flags, [&flags](Widget* child) { child->UpdateAll(flags); });
}

void WidgetContainer::UpdateF(float) {}

void WidgetContainer::UpdateFAll(ModalFlags& flags, float frac) {
  const ModifiedFlags modified(flags, mFlagsModifier);
  if (flags.GetFlags() & WIDGETFLAGS_UPDATE) UpdateF(frac);

  UpdateChildren(*this, flags, [&flags, frac](Widget* child) { child->UpdateFAll(flags, frac); });
}

void WidgetContainer::Draw(Graphics*) {}

void WidgetContainer::DrawAll(ModalFlags& flags, Graphics* g) {
  if (mManager != nullptr && mPriority > mManager->mMinDeferredPriority)
    mManager->FlushDeferredOverlayWidgets(mPriority);

  const ModifiedFlags modified(flags, mFlagsModifier);
  if (mClip && (flags.GetFlags() & WIDGETFLAGS_CLIP)) g->ClipRect(0, 0, mWidth, mHeight);

  if (mChildren.empty()) {
    if (flags.GetFlags() & WIDGETFLAGS_DRAW) Draw(g);
  } else {
    if (flags.GetFlags() & WIDGETFLAGS_DRAW) {
      // The children start from the state as it was before Draw.
      g->PushState();
      Draw(g);
      g->PopState();
    }
    for (Widget* child : mChildren) {
      if (!child->mVisible) continue;
      if (mManager != nullptr && child == mManager->mBaseModalWidget) flags.mIsOver = true;
      Graphics childGraphics(*g);
      childGraphics.Translate(child->mX, child->mY);
      child->DrawAll(flags, &childGraphics);
      child->mDirty = false;
    }
  }
}

void WidgetContainer::AddWidget(Widget* widget) {
  if (widget == nullptr || HasChild(widget)) return;
  mChildren.push_back(widget);
  widget->mManager = mManager;
  widget->mParent = this;
  if (mManager != nullptr) {
    widget->AddedToManager(mManager);
    widget->MarkDirtyFull();
    mManager->RehupMouse();
  }
  MarkDirty();
}

void WidgetContainer::Unlink(std::list<Widget*>::iterator it) {
  for (ChildWalk* walk : mRunningWalks) {
    if (walk->mWalkCursor == it) {
      ++walk->mWalkCursor;
      walk->mWalkCursorMoved = true;
    }
  }
  mChildren.erase(it);
}

void WidgetContainer::RemoveWidget(Widget* widget) {
  if (widget == nullptr || !HasChild(widget)) return;
  if (mManager != nullptr) {
    WidgetManager* manager = mManager;
    manager->DisableWidget(widget);
    manager->ForgetWidget(widget);
    widget->RemovedFromManager(manager);
    MarkDirtyFullChild(widget);
  }
  widget->mManager = nullptr;
  widget->mParent = nullptr;
  // The removal callbacks may already have taken it out.
  auto it = std::find(mChildren.begin(), mChildren.end(), widget);
  if (it != mChildren.end()) Unlink(it);
}

void WidgetContainer::RemoveAllWidgets(bool doDelete, bool recursive) {
  while (!mChildren.empty()) {
    Widget* child = mChildren.front();
    RemoveWidget(child);
    // A child whose removal callback refused to leave would make this loop endless.
    if (!mChildren.empty() && mChildren.front() == child) Unlink(mChildren.begin());
    if (recursive) child->RemoveAllWidgets(doDelete, recursive);
    if (doDelete) delete child;
  }
}

void WidgetContainer::PutInFront(Widget* widget, Widget* reference) {
  if (widget == nullptr) return;
  auto it = std::find(mChildren.begin(), mChildren.end(), widget);
  if (it == mChildren.end()) return;
  Unlink(it);
  auto ref = std::find(mChildren.begin(), mChildren.end(), reference);
  if (ref == mChildren.end())
    mChildren.push_back(widget);
  else
    mChildren.insert(std::next(ref), widget);
  widget->OrderInManagerChanged();
}

bool WidgetContainer::IsBelowHelper(Widget* a, Widget* b, bool* found) {
  for (Widget* child : mChildren) {
    if (child == a) {
      *found = true;
      return true;
    }
    if (child == b) {
      *found = true;
      return false;
    }
    const bool result = child->IsBelowHelper(a, b, found);
    if (*found) return result;
  }
  return false;
}

bool WidgetContainer::IsBelow(Widget* a, Widget* b) {
  bool found = false;
  return IsBelowHelper(a, b, &found);
}

static void MarkDescendantsDirty(WidgetContainer* container) {
  for (Widget* child : container->mChildren) {
    child->mDirty = true;
    MarkDescendantsDirty(child);
  }
}

void WidgetContainer::MarkAllDirty() {
  MarkDirty();
  MarkDescendantsDirty(this);
}

Point WidgetContainer::GetAbsPos() {
  if (mParent == nullptr) return Point(mX, mY);
  const Point parentPos = mParent->GetAbsPos();
  return Point(mX + parentPos.mX, mY + parentPos.mY);
}

Widget* WidgetContainer::GetWidgetAtHelper(int x, int y, std::uint32_t flags, bool* found, int* localX, int* localY) {
  flags = mFlagsModifier.Apply(flags);
  for (auto it = mChildren.rbegin(); it != mChildren.rend(); ++it) {
    Widget* child = *it;
    if ((flags & WIDGETFLAGS_ALLOW_MOUSE) && child->mVisible) {
      bool childFound = false;
      Widget* hit = child->GetWidgetAtHelper(x - child->mX, y - child->mY, flags, &childFound, localX, localY);
      if (hit != nullptr) {
        if (found) *found = true;
        return hit;
      }
      if (child->mMouseVisible && child->GetInsetRect().Contains(x, y) &&
          child->IsPointVisible(x - child->mX, y - child->mY)) {
        if (found) *found = true;
        if (localX) *localX = x - child->mX;
        if (localY) *localY = y - child->mY;
        return child;
      }
    }
    if (mManager != nullptr && child == mManager->mBaseModalWidget) flags = mManager->mBelowModalModifier.Apply(flags);
  }
  if (found) *found = false;
  return nullptr;
}

}  // namespace Kit
