// Sutherland-Hodgman clipping of one software triangle to an inclusive pixel rectangle.
#pragma once

#include "framework/graphics/raster/SoftwareTriangle.h"

namespace Kit {

struct ClipBounds {
  float mLeft = 0;
  float mTop = 0;
  float mRight = 0;   // inclusive
  float mBottom = 0;  // inclusive
};

// Each of the four passes adds at most one vertex, so a clipped triangle never has more than 7.
inline constexpr int kMaxClippedVertices = 8;

struct ClippedPolygon {
  void Clear() { mCount = 0; }
  // A vertex past the capacity (only float rounding could make one) is dropped.
  void Append(const TriVertex& v) {
    if (mCount < kMaxClippedVertices) mVertices[mCount++] = v;
  }

  TriVertex mVertices[kMaxClippedVertices];
  int mCount = 0;
};

// The vertex on segment a-b where x (or y) equals boundary: x, y, u, v linear, colour per 8-bit
// channel truncated.
TriVertex InterpolateAtX(const TriVertex& a, const TriVertex& b, float boundary);
TriVertex InterpolateAtY(const TriVertex& a, const TriVertex& b, float boundary);

// Clips against left, right, top and bottom in that order. Fewer than 3 vertices left means that
// nothing of the triangle is drawn (the result then has mCount 0).
ClippedPolygon ClipTriangle(const TriVertex& v0, const TriVertex& v1, const TriVertex& v2, const ClipBounds& bounds);

}  // namespace Kit
