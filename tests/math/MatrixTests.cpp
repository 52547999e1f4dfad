#include "Types3d/Types3d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const double pi = 3.14159265358979323846;

void ExpectMatrix(const M3DMatrix& m, const double (&expected)[4][4], double tolerance = 1e-12)
{
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            EXPECT_NEAR(m.m[i][j], expected[i][j], tolerance) << "at [" << i << "][" << j << "]";
}

// p x M for a row vector (x, y, z, 1).
void Apply(const M3DMatrix& m, double x, double y, double z, double out[4])
{
    double p[4] = {x, y, z, 1.0};
    for (int j = 0; j < 4; j++)
        out[j] = p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j] + p[3] * m.m[3][j];
}
} // namespace

TEST(M3DVector, Operations)
{
    M3DVector n = Normalise(M3DVector(3, 0, 4));
    EXPECT_DOUBLE_EQ(n.x, 0.6);
    EXPECT_DOUBLE_EQ(n.y, 0.0);
    EXPECT_DOUBLE_EQ(n.z, 0.8);
    EXPECT_THROW(Normalise(M3DVector(0, 0, 0)), M3DException);

    M3DVector c = Cross(M3DVector(1, 0, 0), M3DVector(0, 1, 0));
    EXPECT_EQ(c.z, 1.0);
    c = Cross(M3DVector(1, 2, 3), M3DVector(4, 5, 6));
    EXPECT_EQ(c.x, -3.0);
    EXPECT_EQ(c.y, 6.0);
    EXPECT_EQ(c.z, -3.0);
    EXPECT_EQ(Dot(M3DVector(1, 2, 3), M3DVector(4, -5, 6)), 12.0);

    M3DVector a(1, 2, 3);
    a += M3DVector(1, 1, 1);
    M3DVector d = a - M3DVector(0.5, 0.5, 0.5);
    EXPECT_EQ(d.x, 1.5);
    EXPECT_EQ(d.y, 2.5);
    EXPECT_EQ(d.z, 3.5);
    EXPECT_EQ(M3DVector().z, 0.0);
}

TEST(M3DMatrix, DefaultIdentityAndTranslation)
{
    const double zeroWithCorner[4][4] = {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}};
    ExpectMatrix(M3DMatrix(), zeroWithCorner);

    double out[4];
    Apply(Translation(M3DVector(7, -8, 9)), 0, 0, 0, out);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[1], -8);
    EXPECT_EQ(out[2], 9);
    EXPECT_EQ(out[3], 1);
}

TEST(M3DMatrix, RotationAgainstHandComputedEntries)
{
    const double identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ExpectMatrix(Rotation(0, 0, 0), identity);

    // A quarter turn about z takes the x axis to the y axis.
    double out[4];
    Apply(Rotation(0, 0, pi / 2), 1, 0, 0, out);
    EXPECT_NEAR(out[0], 0, 1e-12);
    EXPECT_NEAR(out[1], 1, 1e-12);
    EXPECT_NEAR(out[2], 0, 1e-12);
    Apply(Rotation(0, 0, 0.3), 1, 0, 0, out);
    EXPECT_NEAR(out[0], std::cos(0.3), 1e-12);
    EXPECT_NEAR(out[1], std::sin(0.3), 1e-12);

    // a = 30 deg, b = 45 deg, c = 60 deg, entries worked out by hand from the table.
    double c1 = std::sqrt(3.0) / 2, s1 = 0.5, c2 = std::sqrt(0.5), s2 = std::sqrt(0.5), c3 = 0.5,
           s3 = std::sqrt(3.0) / 2;
    const double expected[4][4] = {{c2 * c3, c1 * s3 - s1 * s2 * c3, c1 * s2 * c3 + s1 * s3, 0},
                                   {-c2 * s3, c1 * c3 + s1 * s2 * s3, s1 * c3 - c1 * s2 * s3, 0},
                                   {-s2, -s1 * c2, c1 * c2, 0},
                                   {0, 0, 0, 1}};
    M3DMatrix r = Rotation(pi / 6, pi / 4, pi / 3);
    ExpectMatrix(r, expected);
    EXPECT_NEAR(r.m[2][0], -0.70710678118654752, 1e-12);
    EXPECT_NEAR(r.m[0][0], 0.35355339059327376, 1e-12);
    EXPECT_NEAR(r.m[1][1], 0.7391989197401165, 1e-12);
}

TEST(M3DMatrix, ProductComposesLeftToRight)
{
    M3DMatrix a = Identity();
    a.m[0][1] = 2;
    a.m[3][0] = 5;
    M3DMatrix b = Identity();
    b.m[1][0] = 3;
    b.m[3][2] = -1;
    const double expected[4][4] = {{7, 2, 0, 0}, {3, 1, 0, 0}, {0, 0, 1, 0}, {5, 0, -1, 1}};
    ExpectMatrix(a * b, expected);

    // Translate then rotate: the point moves first, then turns about the origin.
    double out[4];
    Apply(Translation(M3DVector(1, 0, 0)) * Rotation(0, 0, pi / 2), 0, 0, 0, out);
    EXPECT_NEAR(out[0], 0, 1e-12);
    EXPECT_NEAR(out[1], 1, 1e-12);
}

TEST(M3DMatrix, ToD3DMatrixUsesOneBufferInRowMajorOrder)
{
    M3DMatrix m;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            m.m[i][j] = i * 4 + j + 0.5;
    const float* first = ToD3DMatrix(m);
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(first[k], float(k + 0.5));
    const float* second = ToD3DMatrix(Identity());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[1], 0.0f);
    EXPECT_EQ(first[5], 1.0f);
}
