#include "Types3d/Trig.h"

#include "Types3d/Types3d.h"

#include <cmath>
#include <cstdint>

namespace
{
// pi/2 in three parts, the first two with their low bits zero, so that k times each of
// them is exact for the quadrant counts k the game can reach.
const double HALF_PI_1 = 1.57079632673412561417e+00;
const double HALF_PI_2 = 6.07710050630396597660e-11;
const double HALF_PI_3 = 2.02226624871116645580e-21;
const double TWO_OVER_PI = 6.36619772367581382433e-01;
// Beyond this the quadrant count no longer fits the reduction: no angle the game makes.
const double LARGEST_ANGLE = 1e9;

// Taylor series on [-pi/4, pi/4]: the first terms left out are below 1e-16 there.
double SinNear(double r)
{
    const double z = r * r;
    double sum = -1.0 / 1307674368000.0; // -1/15!
    sum = 1.0 / 6227020800.0 + z * sum;
    sum = -1.0 / 39916800.0 + z * sum;
    sum = 1.0 / 362880.0 + z * sum;
    sum = -1.0 / 5040.0 + z * sum;
    sum = 1.0 / 120.0 + z * sum;
    sum = -1.0 / 6.0 + z * sum;
    return r + r * z * sum;
}

double CosNear(double r)
{
    const double z = r * r;
    double sum = 1.0 / 20922789888000.0; // 1/16!
    sum = -1.0 / 87178291200.0 + z * sum;
    sum = 1.0 / 479001600.0 + z * sum;
    sum = -1.0 / 3628800.0 + z * sum;
    sum = 1.0 / 40320.0 + z * sum;
    sum = -1.0 / 720.0 + z * sum;
    sum = 1.0 / 24.0 + z * sum;
    return 1.0 - 0.5 * z + z * z * sum;
}

// x = k pi/2 + r with |r| <= pi/4 (a hair over, at worst); returns k mod 4.
int Reduce(double x, double* r)
{
    const double k = std::floor(x * TWO_OVER_PI + 0.5);
    *r = ((x - k * HALF_PI_1) - k * HALF_PI_2) - k * HALF_PI_3;
    return int(int64_t(k) & 3);
}

// arcsine for |x| <= 1/2 by its series, x + a1 x^3 + a2 x^5 + ..., summed from the
// smallest term: each is under a quarter of the one before.
double AsinNear(double x)
{
    const int TERMS = 26;
    static const struct Coefficients
    {
        double a[TERMS + 1];
        Coefficients()
        {
            // a[n] = (2n)! / (4^n (n!)^2 (2n + 1)), by the ratio of one to the next.
            double c = 1.0;
            a[0] = 1.0;
            for (int n = 1; n <= TERMS; n++)
            {
                c *= double(2 * n - 1) / double(2 * n);
                a[n] = c / double(2 * n + 1);
            }
        }
    } coefficients;
    const double z = x * x;
    double sum = coefficients.a[TERMS];
    for (int n = TERMS - 1; n >= 1; n--)
        sum = coefficients.a[n] + z * sum;
    return x + x * z * sum;
}
} // namespace

namespace trig
{
double Sin(double x)
{
    if (!(std::fabs(x) < LARGEST_ANGLE))
        return x - x; // NaN for infinities and NaN
    double r;
    switch (Reduce(x, &r))
    {
    case 0:
        return SinNear(r);
    case 1:
        return CosNear(r);
    case 2:
        return -SinNear(r);
    default:
        return -CosNear(r);
    }
}

double Cos(double x)
{
    if (!(std::fabs(x) < LARGEST_ANGLE))
        return x - x;
    double r;
    switch (Reduce(x, &r))
    {
    case 0:
        return CosNear(r);
    case 1:
        return -SinNear(r);
    case 2:
        return -CosNear(r);
    default:
        return SinNear(r);
    }
}

double Acos(double x)
{
    if (x >= 1.0)
        return 0.0;
    if (x <= -1.0)
        return PI;
    if (std::fabs(x) <= 0.5)
        return PI / 2 - AsinNear(x);
    // acos x = 2 asin(sqrt((1 - x) / 2)), whose argument is then at most 1/2.
    if (x > 0.0)
        return 2.0 * AsinNear(std::sqrt((1.0 - x) * 0.5));
    return PI - 2.0 * AsinNear(std::sqrt((1.0 + x) * 0.5));
}
} // namespace trig
