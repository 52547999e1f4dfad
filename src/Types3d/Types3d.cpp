#include "Types3d/Trig.h"
#include "Types3d/Types3d.h"

#include <cmath>

M3DMatrix::M3DMatrix()
{
    for (auto& row : m)
        for (double& e : row)
            e = 0.0;
    m[3][3] = 1.0;
}

M3DMatrix M3DMatrix::operator*(const M3DMatrix& b) const
{
    M3DMatrix r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
        {
            double sum = 0.0;
            for (int k = 0; k < 4; k++)
                sum += m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

double Dot(const M3DVector& a, const M3DVector& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

M3DVector Cross(const M3DVector& a, const M3DVector& b)
{
    return M3DVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

M3DVector Normalise(const M3DVector& v)
{
    double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0)
        throw M3DException();
    return M3DVector(v.x / length, v.y / length, v.z / length);
}

M3DMatrix Identity()
{
    M3DMatrix r;
    r.m[0][0] = r.m[1][1] = r.m[2][2] = 1.0;
    return r;
}

M3DMatrix Translation(const M3DVector& v)
{
    M3DMatrix r = Identity();
    r.m[3][0] = v.x;
    r.m[3][1] = v.y;
    r.m[3][2] = v.z;
    return r;
}

M3DMatrix Rotation(double a, double b, double c)
{
    double c1 = trig::Cos(a), s1 = trig::Sin(a);
    double c2 = trig::Cos(b), s2 = trig::Sin(b);
    double c3 = trig::Cos(c), s3 = trig::Sin(c);
    M3DMatrix r;
    r.m[0][0] = c2 * c3;
    r.m[0][1] = c1 * s3 - s1 * s2 * c3;
    r.m[0][2] = c1 * s2 * c3 + s1 * s3;
    r.m[1][0] = -c2 * s3;
    r.m[1][1] = c1 * c3 + s1 * s2 * s3;
    r.m[1][2] = s1 * c3 - c1 * s2 * s3;
    r.m[2][0] = -s2;
    r.m[2][1] = -s1 * c2;
    r.m[2][2] = c1 * c2;
    r.m[3][3] = 1.0;
    return r;
}

const float* ToD3DMatrix(const M3DMatrix& matrix)
{
    static float buffer[16];
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            buffer[i * 4 + j] = float(matrix.m[i][j]);
    return buffer;
}
