#include "framework/graphics/Transform2D.h"

#include <cmath>

namespace Kit {

void Transform2D::Apply(const Matrix3& step) { static_cast<Matrix3&>(*this) = step.Multiply(*this); }

void Transform2D::Translate(float tx, float ty) {
  Matrix3 step;
  step.m[0][2] = tx;
  step.m[1][2] = ty;
  Apply(step);
}

void Transform2D::Rotate(float angle) {
  Matrix3 step;
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  step.m[0][0] = c;
  step.m[0][1] = s;
  step.m[1][0] = -s;
  step.m[1][1] = c;
  Apply(step);
}

void Transform2D::Scale(float sx, float sy) {
  Matrix3 step;
  step.m[0][0] = sx;
  step.m[1][1] = sy;
  Apply(step);
}

}  // namespace Kit
