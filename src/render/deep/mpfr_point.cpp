#include "render/deep/mpfr_point.h"

#include "render/engine_kernel.h"

namespace qel {

OrbitResult mpfrPoint(const DeepView& view, int x, int y, long precisionBits) {
    const BigReal pRe = offsetBy(view.centreRe.withPrecision(precisionBits), x, view.pixelSize);
    const BigReal pIm = offsetBy(view.centreIm.withPrecision(precisionBits), y, view.pixelSize);
    const BigReal cRe = view.julia ? view.juliaRe.withPrecision(precisionBits) : pRe;
    const BigReal cIm = view.julia ? view.juliaIm.withPrecision(precisionBits) : pIm;
    BigReal zRe = pRe, zIm = pIm, sq(precisionBits), t(precisionBits);
    const std::int64_t stopCount = interiorStopCount(view.maxIter);

    OrbitRing ring;
    resetRing(ring);
    double re = zRe.toDouble(), im = zIm.toDouble(), prevRe = re, prevIm = im, r2 = 0.0;
    std::int64_t n = 0;
    bool escaped = false;
    for (;; ++n) {
        prevRe = re;
        prevIm = im;
        squarePlus(zRe, zIm, cRe, cIm, sq, t);
        re = zRe.toDouble();
        im = zIm.toDouble();
        ring.re[static_cast<std::size_t>(n & 15)] = re;
        ring.im[static_cast<std::size_t>(n & 15)] = im;
        r2 = im * im + re * re;
        if (r2 > 4) {
            escaped = true;
            break;
        }
        if (n >= stopCount) break;
    }
    return orbitResultOf(escaped, n, re, im, prevRe, prevIm, r2, escaped ? 16 : orbitPeriod(ring, n, re, im));
}

}  // namespace qel
