// Vectors, matrices and the camera.
//
// Conventions: 32-bit floats throughout. A Matrix is 16 floats, row-major (row r,
// column c at index 4r + c), acting on column vectors: p' = M·p. The pipeline uses rows
// 0-2 as a 3x4 affine transform with the translation in column 3; the 3x4 operations
// never read row 3. MatrixMultiply, MatrixScale and MatrixLookAt leave row 3 as
// (0, 0, 0, 1) and MatrixTranslate leaves it as it was, so their results stay valid
// 4x4 affine matrices. Angles are radians, except the camera's roll and field of view,
// which are degrees. View space looks along +z with y up.
// Every operation works in place on caller storage, allocates nothing and cannot fail.
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

// Degrees-to-radians factor of the camera roll, sign included. Slightly off -pi/180
// (-0.017453293) on purpose: the rolled cameras are set up with exactly this value.
constexpr float RollRadiansPerDegree = -0.017452778f;

// m := identity (all 16 elements).
void MatrixIdentity(Matrix* m);
// destination := source, all 16 floats.
void MatrixCopy(const Matrix* source, Matrix* destination);
// a := a·b on the 3x4 part (b applied first); row 3 of a becomes (0, 0, 0, 1).
void MatrixMultiply(Matrix* a, const Matrix* b);
// m := diag(s)·m: row r, translation included, times the r-th component of s.
void MatrixScale(Matrix* m, const Vector3& s);
// m := m·translation(v): the translation acts on the input side, before m's rotation.
void MatrixTranslate(Matrix* m, const Vector3& v);
// m := world-to-view matrix of the camera (reads position, target and roll only).
void MatrixLookAt(Matrix* m, const Camera& camera);
// a := a·b over all 16 elements.
void MatrixMultiply4x4(Matrix* a, const Matrix* b);
// m := Rx·Ry·Rz for the three angles in radians.
void MatrixRotationXYZ(Matrix* m, float ax, float ay, float az);
