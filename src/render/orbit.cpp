#include "render/orbit.h"

#include <cmath>

namespace qel {

void resetRing(OrbitRing& ring) {
    ring.re.fill(0.0);
    ring.im.fill(0.0);
}

std::int64_t interiorStopCount(double maxIter) {
    // Counters beyond 2^62 are never reached; such a limit means "no limit".
    constexpr double kNoLimit = 4611686018427387904.0;
    if (std::isnan(maxIter) || maxIter < 0) return 0;
    if (maxIter >= kNoLimit) return std::int64_t{1} << 62;
    return static_cast<std::int64_t>(std::floor(maxIter)) + 1;
}

int orbitPeriod(const OrbitRing& ring, std::int64_t n, double zRe, double zIm) {
    for (int i = 1; i <= 15; ++i) {
        std::int64_t back = n - i;
        auto j = static_cast<std::size_t>((back < 0 ? -back : back) % 16);
        if (ring.re[j] == zRe && ring.im[j] == zIm) return i;
    }
    return 16;
}

OrbitResult computePoint(const OrbitParams& params, OrbitRing& ring, int x, int y) {
    const double pRe = params.centerX + x * params.pixelSize;
    const double pIm = params.centerY + y * params.pixelSize;
    const double cRe = params.julia ? params.cRe : pRe;
    const double cIm = params.julia ? params.cIm : pIm;
    const double m = params.maxIter;

    double zRe = pRe, zIm = pIm, prevZRe = pRe, prevZIm = pIm, r2 = 0.0;
    std::int64_t n = 0;
    bool escaped = false;
    for (;; ++n) {
        prevZRe = zRe;
        prevZIm = zIm;
        const double s = zRe * zRe - zIm * zIm;
        const double newIm = cIm + (zRe + zRe) * zIm;
        const double newRe = cRe + s;
        zIm = newIm;
        zRe = newRe;
        ring.re[static_cast<std::size_t>(n & 15)] = zRe;
        ring.im[static_cast<std::size_t>(n & 15)] = zIm;
        r2 = zIm * zIm + zRe * zRe;
        if (r2 > 4) {
            escaped = true;
            break;
        }
        if (static_cast<double>(n) > m) break;
    }

    return orbitResultOf(escaped, n, zRe, zIm, prevZRe, prevZIm, r2,
                         escaped ? 16 : orbitPeriod(ring, n, zRe, zIm));
}

}  // namespace qel
