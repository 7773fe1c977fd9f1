// Sutherland-Hodgman clipping: a convex polygon is cut against one axis-aligned boundary at a time.
// The software triangle rasteriser and the Direct3D path share these steps over their own vertex types.
#pragma once

#include <cstdint>

namespace Kit {

// Where the segment from a to b meets the boundary, 0 at a and 1 at b. In double: the difference of
// two finite floats cannot overflow there, where in float it can (and turn the crossing into NaN).
inline double Crossing(float a, float b, float boundary) {
  return (static_cast<double>(boundary) - a) / (static_cast<double>(b) - a);
}

inline float LerpValue(float a, float b, double t) { return static_cast<float>(a + (static_cast<double>(b) - a) * t); }

// a when both are equal, otherwise each 8-bit channel (cb - ca) x t + ca truncated toward zero. A t a
// rounding step outside 0..1 is held to the channel's range, so it never carries into its neighbour.
std::uint32_t LerpChannels(std::uint32_t a, std::uint32_t b, double t);

// One edge from start to end: appends the point where the edge crosses the boundary (made by
// cross(start, end)) when exactly one end is inside, then end when it is inside.
template <typename Vertex, typename Inside, typename Cross, typename Polygon>
void ClipEdge(const Vertex& start, const Vertex& end, Inside inside, Cross cross, Polygon& out) {
  const bool startInside = inside(start);
  const bool endInside = inside(end);
  if (startInside != endInside) out.Append(cross(start, end));
  if (endInside) out.Append(end);
}

// One boundary over the whole polygon of count vertices into out (emptied first): the closing edge
// (last to first) first, then each edge in order, so a polygon wholly inside comes out unchanged. A
// polygon of fewer than 2 vertices gives nothing.
template <typename Vertex, typename Inside, typename Cross, typename Polygon>
void ClipPolygonPass(const Vertex* vertices, int count, Inside inside, Cross cross, Polygon& out) {
  out.Clear();
  if (count < 2) return;
  ClipEdge(vertices[count - 1], vertices[0], inside, cross, out);
  for (int i = 0; i + 1 < count; ++i) ClipEdge(vertices[i], vertices[i + 1], inside, cross, out);
}

}  // namespace Kit
