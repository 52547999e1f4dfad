// Vectors and 4x4 matrices in double precision. Points are row vectors multiplied on
// the left (p' = p x M), so a translation sits in row 3 and products compose in the
// order their effects apply.
#pragma once

const double PI = 3.14159265358979323846;

class M3DException
{
};

class M3DVector
{
  public:
    double x, y, z;

    M3DVector() : z(0.0) {} // x and y are always assigned before use
    M3DVector(double x, double y, double z) : x(x), y(y), z(z) {}

    M3DVector operator-(const M3DVector& b) const { return M3DVector(x - b.x, y - b.y, z - b.z); }
    M3DVector& operator+=(const M3DVector& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
};

class M3DMatrix
{
  public:
    double m[4][4];

    M3DMatrix(); // all zero except m[3][3] = 1

    M3DMatrix operator*(const M3DMatrix& b) const;
};

double Dot(const M3DVector& a, const M3DVector& b);
M3DVector Cross(const M3DVector& a, const M3DVector& b);
// Throws M3DException for a vector of length exactly zero.
M3DVector Normalise(const M3DVector& v);

M3DMatrix Identity();
M3DMatrix Translation(const M3DVector& v);
M3DMatrix Rotation(double a, double b, double c);

// Converts to the device's float layout in one static buffer, overwritten by the next
// call: pass the result straight to SetTransform.
const float* ToD3DMatrix(const M3DMatrix& matrix);
