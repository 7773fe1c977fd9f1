#include "framework/graphics/d3d/D3DClipper.h"

#include <utility>

#include "framework/graphics/raster/PolygonClip.h"

namespace Kit::D3DClipper {
namespace {

struct Plane {
  int mComponent;
  float mBoundary;
  bool mBelow;  // inside is component < boundary rather than component >= boundary
};

auto Inside(const Plane& plane) {
  return [plane](const D3DTLVERTEX& v) {
    const float value = D3DVertex::GetComponent(v, plane.mComponent);
    return plane.mBelow ? value < plane.mBoundary : value >= plane.mBoundary;
  };
}

auto Cross(const Plane& plane) {
  return [plane](const D3DTLVERTEX& start, const D3DTLVERTEX& end) {
    const double t = Crossing(D3DVertex::GetComponent(start, plane.mComponent),
                              D3DVertex::GetComponent(end, plane.mComponent), plane.mBoundary);
    return D3DVertex::Interpolate(start, end, t);
  };
}

// Each plane in turn, the result of one the input of the next; an even number of planes leaves the
// result in polygon.
template <int N>
bool ClipToPlanes(D3DVertexList& polygon, const Plane (&planes)[N]) {
  static_assert(N % 2 == 0);
  D3DVertexList scratch;
  D3DVertexList* in = &polygon;
  D3DVertexList* out = &scratch;
  for (const Plane& plane : planes) {
    ClipPolygonPass(in->Data(), in->Count(), Inside(plane), Cross(plane), *out);
    std::swap(in, out);
  }
  return polygon.Count() > 2;
}

}  // namespace

void ClipAgainstPlane(int component, float boundary, const D3DTLVERTEX& start, const D3DTLVERTEX& end,
                      D3DVertexList& out) {
  const Plane plane{component, boundary, false};
  ClipEdge(start, end, Inside(plane), Cross(plane), out);
}

void ClipAgainstPlane2(int component, float boundary, const D3DTLVERTEX& start, const D3DTLVERTEX& end,
                       D3DVertexList& out) {
  const Plane plane{component, boundary, true};
  ClipEdge(start, end, Inside(plane), Cross(plane), out);
}

bool ClipToRect(D3DVertexList& polygon, const Rect& clip) {
  const float right = static_cast<float>(static_cast<double>(clip.mX) + clip.mWidth);
  const float bottom = static_cast<float>(static_cast<double>(clip.mY) + clip.mHeight);
  const Plane planes[] = {{X, static_cast<float>(clip.mX), false},
                          {Y, static_cast<float>(clip.mY), false},
                          {X, right, true},
                          {Y, bottom, true}};
  return ClipToPlanes(polygon, planes);
}

bool ClipToPiece(D3DVertexList& polygon) {
  const Plane planes[] = {{TU, 0.0f, false}, {TV, 0.0f, false}, {TU, 1.0f, true}, {TV, 1.0f, true}};
  return ClipToPlanes(polygon, planes);
}

}  // namespace Kit::D3DClipper
