#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "pipeline/vector_math.h"

namespace {

Matrix Rows(std::initializer_list<float> values)
{
    Matrix m{};
    int i = 0;
    for (float v : values) m.m[i++] = v;
    return m;
}

void ExpectRows(const Matrix& m, const Matrix& expected, int rows)
{
    for (int i = 0; i < 4 * rows; ++i) EXPECT_EQ(m.m[i], expected.m[i]) << "element " << i;
}

// p' = M·p on the 3x4 part, in double.
void Apply(const Matrix& m, const double p[3], double out[3])
{
    for (int r = 0; r < 3; ++r)
        out[r] = m.m[4 * r] * p[0] + m.m[4 * r + 1] * p[1] + m.m[4 * r + 2] * p[2] + m.m[4 * r + 3];
}

Camera LookingCamera(float px, float py, float pz, float tx, float ty, float tz, float roll)
{
    Camera c{};
    c.positionX = px; c.positionY = py; c.positionZ = pz;
    c.targetX = tx; c.targetY = ty; c.targetZ = tz;
    c.roll = roll;
    return c;
}

}  // namespace

TEST(MatrixAffine, MultiplyComposesWithSecondOperandFirst)
{
    // a: quarter turn about z plus translation (10, 20, 30); b: translation (1, 2, 3).
    Matrix a = Rows({0, -1, 0, 10,  1, 0, 0, 20,  0, 0, 1, 30,  9, 9, 9, 9});
    const Matrix b = Rows({1, 0, 0, 1,  0, 1, 0, 2,  0, 0, 1, 3,  7, 7, 7, 7});
    MatrixMultiply(&a, &b);
    ExpectRows(a, Rows({0, -1, 0, 8,  1, 0, 0, 21,  0, 0, 1, 33,  0, 0, 0, 1}), 4);
}

TEST(MatrixAffine, ScaleActsOnOutputRowsIncludingTranslation)
{
    Matrix m = Rows({1, 2, 3, 4,  5, 6, 7, 8,  9, 10, 11, 12,  0, 0, 0, 1});
    const Matrix original = m;
    MatrixScale(&m, Vector3{1, 1, 1});
    ExpectRows(m, original, 3);
    MatrixScale(&m, Vector3{2, 3, 4});
    ExpectRows(m, Rows({2, 4, 6, 8,  15, 18, 21, 24,  36, 40, 44, 48}), 3);
}

TEST(MatrixAffine, TranslateActsOnInputSide)
{
    Matrix m;
    MatrixIdentity(&m);
    MatrixTranslate(&m, Vector3{1, 2, 3});
    ExpectRows(m, Rows({1, 0, 0, 1,  0, 1, 0, 2,  0, 0, 1, 3,  0, 0, 0, 1}), 4);

    Matrix r = Rows({0, -1, 0, 0,  1, 0, 0, 0,  0, 0, 1, 0});   // quarter turn about z
    MatrixTranslate(&r, Vector3{1, 2, 3});
    ExpectRows(r, Rows({0, -1, 0, -2,  1, 0, 0, 1,  0, 0, 1, 3}), 3);
}

TEST(MatrixLookAt, StraightAheadIsPureTranslation)
{
    Matrix m;
    MatrixLookAt(&m, LookingCamera(0, 0, -10, 0, 0, 0, 0));
    ExpectRows(m, Rows({1, 0, 0, 0,  0, 1, 0, 0,  0, 0, 1, 10,  0, 0, 0, 1}), 4);
}

TEST(MatrixLookAt, RollUsesItsOwnDegreeFactor)
{
    Matrix m;
    MatrixLookAt(&m, LookingCamera(0, 0, -10, 0, 0, 0, 90));
    const float roll = 90.0f * -0.017452778f;
    EXPECT_FLOAT_EQ(roll, -1.57075f);
    const float sr = std::sin(roll), cr = std::cos(roll);
    ExpectRows(m, Rows({cr, sr, 0, 0,  -sr, cr, 0, 0,  0, 0, 1, 10}), 3);
    // With -pi/180 the cosine would be about -4e-8; this factor leaves a visible 4.6e-5.
    EXPECT_NEAR(m.m[0], std::cos(1.57075), 2e-7);
}

TEST(MatrixLookAt, TargetLandsOnViewAxisAtItsDistance)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-100, 100), roll(-180, 180);
    for (int n = 0; n < 500; ++n) {
        const Camera c = LookingCamera(coord(rng), coord(rng), coord(rng), coord(rng),
                                       coord(rng), coord(rng), roll(rng));
        Matrix m;
        MatrixLookAt(&m, c);
        const double t[3] = {c.targetX, c.targetY, c.targetZ};
        double v[3];
        Apply(m, t, v);
        const double len = std::sqrt(std::pow(double(c.targetX) - c.positionX, 2) +
                                     std::pow(double(c.targetY) - c.positionY, 2) +
                                     std::pow(double(c.targetZ) - c.positionZ, 2));
        const double tol = 1e-5 * (len + 200);
        EXPECT_NEAR(v[0], 0, tol);
        EXPECT_NEAR(v[1], 0, tol);
        EXPECT_NEAR(v[2], len, tol);
    }
}

TEST(MatrixLookAt, CameraOnItsTargetStaysFinite)
{
    Matrix m;
    MatrixLookAt(&m, LookingCamera(1, 2, 3, 1, 2, 3, 0));
    for (float e : m.m) EXPECT_TRUE(std::isfinite(e));
    ExpectRows(m, Rows({1, 0, 0, -1,  0, 1, 0, -2,  0, 0, 1, -3}), 3);
}

TEST(Matrix4x4, MultiplyAndRotationOrder)
{
    Matrix a = Rows({1, 2, 3, 4,  5, 6, 7, 8,  9, 10, 11, 12,  13, 14, 15, 16});
    const Matrix b = Rows({1, 0, 0, 0,  0, 0, 1, 0,  0, 1, 0, 0,  1, 1, 1, 1});
    MatrixMultiply4x4(&a, &b);
    ExpectRows(a, Rows({5, 7, 6, 4,  13, 15, 14, 8,  21, 23, 22, 12,  29, 31, 30, 16}), 4);

    Matrix m;
    MatrixRotationXYZ(&m, 0, 0, 0);
    ExpectRows(m, Rows({1, 0, 0, 0,  0, 1, 0, 0,  0, 0, 1, 0,  0, 0, 0, 1}), 4);

    // Rx·Ry·Rz applies the z rotation first: rotate (1, 0, 0) by z, then y, then x.
    const double ax = 0.3, ay = -1.1, az = 2.0;
    MatrixRotationXYZ(&m, float(ax), float(ay), float(az));
    double p[3] = {std::cos(az), std::sin(az), 0};                             // Rz
    double q[3] = {p[0] * std::cos(ay) + p[2] * std::sin(ay), p[1],
                   -p[0] * std::sin(ay) + p[2] * std::cos(ay)};                // Ry
    const double expected[3] = {q[0], q[1] * std::cos(ax) - q[2] * std::sin(ax),
                                q[1] * std::sin(ax) + q[2] * std::cos(ax)};    // Rx
    const double x[3] = {1, 0, 0};
    double got[3];
    Apply(m, x, got);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 1e-6);
}
