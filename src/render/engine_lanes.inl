// The vector loop of the exact kernel, written once and compiled once per
// instruction set: engine_kernel.cpp includes this file inside a namespace of
// its own under a matching `#pragma GCC target`, after defining
//   kWidth    lanes of one vector,
//   kVectors  independent vectors in flight (to hide the latency of a step),
//   VD, VI    GCC vector types of kWidth doubles and 64-bit integers,
//   laneMask  the bit mask of the lanes of a VI that are not zero.
// No header is included here: everything it needs comes from its includer.

// What a lane does besides the vector state: which point it computes and the
// bookkeeping of the cycle search for it.
struct LaneBook {
    int point = -1;            // index into the row, -1 while idle
    std::int64_t saveN = 0;    // counter value of the kept orbit value
    std::int64_t power = 0;    // steps until the kept value is renewed
    std::uint64_t keptIm = 0;  // bits of the kept value's imaginary part
};

struct Lanes {
    VD zr[kVectors], zi[kVectors];    // the orbit value z_n
    VD zr2[kVectors], zi2[kVectors];  // zr*zr and zi*zi, shared by r2 and the next step
    VD pr[kVectors], pi[kVectors];    // z_(n-1)
    VD cr[kVectors], ci[kVectors];    // the constant
    VI n[kVectors];                   // counter value of z_n
    VI stop[kVectors];                // the lane leaves the loop at this counter value
    VI kept[kVectors];                // bits of the kept value's real part
    VI done[kVectors];
    LaneBook book[kVectors * kWidth];
};

// A lane with no point: z stays 0 for ever, never escapes, never reaches
// its stop and never matches its (NaN) kept value.
inline void parkLane(Lanes& L, int v, int l) {
    L.book[v * kWidth + l].point = -1;
    L.zr[v][l] = L.zi[v][l] = L.zr2[v][l] = L.zi2[v][l] = 0.0;
    L.pr[v][l] = L.pi[v][l] = L.cr[v][l] = L.ci[v][l] = 0.0;
    L.n[v][l] = 0;
    L.stop[v][l] = INT64_MIN;
    L.kept[v][l] = static_cast<long long>(kNoKeptValue);
}

inline void keepValue(Lanes& L, int v, int l, std::int64_t tailStart) {
    LaneBook& b = L.book[v * kWidth + l];
    const std::int64_t n = L.n[v][l];
    L.kept[v][l] = static_cast<long long>(bitsOf(L.zr[v][l]));
    b.keptIm = bitsOf(L.zi[v][l]);
    b.saveN = n;
    b.power = b.power < kMaxCyclePower ? b.power * 2 : b.power;
    L.stop[v][l] = tailStart - n < b.power ? tailStart : n + b.power;
}

// Puts point `point` of the row into a lane, before its first step.
inline void startLane(Lanes& L, int v, int l, int point, const PointSource& src) {
    LaneBook& b = L.book[v * kWidth + l];
    b.point = point;
    double pRe, pIm, cRe, cIm;
    src.start(point, pRe, pIm, cRe, cIm);
    L.zr[v][l] = pRe;
    L.zi[v][l] = pIm;
    L.zr2[v][l] = pRe * pRe;
    L.zi2[v][l] = pIm * pIm;
    L.pr[v][l] = pRe;
    L.pi[v][l] = pIm;
    L.cr[v][l] = cRe;
    L.ci[v][l] = cIm;
    L.n[v][l] = -1;
    // The first value is kept after kFirstCyclePower steps; until then only
    // escape stops the lane.
    b.power = kFirstCyclePower / 2;
    b.saveN = -1;
    b.keptIm = kNoKeptValue;
    L.kept[v][l] = static_cast<long long>(kNoKeptValue);
    L.stop[v][l] = src.tailStart < kFirstCyclePower - 1 ? src.tailStart : kFirstCyclePower - 1;
}

