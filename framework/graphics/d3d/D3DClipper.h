// Clipping of Direct3D vertex polygons: quads and triangles to a clip rectangle, textured triangles
// to one texture piece.
#pragma once

#include "framework/graphics/Rect.h"
#include "framework/graphics/d3d/D3DVertexList.h"

namespace Kit::D3DClipper {

// The component index of D3DVertex::GetComponent.
enum Component { X = 0, Y = 1, Z = 2, TU = 3, TV = 4 };

// The part of the edge from start to end where the component is >= boundary (ClipAgainstPlane) or
// < boundary (ClipAgainstPlane2), appended to out: the crossing point when exactly one end is inside,
// then end when it is inside.
void ClipAgainstPlane(int component, float boundary, const D3DTLVERTEX& start, const D3DTLVERTEX& end,
                      D3DVertexList& out);
void ClipAgainstPlane2(int component, float boundary, const D3DTLVERTEX& start, const D3DTLVERTEX& end,
                       D3DVertexList& out);

// Cuts polygon (replaced by what is left) to x >= left, y >= top, x < right, y < bottom, in that order.
// True when more than 2 vertices are left, so that there is something to draw.
bool ClipToRect(D3DVertexList& polygon, const Rect& clip);

// Cuts polygon to one texture piece: tu >= 0, tv >= 0, tu < 1, tv < 1. True when more than 2 vertices
// are left.
bool ClipToPiece(D3DVertexList& polygon);

}  // namespace Kit::D3DClipper
