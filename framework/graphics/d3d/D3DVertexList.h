// A polygon of Direct3D vertices, and what the clipper reads from and makes of one vertex.
#pragma once

#include <memory>

#include "platform/d3d/D3D.h"

namespace Kit {

namespace D3DVertex {
// 0 x, 1 y, 2 z, 3 tu, 4 tv; any other index reads 0.
float GetComponent(const D3DTLVERTEX& vertex, int component);
// x, y, tu and tv between a and b at t; z, rhw and specular from a; the colour per 8-bit channel,
// truncated (a's own when both are equal).
D3DTLVERTEX Interpolate(const D3DTLVERTEX& a, const D3DTLVERTEX& b, double t);
}  // namespace D3DVertex

// Vertices in an inline array of 100, so clipping allocates nothing in practice; beyond that the
// capacity doubles into heap storage.
class D3DVertexList {
 public:
  static constexpr int kInlineCapacity = 100;

  D3DVertexList() = default;
  D3DVertexList(const D3DVertexList&) = delete;
  D3DVertexList& operator=(const D3DVertexList&) = delete;

  void Append(const D3DTLVERTEX& vertex);
  // Raises the capacity to exactly n when it is below n.
  void Reserve(int n);
  void Clear() { mCount = 0; }

  int Count() const { return mCount; }
  int Capacity() const { return mCapacity; }
  D3DTLVERTEX* Data() { return mVertices; }
  const D3DTLVERTEX* Data() const { return mVertices; }
  D3DTLVERTEX& operator[](int i) { return mVertices[i]; }
  const D3DTLVERTEX& operator[](int i) const { return mVertices[i]; }

 private:
  D3DTLVERTEX mInline[kInlineCapacity];
  std::unique_ptr<D3DTLVERTEX[]> mHeap;
  D3DTLVERTEX* mVertices = mInline;
  int mCount = 0;
  int mCapacity = kInlineCapacity;
};

}  // namespace Kit
