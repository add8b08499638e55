// The vector loop of the exact kernel, written once and compiled once per
// instruction set: engine_kernel.cpp includes this file inside a namespace of
// its own under a matching `#pragma GCC target`, after defining
//   kWidth    lanes of one vector,
//   kVectors  independent vectors in flight (to hide the latency of a step),
//   VD, VI    GCC vector types of kWidth doubles and 64-bit integers,
//   doneLanes the bit mask of the lanes that escaped (r2 > 4), reached their
//             stop counter or whose real part has the bits of the kept value.
// No header is included here: everything it needs comes from its includer.

// What a lane does besides its vector state: which point it computes and the
// bookkeeping of the cycle search for it.
struct LaneBook {
    int point = -1;            // index into the row, -1 while idle
    std::int64_t saveN = 0;    // counter value of the kept orbit value
    std::int64_t power = 0;    // steps until the kept value is renewed
    std::uint64_t keptIm = 0;  // bits of the kept value's imaginary part
};

// The vector state of all lanes. It lives in registers: every index into it
// is a constant once the loops over the vectors are unrolled, lanes are read
// through copies and written by blending.
struct Lanes {
    VD zr[kVectors], zi[kVectors];    // the orbit value z_n
    VD zr2[kVectors], zi2[kVectors];  // zr*zr and zi*zi, shared by r2 and the next step
    VD pr[kVectors], pi[kVectors];    // z_(n-1)
    VD cr[kVectors], ci[kVectors];    // the constant
    VI n[kVectors];                   // counter value of z_n
    VI stop[kVectors];                // the lane leaves the loop at this counter value
    VI kept[kVectors];                // bits of the kept value's real part
};

template <class V>
[[gnu::always_inline]] inline auto laneOf(V x, int l) {
    std::remove_reference_t<decltype(x[0])> t[kWidth];
    std::memcpy(t, &x, sizeof t);
    return t[l];
}

// Lane l of x becomes `value`.
template <class V, class T>
[[gnu::always_inline]] inline void setLane(V& x, VI one, T value) {
    x = one ? (V{} + value) : x;
}

[[gnu::always_inline]] inline VI laneSelector(int l) {
    VI index;
    for (int i = 0; i < kWidth; ++i) index[i] = i;
    return index == l;
}

// Puts point `point` of the row into lane `one` of vector v, before its
// first step; the lane leaves the loop first after kFirstCyclePower steps,
// when its value is kept for the cycle search, unless it escapes before.
[[gnu::always_inline]] inline void startLane(Lanes& L, LaneBook& b, int v, VI one, int point,
                                              const PointSource& src) {
    double pRe, pIm, cRe, cIm;
    src.start(point, pRe, pIm, cRe, cIm);
    b.point = point;
    b.power = kFirstCyclePower / 2;
    b.saveN = -1;
    b.keptIm = kNoKeptValue;
    setLane(L.zr[v], one, pRe);
    setLane(L.zi[v], one, pIm);
    setLane(L.zr2[v], one, pRe * pRe);
    setLane(L.zi2[v], one, pIm * pIm);
    setLane(L.cr[v], one, cRe);
    setLane(L.ci[v], one, cIm);
    setLane(L.n[v], one, -1LL);
    setLane(L.kept[v], one, static_cast<long long>(kNoKeptValue));
    setLane(L.stop[v], one, static_cast<long long>(std::min(src.tailStart, kFirstCyclePower - 1)));
}

// A lane with no point: z stays 0 for ever, never escapes, never reaches
// its stop and never matches its (NaN) kept value.
[[gnu::always_inline]] inline void parkLane(Lanes& L, LaneBook& b, int v, VI one) {
    b.point = -1;
    setLane(L.zr[v], one, 0.0);
    setLane(L.zi[v], one, 0.0);
    setLane(L.zr2[v], one, 0.0);
    setLane(L.zi2[v], one, 0.0);
    setLane(L.cr[v], one, 0.0);
    setLane(L.ci[v], one, 0.0);
    setLane(L.n[v], one, 0LL);
    setLane(L.stop[v], one, static_cast<long long>(INT64_MIN));
    setLane(L.kept[v], one, static_cast<long long>(kNoKeptValue));
}

