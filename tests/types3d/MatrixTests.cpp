#include "Types3d/Trig.h"
#include "Types3d/Types3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
std::string Text(const M3DVector& v)
{
    return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z);
}
} // namespace

TEST(M3DVector, Operations)
{
    EXPECT_EQ(Text(Normalise(M3DVector(3, 0, -4))), "0.600000 0.000000 -0.800000");
    EXPECT_THROW(Normalise(M3DVector(0, 0, 0)), M3DException);
    EXPECT_EQ(Text(Cross(M3DVector(1, 2, 3), M3DVector(4, 5, 6))), "-3.000000 6.000000 -3.000000");
    EXPECT_EQ(Dot(M3DVector(1, 2, 3), M3DVector(4, -5, 6)), 12.0);
    M3DVector a(1, 2, 3);
    a += M3DVector(1, 10, 100);
    EXPECT_EQ(Text(a - M3DVector(0.5, 0.25, 0.125)), "1.500000 11.750000 102.875000");
    EXPECT_EQ(M3DVector().z, 0.0);
}

TEST(M3DMatrix, EveryMatrixWhole)
{
    // Rotation(a, b, c) turns about x by a, y by b and z by c; row vectors on the left.
    // Every entry is checked, the corner included.
    const struct
    {
        const char* what;
        M3DMatrix m;
        double e[16];
    } cases[] = {
        {"default", M3DMatrix(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"identity", Identity(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"move",
         Translation(M3DVector(7, -8, 9)),
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, -8, 9, 1}},
        {"x", Rotation(PI / 2, 0, 0), {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1}},
        {"y", Rotation(0, PI / 2, 0), {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}},
        {"z", Rotation(0, 0, PI / 2), {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"30, 45, 60 degrees",
         Rotation(PI / 6, PI / 4, PI / 3),
         {0.35355339059327384, 0.57322330470336313, 0.73919891974011653, 0,  //
          -0.61237243569579458, 0.73919891974011664, -0.2803300858899106, 0, //
          -0.70710678118654746, -0.35355339059327373, 0.61237243569579458, 0, 0, 0, 0, 1}},
        // Products apply left to right: moved, then turned about the origin, the move turns.
        {"move, turn",
         Translation(M3DVector(1, 2, 3)) * Rotation(0, 0, PI / 2),
         {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, -2, 1, 3, 1}},
        {"turn, move",
         Rotation(0, 0, PI / 2) * Translation(M3DVector(1, 2, 3)),
         {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
    };
    for (const auto& c : cases)
    {
        const float* device = ToD3DMatrix(c.m); // the device's floats, row by row
        for (int k = 0; k < 16; k++)
        {
            EXPECT_NEAR(c.m.m[k / 4][k % 4], c.e[k], 1e-12) << c.what << " entry " << k;
            EXPECT_NEAR(device[k], c.e[k], 1e-7) << c.what << " entry " << k;
        }
    }
    // One buffer for the device, overwritten by the next call.
    EXPECT_EQ(ToD3DMatrix(Identity()), ToD3DMatrix(M3DMatrix()));
}

// The game's own trigonometry (the same bits on every system) agrees with the C library's
// to a couple of units in the last place, in every quadrant, on either side of each
// reduction boundary, and for the headings a long game winds up to.
TEST(Trig, AgreesWithTheLibraryEverywhereTheGameLooks)
{
    auto near = [](double got, double want)
    { return std::fabs(got - want) <= 2.5e-16 * std::fmax(1.0, std::fabs(want)); };
    for (double x = -300.0; x <= 300.0; x += 0.0137)
    {
        ASSERT_TRUE(near(trig::Sin(x), std::sin(x))) << "sin " << x;
        ASSERT_TRUE(near(trig::Cos(x), std::cos(x))) << "cos " << x;
    }
    for (int k = -8; k <= 8; k++)
        for (double off : {-1e-9, 0.0, 1e-9})
        {
            const double x = k * PI / 4 + off;
            EXPECT_TRUE(near(trig::Sin(x), std::sin(x))) << "sin at " << k << " pi/4";
            EXPECT_TRUE(near(trig::Cos(x), std::cos(x))) << "cos at " << k << " pi/4";
        }
    EXPECT_TRUE(std::isnan(trig::Sin(INFINITY)) && std::isnan(trig::Cos(NAN)));
    for (double c = -1.0; c <= 1.0; c += 0.00093)
        ASSERT_TRUE(near(trig::Acos(c), std::acos(c))) << "acos " << c;
    for (double c : {-0.5, 0.5, -0.5000001, 0.5000001, 0.9999999999, -0.9999999999})
        EXPECT_TRUE(near(trig::Acos(c), std::acos(c))) << "acos " << c;
    // Rounding past the ends counts as the ends.
    EXPECT_EQ(trig::Acos(1.0 + 1e-15), 0.0);
    EXPECT_EQ(trig::Acos(-1.0 - 1e-15), PI);
    EXPECT_EQ(trig::Acos(1.0), 0.0);
}
