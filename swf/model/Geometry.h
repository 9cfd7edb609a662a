// Integer geometry shared by every layer of the engine.
//
// Units: shape and stage coordinates are twips (1/20 pixel). Matrices carry
// their scale and rotate/skew terms as 16.16 fixed point, exactly as the file
// stores them, and their translation in the unit of the space they map into.
// Everything is integer so that x87 (i686) and SSE builds draw the same bytes.
#pragma once

#include <cstdint>

namespace swf {

using Twips = int32_t;

constexpr int32_t kFixedOne = 1 << 16;   // 1.0 in 16.16
constexpr int32_t kTwipsPerPixel = 20;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point& o) const { return !(*this == o); }
};

// Rectangles are half-open in the sense of the file: xMin..xMax, yMin..yMax.
struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
    int32_t Width() const { return xMax - xMin; }
    int32_t Height() const { return yMax - yMin; }
    bool Empty() const { return xMax <= xMin || yMax <= yMin; }
    bool operator==(const Rect& o) const {
        return xMin == o.xMin && xMax == o.xMax && yMin == o.yMin && yMax == o.yMax;
    }
};

// x' = a*x + c*y + tx ; y' = b*x + d*y + ty   (a = ScaleX, b = RotateSkew0,
// c = RotateSkew1, d = ScaleY in the file's naming).
struct Matrix {
    int32_t a = kFixedOne;
    int32_t b = 0;
    int32_t c = 0;
    int32_t d = kFixedOne;
    int32_t tx = 0;
    int32_t ty = 0;

    static Matrix Translate(int32_t x, int32_t y) {
        Matrix m;
        m.tx = x;
        m.ty = y;
        return m;
    }
    static Matrix Scale(int32_t sx, int32_t sy) {
        Matrix m;
        m.a = sx;
        m.d = sy;
        return m;
    }

    bool operator==(const Matrix& o) const {
        return a == o.a && b == o.b && c == o.c && d == o.d && tx == o.tx && ty == o.ty;
    }
    bool operator!=(const Matrix& o) const { return !(*this == o); }

    Point Apply(Point p) const;
    // this * inner: first inner, then this. Rounds each term to nearest.
    Matrix Concat(const Matrix& inner) const;
    // False when the matrix is singular; out is then left untouched.
    bool Invert(Matrix* out) const;
};

// Bounding box of r mapped through m.
Rect TransformRect(const Matrix& m, const Rect& r);

}  // namespace swf