// Gives a lane the next point of the row, or parks it. Returns whether the
// lane has work.
[[gnu::always_inline]] inline bool refillLane(Lanes& L, LaneBook& b, int v, VI one, int& next,
                                               const PointSource& src) {
    if (next < src.row.count) {
        startLane(L, b, v, one, next++, src);
        return true;
    }
    parkLane(L, b, v, one);
    return false;
}

// Lane l of vector v left the loop: it escaped, found a cycle, reached the
// renewal of its kept value or its last sixteen steps. Returns whether it
// still has work.
[[gnu::always_inline]] inline bool serviceLane(Lanes& L, LaneBook& b, int v, int l, int& next,
                                                const PointSource& src, OrbitResult* out) {
    const VI one = laneSelector(l);
    const double zr = laneOf(L.zr[v], l), zi = laneOf(L.zi[v], l);
    const double r2 = laneOf(L.zi2[v], l) + laneOf(L.zr2[v], l);
    std::int64_t n = laneOf(L.n[v], l);
    if (r2 > 4) {
        stageEscape(out[b.point], n, zr, zi, laneOf(L.pr[v], l), laneOf(L.pi[v], l), r2);
        return refillLane(L, b, v, one, next, src);
    }
    std::int64_t stop = laneOf(L.stop[v], l);
    if (static_cast<std::uint64_t>(laneOf(L.kept[v], l)) == bitsOf(zr) && b.keptIm == bitsOf(zi)) {
        // z_n is z_saveN again: the orbit runs round this cycle until the end
        // without escaping, so whole rounds are skipped.
        const std::int64_t period = n - b.saveN;
        n += (src.tailStart - n) / period * period;
        stop = src.tailStart;
        b.keptIm = kNoKeptValue;
        b.power = 0;
        setLane(L.n[v], one, static_cast<long long>(n));
        setLane(L.kept[v], one, static_cast<long long>(kNoKeptValue));
        setLane(L.stop[v], one, static_cast<long long>(stop));
    }
    if (n == src.tailStart) {
        stageTail(out[b.point], laneOf(L.cr[v], l), laneOf(L.ci[v], l), zr, zi, n);
        return refillLane(L, b, v, one, next, src);
    }
    if (n == stop) {
        // Brent's method: keep z_n and look for it again over twice as many steps.
        b.keptIm = bitsOf(zi);
        b.saveN = n;
        b.power = b.power < kMaxCyclePower ? b.power * 2 : b.power;
        setLane(L.kept[v], one, static_cast<long long>(bitsOf(zr)));
        setLane(L.stop[v], one, static_cast<long long>(src.tailStart - n < b.power ? src.tailStart : n + b.power));
    }
    return true;
}

bool computeLanes(const PointSource& src, OrbitResult* out, const std::atomic<bool>* cancel) {
    Lanes L;
    LaneBook book[kVectors * kWidth];
    int next = 0;
    int busy = 0;
#pragma GCC unroll 4
    for (int v = 0; v < kVectors; ++v) {
        L.zr[v] = L.zi[v] = L.zr2[v] = L.zi2[v] = L.pr[v] = L.pi[v] = L.cr[v] = L.ci[v] = VD{};
        L.n[v] = L.stop[v] = L.kept[v] = VI{};
        for (int l = 0; l < kWidth; ++l)
            busy += refillLane(L, book[v * kWidth + l], v, laneSelector(l), next, src) ? 1 : 0;
    }

    while (busy > 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        for (int k = 0; k < kStepsBetweenCancelChecks && busy > 0; ++k) {
            unsigned d[kVectors];
            unsigned any = 0;
#pragma GCC unroll 4
            for (int v = 0; v < kVectors; ++v) {
                // Exactly the reference step; the squares of z serve the
                // escape test and the next step alike.
                const VD s = L.zr2[v] - L.zi2[v];
                const VD newIm = L.ci[v] + (L.zr[v] + L.zr[v]) * L.zi[v];
                const VD newRe = L.cr[v] + s;
                L.pr[v] = L.zr[v];
                L.pi[v] = L.zi[v];
                L.zr[v] = newRe;
                L.zi[v] = newIm;
                L.zr2[v] = newRe * newRe;
                L.zi2[v] = newIm * newIm;
                const VD r2 = L.zi2[v] + L.zr2[v];
                L.n[v] += 1;
                d[v] = doneLanes(r2, L.n[v], L.stop[v], (VI)newRe, L.kept[v]);
                any |= d[v];
            }
            if (any == 0) continue;
#pragma GCC unroll 4
            for (int v = 0; v < kVectors; ++v) {
                for (unsigned m = d[v]; m != 0; m &= m - 1) {
                    const int l = __builtin_ctz(m);
                    if (!serviceLane(L, book[v * kWidth + l], v, l, next, src, out)) --busy;
                }
            }
        }
    }
    return true;
}

