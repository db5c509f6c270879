// Vectors, matrices and the camera.
//
// Conventions: 32-bit floats throughout. A Matrix is 16 floats, row-major (row r,
// column c at index 4r + c), acting on column vectors: p' = M·p. The pipeline uses rows
// 0-2 as a 3x4 affine transform with the translation in column 3; the 3x4 operations
// neither read nor define row 3. Angles are radians, except the camera's roll and field
// of view, which are degrees. View space looks along +z with y up.
// Every operation works in place on caller storage and allocates nothing.
#pragma once

struct Vector3 {
    float x, y, z;
};

struct Matrix {
    float m[16];
};

// 15 floats, in this order.
struct Camera {
    float positionX, positionY, positionZ;
    float targetX, targetY, targetZ;
    float roll;              // degrees about the viewing axis
    float fieldOfView;       // degrees
    float unitFactor;
    float projectionScaleX;  // multiplies x/z in ProjectMeshVertices
    float projectionScaleY;  // multiplies y/z in ProjectMeshVertices
    float focalX;            // 1 / tan(half field of view)
    float focalY;
    float inverseFocalX;     // 1 / focalX
    float inverseFocalY;
};

static_assert(sizeof(Vector3) == 12, "Vector3 is three floats");
static_assert(sizeof(Matrix) == 64, "Matrix is sixteen floats");
static_assert(sizeof(Camera) == 60, "Camera is fifteen floats");

void MatrixIdentity(Matrix* m);
void MatrixCopy(const Matrix* source, Matrix* destination);
void MatrixMultiply(Matrix* a, const Matrix* b);            // a := a·b on the 3x4 part
void MatrixScale(Matrix* m, const Vector3& s);              // m := diag(s)·m
void MatrixTranslate(Matrix* m, const Vector3& v);          // m := m·translation(v)
void MatrixLookAt(Matrix* m, const Camera& camera);         // m := view matrix of camera
void MatrixMultiply4x4(Matrix* a, const Matrix* b);         // a := a·b, all 16 elements
void MatrixRotationXYZ(Matrix* m, float ax, float ay, float az);  // m := Rx·Ry·Rz
