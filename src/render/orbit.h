// One point of a drawing: the orbit of Z(n+1)=Z(n)*Z(n)+Zc from the point
// itself, its escape count, last move and, for points that never escape,
// its period. Plain IEEE double arithmetic, each operation rounded on its
// own: the period search compares exact values.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace qel {

// What one drawing iterates, fixed when the drawing starts.
struct OrbitParams {
    bool julia = false;      // false: the constant is the point itself
    double cRe = 0.0;        // the Julia constant
    double cIm = 0.0;
    double maxIter = 500.0;  // m: a point still inside after step m+1 is interior
    double centerX = 0.0;    // plane point of pixel offset (0, 0)
    double centerY = 0.0;
    double pixelSize = 0.01;
    bool operator==(const OrbitParams&) const = default;
};

// The last sixteen orbit points. Cleared once per drawing and kept from
// point to point, so slots a point has not written still hold values of
// earlier points (or the initial 0).
struct OrbitRing {
    std::array<double, 16> re{};
    std::array<double, 16> im{};
};

void resetRing(OrbitRing& ring);

// Direction of the last move, by the signs of its real and imaginary parts.
enum class MoveClass : std::uint8_t { LeftDown, LeftUp, Left, Vertical, RightDown, RightUp, Right };

// A look-up by the two signs (a NaN counts as 0) rather than branches: the
// moves of neighbouring points follow no pattern a branch could learn.
inline MoveClass moveClassOf(double dRe, double dIm) {
    using enum MoveClass;
    static constexpr MoveClass bySigns[3][3] = {
        {LeftDown, Left, LeftUp},
        {Vertical, Vertical, Vertical},
        {RightDown, Right, RightUp},
    };
    const int re = (dRe > 0) - (dRe < 0);
    const int im = (dIm > 0) - (dIm < 0);
    return bySigns[re + 1][im + 1];
}

struct OrbitResult {
    bool escaped = false;
    std::int64_t n = 0;  // escape count, or the counter value at which an interior point stopped
    double r2 = 0.0;     // squared modulus of the last orbit point
    double zRe = 0.0, zIm = 0.0;
    double prevZRe = 0.0, prevZIm = 0.0;
    double dRe = 0.0, dIm = 0.0;  // the last move: z - prevZ
    double moveSize = 0.0;        // |dIm| + |dRe|
    MoveClass moveClass = MoveClass::Vertical;
    int period = 16;  // interior points: 1..15, 16 when undetermined
};

// The result of an orbit that ended at counter value n with the last point
// z and the one before it, prevZ: the last move and its class follow.
// The last move of a result whose z and prevZ are set: dRe, dIm, its size
// and its class.
inline void setLastMove(OrbitResult& r) {
    r.dRe = r.zRe - r.prevZRe;
    r.dIm = r.zIm - r.prevZIm;
    r.moveSize = std::abs(r.dIm) + std::abs(r.dRe);
    r.moveClass = moveClassOf(r.dRe, r.dIm);
}

inline OrbitResult orbitResultOf(bool escaped, std::int64_t n, double zRe, double zIm, double prevZRe,
                                 double prevZIm, double r2, int period) {
    OrbitResult r;
    r.escaped = escaped;
    r.n = n;
    r.r2 = r2;
    r.zRe = zRe;
    r.zIm = zIm;
    r.prevZRe = prevZRe;
    r.prevZIm = prevZIm;
    setLastMove(r);
    r.period = period;
    return r;
}

// The counter value at which every interior point stops: the first n >= 0
// with n > maxIter.
std::int64_t interiorStopCount(double maxIter);

// Iterates the point at pixel offsets (x, y) (x to the right, y upwards).
OrbitResult computePoint(const OrbitParams& params, OrbitRing& ring, int x, int y);

// The smallest i in 1..15 whose ring slot |n - i| mod 16 holds exactly the
// last orbit point, or 16.
int orbitPeriod(const OrbitRing& ring, std::int64_t n, double zRe, double zIm);

}  // namespace qel
