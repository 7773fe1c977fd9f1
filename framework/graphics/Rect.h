// Integer rectangle, point and insets. A rectangle covers the columns x .. x + width - 1 and the
// rows y .. y + height - 1; a width or height of 0 or less is empty.
#pragma once

#include <algorithm>

namespace Kit {

struct Point {
  constexpr Point() = default;
  constexpr Point(int x, int y) : mX(x), mY(y) {}
  constexpr bool operator==(const Point&) const = default;

  int mX = 0;
  int mY = 0;
};

struct Insets {
  constexpr Insets() = default;
  constexpr Insets(int left, int top, int right, int bottom) : mLeft(left), mTop(top), mRight(right), mBottom(bottom) {}
  constexpr bool operator==(const Insets&) const = default;

  int mLeft = 0;
  int mTop = 0;
  int mRight = 0;
  int mBottom = 0;
};

struct Rect {
  constexpr Rect() = default;
  constexpr Rect(int x, int y, int width, int height) : mX(x), mY(y), mWidth(width), mHeight(height) {}
  constexpr bool operator==(const Rect&) const = default;

  constexpr bool IsEmpty() const { return mWidth <= 0 || mHeight <= 0; }
  constexpr bool Contains(int x, int y) const { return x >= mX && y >= mY && x - mX < mWidth && y - mY < mHeight; }
  // Starts at the larger x and y and ends at the smaller right and bottom edges; an empty result has
  // its width or height clamped to 0 so that callers never see a negative size.
  constexpr Rect Intersection(const Rect& other) const {
    const long long left = std::max(mX, other.mX);
    const long long top = std::max(mY, other.mY);
    const long long right =
        std::min<long long>(static_cast<long long>(mX) + mWidth, static_cast<long long>(other.mX) + other.mWidth);
    const long long bottom =
        std::min<long long>(static_cast<long long>(mY) + mHeight, static_cast<long long>(other.mY) + other.mHeight);
    return Rect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::max(0LL, right - left)),
                static_cast<int>(std::max(0LL, bottom - top)));
  }

  int mX = 0;
  int mY = 0;
  int mWidth = 0;
  int mHeight = 0;
};

}  // namespace Kit
