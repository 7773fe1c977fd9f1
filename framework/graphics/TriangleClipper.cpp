#include "framework/graphics/TriangleClipper.h"

namespace Kit {
namespace {

std::uint32_t LerpColor(std::uint32_t a, std::uint32_t b, float t) {
  if (a == b) return a;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = static_cast<double>((a >> shift) & 0xFF);
    const double cb = static_cast<double>((b >> shift) & 0xFF);
    const double channel = (cb - ca) * t + ca;
    // A t a rounding step outside 0..1 must not carry a channel into its neighbour.
    out |= static_cast<std::uint32_t>(channel >= 255.0 ? 255.0 : channel > 0.0 ? channel : 0.0) << shift;
  }
  return out;
}

// In double: the difference of two finite floats cannot overflow there, where in float it can
// (and turn the crossing point into NaN).
float LerpValue(float a, float b, double t) { return static_cast<float>(a + (static_cast<double>(b) - a) * t); }

SoftwareVertex Lerp(const SoftwareVertex& a, const SoftwareVertex& b, double t) {
  return {LerpValue(a.mX, b.mX, t), LerpValue(a.mY, b.mY, t), LerpValue(a.mU, b.mU, t), LerpValue(a.mV, b.mV, t),
          LerpColor(a.mColor, b.mColor, static_cast<float>(t))};
}

// Where the segment from a to b meets the boundary, 0 at a and 1 at b.
double Crossing(float a, float b, float boundary) {
  return (static_cast<double>(boundary) - a) / (static_cast<double>(b) - a);
}

// One pass: keeps inside vertices and adds the crossing point after each vertex whose edge to its
// successor crosses the boundary.
template <typename Inside, typename Cross>
void ClipPass(ClippedPolygon& polygon, Inside inside, Cross cross) {
  ClippedPolygon out;
  for (int i = 0; i < polygon.mCount; ++i) {
    const SoftwareVertex& a = polygon.mVertices[i];
    const SoftwareVertex& b = polygon.mVertices[(i + 1) % polygon.mCount];
    const bool aIn = inside(a);
    const bool bIn = inside(b);
    if (aIn) out.mVertices[out.mCount++] = a;
    if (aIn != bIn) out.mVertices[out.mCount++] = cross(a, b);
  }
  polygon = out;
  if (polygon.mCount < 3) polygon.mCount = 0;
}

}  // namespace

SoftwareVertex InterpolateAtX(const SoftwareVertex& a, const SoftwareVertex& b, float boundary) {
  return Lerp(a, b, Crossing(a.mX, b.mX, boundary));
}

SoftwareVertex InterpolateAtY(const SoftwareVertex& a, const SoftwareVertex& b, float boundary) {
  return Lerp(a, b, Crossing(a.mY, b.mY, boundary));
}

ClippedPolygon ClipTriangle(const SoftwareVertex& v0, const SoftwareVertex& v1, const SoftwareVertex& v2,
                            const ClipBounds& bounds) {
  ClippedPolygon polygon;
  polygon.mVertices[0] = v0;
  polygon.mVertices[1] = v1;
  polygon.mVertices[2] = v2;
  polygon.mCount = 3;
  const auto atX = [&](float boundary) {
    return [boundary](const SoftwareVertex& a, const SoftwareVertex& b) { return InterpolateAtX(a, b, boundary); };
  };
  const auto atY = [&](float boundary) {
    return [boundary](const SoftwareVertex& a, const SoftwareVertex& b) { return InterpolateAtY(a, b, boundary); };
  };
  ClipPass(
      polygon, [&](const SoftwareVertex& v) { return v.mX >= bounds.mLeft; }, atX(bounds.mLeft));
  ClipPass(
      polygon, [&](const SoftwareVertex& v) { return v.mX <= bounds.mRight; }, atX(bounds.mRight));
  ClipPass(
      polygon, [&](const SoftwareVertex& v) { return v.mY >= bounds.mTop; }, atY(bounds.mTop));
  ClipPass(
      polygon, [&](const SoftwareVertex& v) { return v.mY <= bounds.mBottom; }, atY(bounds.mBottom));
  return polygon;
}

}  // namespace Kit