// The last sixteen steps of up to kWidth interior points at once, from their
// staged value z at the common counter value tailStart to n* = tailStart + 16,
// each value kept for the period search. A point that escapes on the way
// (rare) is finished on its own.
[[gnu::always_inline]] inline void finishTails(OrbitResult* out, const int* points, int count,
                                                const PointSource& src) {
    double zr0[kWidth] = {}, zi0[kWidth] = {}, cr0[kWidth] = {}, ci0[kWidth] = {};
    for (int l = 0; l < count; ++l) {
        const OrbitResult& r = out[points[l]];
        zr0[l] = r.zRe, zi0[l] = r.zIm, cr0[l] = r.prevZRe, ci0[l] = r.prevZIm;
    }
    VD zr, zi, cr, ci, pr{}, pi{}, r2{};
    std::memcpy(&zr, zr0, sizeof zr);
    std::memcpy(&zi, zi0, sizeof zi);
    std::memcpy(&cr, cr0, sizeof cr);
    std::memcpy(&ci, ci0, sizeof ci);
    VD ringRe[16], ringIm[16];  // z at counter value tailStart + 1 + s
    VI escaped{};
    for (int s = 0; s < 16; ++s) {
        pr = zr;
        pi = zi;
        const VD sq = zr * zr - zi * zi;
        const VD newIm = ci + (zr + zr) * zi;
        zr = cr + sq;
        zi = newIm;
        ringRe[s] = zr;
        ringIm[s] = zi;
        r2 = zi * zi + zr * zr;
        escaped |= r2 > 4.0;
    }
    // The period: the smallest i in 1..15 with z_(n*-i) == z_(n*).
    VI period = VI{} + 16, found{};
    for (int i = 1; i <= 15; ++i) {
        const VI match = (ringRe[15 - i] == zr) & (ringIm[15 - i] == zi) & ~found;
        period = match ? (VI{} + i) : period;
        found |= match;
    }
    for (int l = 0; l < count; ++l) {
        OrbitResult& r = out[points[l]];
        r = laneOf(escaped, l) ? finishOrbit(r.prevZRe, r.prevZIm, r.zRe, r.zIm, r.n, src.stopCount)
                               : orbitResultOf(false, src.stopCount, laneOf(zr, l), laneOf(zi, l), laneOf(pr, l),
                                               laneOf(pi, l), laneOf(r2, l), static_cast<int>(laneOf(period, l)));
    }
}

// Completes the staged results of a row: escaped points from their final
// values, interior points kWidth at a time through their last sixteen steps.
void completeRow(OrbitResult* out, const PointSource& src) {
    int points[kWidth];
    int waiting = 0;
    for (int k = 0; k < src.row.count; ++k) {
        OrbitResult& r = out[k];
        if (r.escaped) {
            setLastMove(r);
            r.period = 16;
            continue;
        }
        points[waiting++] = k;
        if (waiting == kWidth) {
            finishTails(out, points, waiting, src);
            waiting = 0;
        }
    }
    if (waiting > 0) finishTails(out, points, waiting, src);
}

bool computeRow(const PointSource& src, OrbitResult* out, const std::atomic<bool>* cancel) {
    if (!computeLanes(src, out, cancel)) return false;
    completeRow(out, src);
    return true;
}
