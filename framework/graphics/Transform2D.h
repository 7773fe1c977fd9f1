// An affine transform built up call by call. Each call multiplies its matrix on the left, so the
// operation called last is the one applied last to a point.
#pragma once

#include "framework/graphics/Matrix3.h"

namespace Kit {

class Transform2D : public Matrix3 {
 public:
  void Translate(float tx, float ty);
  // +sin above the diagonal: with the screen's y axis pointing down, a positive angle turns
  // anticlockwise on screen.
  void Rotate(float angle);
  void Scale(float sx, float sy);

 private:
  void Apply(const Matrix3& step);
};

}  // namespace Kit
