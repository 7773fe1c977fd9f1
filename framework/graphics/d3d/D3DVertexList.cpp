#include "framework/graphics/d3d/D3DVertexList.h"

#include <algorithm>

#include "framework/graphics/raster/PolygonClip.h"

namespace Kit {

float D3DVertex::GetComponent(const D3DTLVERTEX& vertex, int component) {
  switch (component) {
    case 0:
      return vertex.sx;
    case 1:
      return vertex.sy;
    case 2:
      return vertex.sz;
    case 3:
      return vertex.tu;
    case 4:
      return vertex.tv;
    default:
      return 0.0f;
  }
}

D3DTLVERTEX D3DVertex::Interpolate(const D3DTLVERTEX& a, const D3DTLVERTEX& b, double t) {
  D3DTLVERTEX v = a;
  v.sx = LerpValue(a.sx, b.sx, t);
  v.sy = LerpValue(a.sy, b.sy, t);
  v.tu = LerpValue(a.tu, b.tu, t);
  v.tv = LerpValue(a.tv, b.tv, t);
  v.color = LerpChannels(a.color, b.color, t);
  return v;
}

void D3DVertexList::Append(const D3DTLVERTEX& vertex) {
  if (mCount == mCapacity) Reserve(mCapacity * 2);
  mVertices[mCount++] = vertex;
}

void D3DVertexList::Reserve(int n) {
  if (mCapacity >= n) return;
  auto heap = std::make_unique<D3DTLVERTEX[]>(static_cast<std::size_t>(n));
  std::copy(mVertices, mVertices + mCount, heap.get());
  mHeap = std::move(heap);
  mVertices = mHeap.get();
  mCapacity = n;
}

}  // namespace Kit
