#include "framework/graphics/raster/TriangleClipper.h"

#include "framework/graphics/raster/PolygonClip.h"

namespace Kit {
namespace {

TriVertex Lerp(const TriVertex& a, const TriVertex& b, double t) {
  return {LerpValue(a.mX, b.mX, t), LerpValue(a.mY, b.mY, t), LerpValue(a.mU, b.mU, t), LerpValue(a.mV, b.mV, t),
          LerpChannels(a.mColor, b.mColor, t)};
}

// One boundary; fewer than 3 vertices left empties the polygon.
template <typename Inside, typename Cross>
void ClipPass(ClippedPolygon& polygon, Inside inside, Cross cross) {
  ClippedPolygon out;
  ClipPolygonPass(polygon.mVertices, polygon.mCount, inside, cross, out);
  polygon = out;
  if (polygon.mCount < 3) polygon.mCount = 0;
}

}  // namespace

TriVertex InterpolateAtX(const TriVertex& a, const TriVertex& b, float boundary) {
  return Lerp(a, b, Crossing(a.mX, b.mX, boundary));
}

TriVertex InterpolateAtY(const TriVertex& a, const TriVertex& b, float boundary) {
  return Lerp(a, b, Crossing(a.mY, b.mY, boundary));
}

ClippedPolygon ClipTriangle(const TriVertex& v0, const TriVertex& v1, const TriVertex& v2, const ClipBounds& bounds) {
  ClippedPolygon polygon;
  polygon.mVertices[0] = v0;
  polygon.mVertices[1] = v1;
  polygon.mVertices[2] = v2;
  polygon.mCount = 3;
  const auto atX = [&](float boundary) {
    return [boundary](const TriVertex& a, const TriVertex& b) { return InterpolateAtX(a, b, boundary); };
  };
  const auto atY = [&](float boundary) {
    return [boundary](const TriVertex& a, const TriVertex& b) { return InterpolateAtY(a, b, boundary); };
  };
  ClipPass(
      polygon, [&](const TriVertex& v) { return v.mX >= bounds.mLeft; }, atX(bounds.mLeft));
  ClipPass(
      polygon, [&](const TriVertex& v) { return v.mX <= bounds.mRight; }, atX(bounds.mRight));
  ClipPass(
      polygon, [&](const TriVertex& v) { return v.mY >= bounds.mTop; }, atY(bounds.mTop));
  ClipPass(
      polygon, [&](const TriVertex& v) { return v.mY <= bounds.mBottom; }, atY(bounds.mBottom));
  return polygon;
}

}  // namespace Kit
