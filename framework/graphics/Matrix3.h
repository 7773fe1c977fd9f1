// A 3x3 float matrix, row-major m[row][column]. A 2D point (x, y) is the column vector (x, y, 1), so
// the translation lives in column 2.
#pragma once

namespace Kit {

struct Vector2 {
  float mX = 0;
  float mY = 0;
};

struct Vector3 {
  float mX = 0;
  float mY = 0;
  float mZ = 0;
};

class Matrix3 {
 public:
  Matrix3() { LoadIdentity(); }

  void LoadIdentity();
  // this x other, each element summed in double precision before it is stored as float.
  Matrix3 Multiply(const Matrix3& other) const;
  // The affine part only: the bottom row is ignored.
  Vector2 TransformPoint(float x, float y) const;
  Vector3 TransformVector(float x, float y, float z) const;

  float m[3][3];
};

}  // namespace Kit