// Gives a lane the next point of the row, or parks it. Returns whether the
// lane has work.
inline bool refillLane(Lanes& L, int v, int l, int& next, const PointSource& src) {
    if (next < src.row.count) {
        startLane(L, v, l, next++, src);
        return true;
    }
    parkLane(L, v, l);
    return false;
}

// A lane left the loop: it escaped, found a cycle, reached the renewal of
// its kept value or the last sixteen steps. Returns whether it still has work.
inline bool serviceLane(Lanes& L, int v, int l, int& next, const PointSource& src,
                        OrbitResult* out) {
    LaneBook& b = L.book[v * kWidth + l];
    const double r2 = L.zi2[v][l] + L.zr2[v][l];
    if (r2 > 4) {
        out[b.point] = orbitResultOf(true, L.n[v][l], L.zr[v][l], L.zi[v][l], L.pr[v][l],
                                     L.pi[v][l], r2, 16);
        return refillLane(L, v, l, next, src);
    }
    if (static_cast<std::uint64_t>(L.kept[v][l]) == bitsOf(L.zr[v][l]) &&
        b.keptIm == bitsOf(L.zi[v][l])) {
        // z_n is z_saveN again: the orbit runs round this cycle until the end
        // without escaping, so whole rounds are skipped.
        const std::int64_t n = L.n[v][l];
        const std::int64_t period = n - b.saveN;
        L.n[v][l] = n + (src.tailStart - n) / period * period;
        L.kept[v][l] = static_cast<long long>(kNoKeptValue);
        b.keptIm = kNoKeptValue;
        b.power = 0;
        L.stop[v][l] = src.tailStart;
    }
    if (L.n[v][l] == src.tailStart) {
        out[b.point] = finishOrbit(L.cr[v][l], L.ci[v][l], L.zr[v][l], L.zi[v][l], L.n[v][l],
                                   src.stopCount);
        return refillLane(L, v, l, next, src);
    }
    if (L.n[v][l] == L.stop[v][l]) keepValue(L, v, l, src.tailStart);
    return true;
}

// One step of every lane of vector v: exactly the reference step, with the
// squares of z shared between the escape test and the next step.
[[gnu::always_inline]] inline void stepVector(Lanes& L, int v) {
    const VD s = L.zr2[v] - L.zi2[v];
    const VD twice = L.zr[v] + L.zr[v];
    const VD newIm = L.ci[v] + twice * L.zi[v];
    const VD newRe = L.cr[v] + s;
    L.pr[v] = L.zr[v];
    L.pi[v] = L.zi[v];
    L.zr[v] = newRe;
    L.zi[v] = newIm;
    L.zr2[v] = newRe * newRe;
    L.zi2[v] = newIm * newIm;
    const VD r2 = L.zi2[v] + L.zr2[v];
    L.n[v] += 1;
    L.done[v] = (r2 > 4.0) | (L.n[v] == L.stop[v]) | ((VI)newRe == L.kept[v]);
}

bool computeLanes(const PointSource& src, OrbitResult* out, const std::atomic<bool>* cancel) {
    Lanes L;
    int next = 0;
    int busy = 0;
    for (int v = 0; v < kVectors; ++v)
        for (int l = 0; l < kWidth; ++l) busy += refillLane(L, v, l, next, src) ? 1 : 0;

    while (busy > 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        for (int k = 0; k < kStepsBetweenCancelChecks; ++k) {
            VI any = VI{};
            for (int v = 0; v < kVectors; ++v) {
                stepVector(L, v);
                any |= L.done[v];
            }
            if (laneMask(any) == 0) continue;
            for (int v = 0; v < kVectors; ++v) {
                for (unsigned m = laneMask(L.done[v]); m != 0; m &= m - 1) {
                    const int l = __builtin_ctz(m);
                    if (!serviceLane(L, v, l, next, src, out)) --busy;
                }
            }
            if (busy == 0) break;
        }
    }
    return true;
}
