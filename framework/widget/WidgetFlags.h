// The widget flag word and the values that carry it down the tree during the update, draw and hit-test
// walks. A set bit permits: update, mark dirty every update, draw, clip, mouse, focus.
#pragma once

#include <cstdint>

namespace Kit {

enum WidgetFlag : std::uint32_t {
  WIDGETFLAGS_UPDATE = 1,
  WIDGETFLAGS_MARK_DIRTY = 2,
  WIDGETFLAGS_DRAW = 4,
  WIDGETFLAGS_CLIP = 8,
  WIDGETFLAGS_ALLOW_MOUSE = 16,
  WIDGETFLAGS_ALLOW_FOCUS = 32,
};

constexpr std::uint32_t kDefaultWidgetFlags =
    WIDGETFLAGS_UPDATE | WIDGETFLAGS_DRAW | WIDGETFLAGS_CLIP | WIDGETFLAGS_ALLOW_MOUSE | WIDGETFLAGS_ALLOW_FOCUS;

struct FlagsModifier {
  constexpr std::uint32_t Apply(std::uint32_t flags) const { return (flags | mAddMask) & ~mRemoveMask; }

  std::uint32_t mAddMask = 0;
  std::uint32_t mRemoveMask = 0;
};

// Widgets at or above the base-modal widget use the over flags, those below it the under flags.
struct ModalFlags {
  std::uint32_t GetFlags() const { return mIsOver ? mOverFlags : mUnderFlags; }

  std::uint32_t mOverFlags = 0;
  std::uint32_t mUnderFlags = 0;
  bool mIsOver = false;
};

}  // namespace Kit
