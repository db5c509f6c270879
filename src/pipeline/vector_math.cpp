#include "pipeline/vector_math.h"

#include <algorithm>
#include <cmath>

void MatrixIdentity(Matrix* m)
{
    for (float& e : m->m) e = 0.0f;
    m->m[0] = m->m[5] = m->m[10] = m->m[15] = 1.0f;
}

void MatrixCopy(const Matrix* source, Matrix* destination)
{
    for (int i = 0; i < 16; ++i) destination->m[i] = source->m[i];
}

void MatrixMultiply(Matrix* a, const Matrix* b)
{
    const float* x = a->m;
    const float* y = b->m;
    Matrix t;
    for (int r = 0; r < 3; ++r) {
        const float* row = x + 4 * r;
        for (int c = 0; c < 3; ++c)
            t.m[4 * r + c] = row[0] * y[c] + row[1] * y[4 + c] + row[2] * y[8 + c];
        // b's own translation goes through a's linear part, then a's translation adds.
        t.m[4 * r + 3] = row[0] * y[3] + row[1] * y[7] + row[2] * y[11] + row[3];
    }
    t.m[12] = t.m[13] = t.m[14] = 0.0f;
    t.m[15] = 1.0f;
    MatrixCopy(&t, a);
}

void MatrixScale(Matrix* m, const Vector3& s)
{
    Matrix scale;
    MatrixIdentity(&scale);
    scale.m[0] = s.x;
    scale.m[5] = s.y;
    scale.m[10] = s.z;
    MatrixMultiply(&scale, m);
    MatrixCopy(&scale, m);
}

void MatrixTranslate(Matrix* m, const Vector3& v)
{
    for (int r = 0; r < 3; ++r) {
        float* row = m->m + 4 * r;
        row[3] = row[0] * v.x + row[1] * v.y + row[2] * v.z + row[3];
    }
}

void MatrixLookAt(Matrix* m, const Camera& camera)
{
    MatrixIdentity(m);
    const float dx = camera.targetX - camera.positionX;
    const float dy = camera.targetY - camera.positionY;
    const float dz = camera.targetZ - camera.positionZ;
    const float len = std::sqrt(dx * dx + dy * dy + dz * dz);

    const float yaw = -std::atan2(dx, dz);
    // A camera sitting on its target has no viewing direction: look level instead of
    // letting 0/0 turn the whole view matrix into NaN. The clamp only absorbs rounding.
    const float sinePitch = len > 0.0f ? std::min(1.0f, std::max(-1.0f, dy / len)) : 0.0f;
    const float pitch = std::asin(sinePitch);
    const float roll = camera.roll * RollRadiansPerDegree;

    const float sy = std::sin(yaw), cy = std::cos(yaw);
    const float sp = std::sin(pitch), cp = std::cos(pitch);
    const float sr = std::sin(roll), cr = std::cos(roll);

    // Yaw about y, then pitch about x, then roll about the viewing axis.
    float* e = m->m;
    e[0] = sy * sp * sr + cy * cr;
    e[1] = cp * sr;
    e[2] = sy * cr - cy * sp * sr;
    e[4] = sy * sp * cr - cy * sr;
    e[5] = cp * cr;
    e[6] = -cy * sp * cr - sy * sr;
    e[8] = -sy * cp;
    e[9] = sp;
    e[10] = cy * cp;

    MatrixTranslate(m, Vector3{-camera.positionX, -camera.positionY, -camera.positionZ});
}

void MatrixMultiply4x4(Matrix* a, const Matrix* b)
{
    const float* x = a->m;
    const float* y = b->m;
    Matrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            t.m[4 * r + c] = x[4 * r] * y[c] + x[4 * r + 1] * y[4 + c] +
                             x[4 * r + 2] * y[8 + c] + x[4 * r + 3] * y[12 + c];
    MatrixCopy(&t, a);
}

void MatrixRotationXYZ(Matrix* m, float ax, float ay, float az)
{
    Matrix rx, ry, rz;
    MatrixIdentity(&rx);
    MatrixIdentity(&ry);
    MatrixIdentity(&rz);
    const float sx = std::sin(ax), cx = std::cos(ax);
    const float sy = std::sin(ay), cy = std::cos(ay);
    const float sz = std::sin(az), cz = std::cos(az);

    rx.m[5] = cx;  rx.m[6] = -sx;
    rx.m[9] = sx;  rx.m[10] = cx;

    ry.m[0] = cy;  ry.m[2] = sy;
    ry.m[8] = -sy; ry.m[10] = cy;

    rz.m[0] = cz;  rz.m[1] = -sz;
    rz.m[4] = sz;  rz.m[5] = cz;

    MatrixIdentity(m);
    MatrixMultiply4x4(m, &rx);
    MatrixMultiply4x4(m, &ry);
    MatrixMultiply4x4(m, &rz);
}
