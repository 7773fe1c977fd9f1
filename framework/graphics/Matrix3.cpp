#include "framework/graphics/Matrix3.h"

namespace Kit {

void Matrix3::LoadIdentity() {
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) m[row][col] = row == col ? 1.0f : 0.0f;
}

Matrix3 Matrix3::Multiply(const Matrix3& other) const {
  Matrix3 result;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      double sum = 0;
      for (int k = 0; k < 3; ++k) sum += static_cast<double>(m[row][k]) * static_cast<double>(other.m[k][col]);
      result.m[row][col] = static_cast<float>(sum);
    }
  }
  return result;
}

Vector2 Matrix3::TransformPoint(float x, float y) const {
  return {m[0][0] * x + m[0][1] * y + m[0][2], m[1][0] * x + m[1][1] * y + m[1][2]};
}

Vector3 Matrix3::TransformVector(float x, float y, float z) const {
  return {m[0][0] * x + m[0][1] * y + m[0][2] * z, m[1][0] * x + m[1][1] * y + m[1][2] * z,
          m[2][0] * x + m[2][1] * y + m[2][2] * z};
}

}  // namespace Kit
