// The vector loop of the exact kernel, written once and compiled once per
// instruction set: engine_kernel.cpp includes this file inside a namespace of
// its own under a matching `#pragma GCC target`, after defining
//   kWidth    lanes of one vector,
//   kVectors  independent vectors in flight (to hide the latency of a step),
//   VD, VI    GCC vector types of kWidth doubles and 64-bit integers,
//   eventLanes the bit mask of the lanes that escaped (r2 > 4) or whose value
//             has the bits of the kept one in both parts,
//   sameLanes the bit mask of the lanes where two integer vectors are equal,
//   Mask      a set of lanes, with firstLanes(k) (lanes 0..k-1), pick(m, a, b)
//             (a in the lanes of m, b elsewhere), stayingLanes(m, r2) (the
//             lanes of m with r2 <= 4) and laneCount.
// No header is included here: everything it needs comes from its includer.

// A point goes through two loops. The short loop runs a group of kGroup
// neighbouring points side by side from their first step, each lane keeping
// its last value before it escapes, while at least a quarter of the lanes
// are still busy (and for at least kShortSteps, at most kShortStepsAtMost
// steps): most points of a view escape there, with no bookkeeping per point
// at all, as neighbours mostly escape after about as many steps. The points
// still inside after those steps go on in the long loop, whose lanes take a
// new point as soon as one finishes, and which skips the rounds of orbits
// that have settled on an exact cycle.
constexpr int kGroup = kVectors * kWidth;
constexpr std::int64_t kShortSteps = 32;
constexpr std::int64_t kShortStepsAtMost = 64;
// The long loop keeps every lane's value once in this many steps and looks
// for it again at every step: a cycle of at most this length is found
// within two such spans after the orbit has settled on it. Longer cycles
// are iterated to the end, which costs time and changes nothing.
constexpr std::int64_t kCycleWatchSpan = 64;

// Runs f(v) for v = 0 .. kVectors-1, written out: every index into the
// arrays of vectors is a constant, so they live in registers.
template <class F>
[[gnu::always_inline]] inline void eachVector(F&& f) {
    [&]<int... v>(std::integer_sequence<int, v...>) {
        (f(v), ...);
    }(std::make_integer_sequence<int, kVectors>{});
}

template <class V, class T>
[[gnu::always_inline]] inline V loadLanes(const T* from) {
    V v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

template <class V, class T>
[[gnu::always_inline]] inline void storeLanes(T* to, V v) {
    std::memcpy(to, &v, sizeof v);
}

// The points still inside after the short loop, waiting for a lane of the
// long loop; their value and counter are staged in their results.
struct Waiting {
    int points[kGroup];
    int count = 0;
    int taken = 0;
    bool empty() const { return taken == count; }
};

// Runs the short loop over the group of points first .. first + kGroup - 1
// of `row` (fewer at the row's end), whose results are out[base + k] for its
// point k. Escaped points are staged as escaped; the others are staged with
// their value at the counter value where the loop ended, as a tail when that
// is the tail's start, otherwise they wait for the long loop.
void runShortGroup(const PointSource& src, const RowPoints& row, int base, int first, OrbitResult* out,
                   Waiting& waiting) {
    const std::int64_t lastN = std::min(kShortStepsAtMost - 1, src.tailStart);
    const int count = std::min(kGroup, row.count - first);
    const OrbitParams& o = src.params;
    // Pixel offsets are whole numbers, exact as doubles: x * pixelSize is
    // the reference's product. Lanes past the row's end compute nothing.
    VD laneIndex;
    for (int l = 0; l < kWidth; ++l) laneIndex[l] = l;
    const double pIm = o.centerY + row.y * o.pixelSize;
    // The constants stay in memory, read once a step, so that the lanes'
    // values have the registers.
    alignas(64) double cr0[kGroup], ci0[kGroup];
    VD zr[kVectors], zi[kVectors], zr2[kVectors], zi2[kVectors], insideRe[kVectors], insideIm[kVectors];
    VI lastInside[kVectors];  // the last counter value at which the lane was inside
    Mask live[kVectors];
    eachVector([&](int v) __attribute__((always_inline)) {
        const double x0 = row.xFirst + static_cast<double>(first + v * kWidth) * row.xStep;
        const VD x = x0 + laneIndex * static_cast<double>(row.xStep);
        zr[v] = o.centerX + x * o.pixelSize;
        zi[v] = VD{} + pIm;
        storeLanes(cr0 + v * kWidth, o.julia ? VD{} + o.cRe : zr[v]);
        storeLanes(ci0 + v * kWidth, o.julia ? VD{} + o.cIm : zi[v]);
        zr2[v] = zr[v] * zr[v];
        zi2[v] = zi[v] * zi[v];
        insideRe[v] = zr[v];
        insideIm[v] = zi[v];
        live[v] = firstLanes(count - v * kWidth);
        lastInside[v] = VI{} - 1;
    });
    // Every lane steps on, escaped or not, so that no selection lies in the
    // way from one step to the next; aside, a lane keeps its last value
    // inside (the value before its escaping step, which is done again when
    // it is staged). An escaped lane's values run wild, to no number in the
    // end, and are never looked at. The squares of z serve the escape test
    // and the next step alike. Lanes are counted once per few steps only.
    constexpr long long kStepsBetweenLooks = 4;
    long long n = -1;  // the counter value of z in the busy lanes
    for (;;) {
        const long long stepsEnd = std::min<long long>(n + kStepsBetweenLooks, lastN);
        while (n < stepsEnd) {
            ++n;
            eachVector([&](int v) __attribute__((always_inline)) {
                const VD cr = loadLanes<VD>(cr0 + v * kWidth), ci = loadLanes<VD>(ci0 + v * kWidth);
                // Exactly the reference step.
                const VD s = zr2[v] - zi2[v];
                const VD newIm = ci + (zr[v] + zr[v]) * zi[v];
                const VD newRe = cr + s;
                zr[v] = newRe;
                zi[v] = newIm;
                zr2[v] = newRe * newRe;
                zi2[v] = newIm * newIm;
                live[v] = stayingLanes(live[v], zi2[v] + zr2[v]);
                insideRe[v] = pick(live[v], newRe, insideRe[v]);
                insideIm[v] = pick(live[v], newIm, insideIm[v]);
                lastInside[v] = pick(live[v], VI{} + n, lastInside[v]);
            });
        }
        int liveLanes = 0;
        for (int v = 0; v < kVectors; ++v) liveLanes += laneCount(live[v]);
        if (n == lastN || liveLanes == 0) break;
        if (n >= kShortSteps - 1 && 4 * liveLanes <= kGroup) break;
    }
    // Every lane's escaping step, needed by those that escaped.
    alignas(64) double zr0[kGroup], zi0[kGroup], escRe[kGroup], escIm[kGroup];
    alignas(64) long long lastInside0[kGroup];
    eachVector([&](int v) __attribute__((always_inline)) {
        const VD cr = loadLanes<VD>(cr0 + v * kWidth), ci = loadLanes<VD>(ci0 + v * kWidth);
        const VD inRe = insideRe[v], inIm = insideIm[v];
        storeLanes(zr0 + v * kWidth, inRe);
        storeLanes(zi0 + v * kWidth, inIm);
        storeLanes(lastInside0 + v * kWidth, lastInside[v]);
        const VD sq = inRe * inRe - inIm * inIm;
        storeLanes(escIm + v * kWidth, ci + (inRe + inRe) * inIm);
        storeLanes(escRe + v * kWidth, cr + sq);
    });
    for (int k = 0; k < count; ++k) {
        const int point = base + first + k;
        if (lastInside0[k] < n) {
            stageEscape(out[point], lastInside0[k] + 1, escRe[k], escIm[k], zr0[k], zi0[k],
                        escIm[k] * escIm[k] + escRe[k] * escRe[k]);
            continue;
        }
        stageTail(out[point], cr0[k], ci0[k], zr0[k], zi0[k], n);
        if (n < src.tailStart) waiting.points[waiting.count++] = point;
    }
}

// The lanes of the long loop between two runs of it; the loop itself keeps
// them in registers. A lane's counter value is the loop's clock minus its
// base, so running the loop changes no lane's bookkeeping.
struct LongLanes {
    alignas(64) double zr[kGroup], zi[kGroup], pr[kGroup], pi[kGroup], cr[kGroup], ci[kGroup];
    alignas(64) long long kept[kGroup];   // bits of the real part of the kept value
    alignas(64) long long keptIm[kGroup];  // and of its imaginary part
    alignas(64) long long watch[kGroup];  // all ones: the lane is looked at for a cycle
    alignas(64) long long base[kGroup];
    int point[kGroup];  // index into the results, -1 while idle
    std::int64_t clock = 0;

    std::int64_t n(int l) const { return clock - base[l]; }
    // Steps until the first busy lane reaches counter value `last`.
    std::int64_t stepsUntil(std::int64_t last) const {
        VI lowest = loadLanes<VI>(base);
        for (int v = 1; v < kVectors; ++v) {
            const VI b = loadLanes<VI>(base + v * kWidth);
            lowest = b < lowest ? b : lowest;
        }
        std::int64_t least = lowest[0];
        for (int l = 1; l < kWidth; ++l) least = std::min<std::int64_t>(least, lowest[l]);
        return last - (clock - least);
    }
};

// Where the rows stand: the short loop's next row and group, and the points
// it left waiting. The long loop runs on from one row into the next, so its
// lanes do not idle at the end of every row while its last points finish.
struct RowFeed {
    const PointSource& src;
    OrbitResult* out;
    int nextRow = 0;
    int nextGroup = 0;
    Waiting waiting;

    // The next point for the long loop, or -1 when the rows have no more.
    int next() {
        while (waiting.empty() && nextRow < src.rows && src.first.count > 0) {
            waiting.count = waiting.taken = 0;
            runShortGroup(src, src.row(nextRow), nextRow * src.first.count, nextGroup, out, waiting);
            nextGroup += kGroup;
            if (nextGroup >= src.first.count) {
                nextGroup = 0;
                ++nextRow;
            }
        }
        return waiting.empty() ? -1 : waiting.points[waiting.taken++];
    }
};

// Lane l takes point `point` (staged at its counter value), or idles with
// z = 0 for ever, never escaping and never watched.
void startLongLane(LongLanes& L, int l, int point, const OrbitResult* out) {
    L.point[l] = point;
    L.kept[l] = static_cast<long long>(kNoKeptValue);
    L.keptIm[l] = 0;
    if (point < 0) {
        L.zr[l] = L.zi[l] = L.pr[l] = L.pi[l] = L.cr[l] = L.ci[l] = 0.0;
        L.watch[l] = 0;
        L.base[l] = INT64_MAX / 2;  // never reaches the tail, never limits a run
        return;
    }
    const OrbitResult& r = out[point];
    L.zr[l] = L.pr[l] = r.zRe;
    L.zi[l] = L.pi[l] = r.zIm;
    L.cr[l] = r.prevZRe;
    L.ci[l] = r.prevZIm;
    L.watch[l] = -1;
    L.base[l] = L.clock - r.n;
}

// Every watched lane keeps its value, at the clock's multiple of
// kCycleWatchSpan.
void renewKeptValues(LongLanes& L) {
    for (int l = 0; l < kGroup; ++l) {
        L.kept[l] = L.watch[l] != 0 ? static_cast<long long>(bitsOf(L.zr[l])) : static_cast<long long>(kNoKeptValue);
        L.keptIm[l] = static_cast<long long>(bitsOf(L.zi[l]));
    }
}

// One literal step of lane l's orbit from z, in place.
[[gnu::always_inline]] inline void stepLane(const LongLanes& L, int l, double& zr, double& zi) {
    const double s = zr * zr - zi * zi;
    const double newIm = L.ci[l] + (zr + zr) * zi;
    zr = L.cr[l] + s;
    zi = newIm;
}

// z_n of lane l is the value it kept `span` steps before: the orbit runs
// round a cycle of that length until the end without escaping. The lane
// goes straight to the start of its tail, the value there being the one the
// cycle has at that place.
void skipCycle(LongLanes& L, int l, std::int64_t span, std::int64_t tailStart) {
    double zr = L.zr[l], zi = L.zi[l];
    const std::int64_t toTail = tailStart - L.n(l);
    for (std::int64_t k = 0; k < toTail % span; ++k) stepLane(L, l, zr, zi);
    L.zr[l] = zr;
    L.zi[l] = zi;
    L.base[l] -= toTail;
}

// Runs every lane until one escapes or comes back to its kept value, or for
// `steps` steps. The kept values are renewed whenever the clock passes a
// multiple of kCycleWatchSpan. Returns the steps run; `events` gets the
// lanes that escaped or came back at the last of them.
[[gnu::always_inline]] inline std::int64_t runLongLanes(LongLanes& L, std::int64_t steps, unsigned* events) {
    VD zr[kVectors], zi[kVectors], pr[kVectors], pi[kVectors], zr2[kVectors], zi2[kVectors];
#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v) {
        zr[v] = loadLanes<VD>(L.zr + v * kWidth);
        zi[v] = loadLanes<VD>(L.zi + v * kWidth);
        pr[v] = loadLanes<VD>(L.pr + v * kWidth);
        pi[v] = loadLanes<VD>(L.pi + v * kWidth);
        zr2[v] = zr[v] * zr[v];
        zi2[v] = zi[v] * zi[v];
    }
    std::int64_t done = 0;
    unsigned any = 0;
    while (done < steps && any == 0) {
        const std::int64_t span = std::min(steps - done, kCycleWatchSpan - L.clock % kCycleWatchSpan);
        std::int64_t k = 0;
        while (k < span) {
            ++k;
            eachVector([&](int v) __attribute__((always_inline)) {
                const VD cr = loadLanes<VD>(L.cr + v * kWidth), ci = loadLanes<VD>(L.ci + v * kWidth);
                // Exactly the reference step; the squares of z serve the
                // escape test and the next step alike.
                const VD s = zr2[v] - zi2[v];
                const VD newIm = ci + (zr[v] + zr[v]) * zi[v];
                const VD newRe = cr + s;
                pr[v] = zr[v];
                pi[v] = zi[v];
                zr[v] = newRe;
                zi[v] = newIm;
                zr2[v] = newRe * newRe;
                zi2[v] = newIm * newIm;
                events[v] = eventLanes(zi2[v] + zr2[v], (VI)newRe, (VI)newIm, loadLanes<VI>(L.kept + v * kWidth),
                                       loadLanes<VI>(L.keptIm + v * kWidth));
                any |= events[v];
            });
            if (any != 0) break;
        }
        done += k;
        L.clock += k;
        if (any == 0 && L.clock % kCycleWatchSpan == 0) {
#pragma GCC unroll 8
            for (int v = 0; v < kVectors; ++v) {
                const VI watch = loadLanes<VI>(L.watch + v * kWidth);
                storeLanes(L.kept + v * kWidth, ((VI)zr[v] & watch) | (~watch & static_cast<long long>(kNoKeptValue)));
                storeLanes(L.keptIm + v * kWidth, zi[v]);
            }
        }
    }
#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v) {
        storeLanes(L.zr + v * kWidth, zr[v]);
        storeLanes(L.zi + v * kWidth, zi[v]);
        storeLanes(L.pr + v * kWidth, pr[v]);
        storeLanes(L.pi + v * kWidth, pi[v]);
    }
    return done;
}

// Lane l has finished its point, staged in `out`: it takes the next one.
// Returns whether it has one.
[[gnu::always_inline]] inline bool refillLongLane(LongLanes& L, int l, RowFeed& feed) {
    startLongLane(L, l, feed.next(), feed.out);
    return L.point[l] >= 0;
}

// Lane l escaped or came back to its kept value at its last step. Returns
// whether the lane still has work.
bool serviceLongLane(LongLanes& L, int l, RowFeed& feed) {
    const double zr = L.zr[l], zi = L.zi[l], r2 = zi * zi + zr * zr;
    if (r2 > 4) {
        stageEscape(feed.out[L.point[l]], L.n(l), zr, zi, L.pr[l], L.pi[l], r2);
        return refillLongLane(L, l, feed);
    }
    // The value came back to the one kept at the last multiple of
    // kCycleWatchSpan before this step.
    skipCycle(L, l, (L.clock - 1) % kCycleWatchSpan + 1, feed.src.tailStart);
    stageTail(feed.out[L.point[l]], L.cr[l], L.ci[l], L.zr[l], L.zi[l], feed.src.tailStart);
    return refillLongLane(L, l, feed);
}

bool computeLanes(const PointSource& src, OrbitResult* out, const std::atomic<bool>* cancel) {
    RowFeed feed{src, out, 0, 0, Waiting{}};
    LongLanes L;
    int busy = 0;
    for (int l = 0; l < kGroup; ++l) busy += refillLongLane(L, l, feed) ? 1 : 0;
    while (busy > 0) {
        if (L.stepsUntil(src.tailStart) == 0) {
            // Lanes at the start of their tail (idle lanes never are): staged
            // for completeRows.
            const VI baseAtTail = VI{} + static_cast<long long>(L.clock - src.tailStart);
            for (int v = 0; v < kVectors; ++v) {
                for (unsigned m = sameLanes(loadLanes<VI>(L.base + v * kWidth), baseAtTail); m != 0; m &= m - 1) {
                    const int l = v * kWidth + __builtin_ctz(m);
                    stageTail(out[L.point[l]], L.cr[l], L.ci[l], L.zr[l], L.zi[l], src.tailStart);
                    if (!refillLongLane(L, l, feed)) --busy;
                }
            }
            continue;
        }
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        unsigned events[kVectors];
        runLongLanes(L, std::min<std::int64_t>(kStepsBetweenCancelChecks, L.stepsUntil(src.tailStart)), events);
        for (int v = 0; v < kVectors; ++v) {
            for (unsigned m = events[v]; m != 0; m &= m - 1) {
                const int l = v * kWidth + __builtin_ctz(m);
                if (!serviceLongLane(L, l, feed)) --busy;
            }
        }
        // The loop leaves the kept values as they were when it stops for
        // an event on a multiple of the span; they are renewed once the
        // event is dealt with, so that every kept value is the span's.
        if (L.clock % kCycleWatchSpan == 0) renewKeptValues(L);
    }
    return true;
}

// The last sixteen steps of up to kGroup interior points at once, from their
// staged value z at the common counter value tailStart to n* = tailStart + 16,
// each value kept for the period search. A point that escapes on the way
// (rare) is finished on its own.
void finishTails(OrbitResult* out, const int* points, int count, const PointSource& src) {
    alignas(64) double zr0[kGroup] = {}, zi0[kGroup] = {}, cr0[kGroup] = {}, ci0[kGroup] = {};
    for (int l = 0; l < count; ++l) {
        const OrbitResult& r = out[points[l]];
        zr0[l] = r.zRe, zi0[l] = r.zIm, cr0[l] = r.prevZRe, ci0[l] = r.prevZIm;
    }
    VD zr[kVectors], zi[kVectors], cr[kVectors], ci[kVectors], pr[kVectors], pi[kVectors], r2[kVectors];
    VI escaped[kVectors];
    VD ringRe[kVectors][16], ringIm[kVectors][16];  // z at counter value tailStart + 1 + s
    eachVector([&](int v) __attribute__((always_inline)) {
        zr[v] = loadLanes<VD>(zr0 + v * kWidth);
        zi[v] = loadLanes<VD>(zi0 + v * kWidth);
        cr[v] = loadLanes<VD>(cr0 + v * kWidth);
        ci[v] = loadLanes<VD>(ci0 + v * kWidth);
        escaped[v] = VI{};
    });
    for (int s = 0; s < 16; ++s) {
        eachVector([&](int v) __attribute__((always_inline)) {
            pr[v] = zr[v];
            pi[v] = zi[v];
            const VD sq = zr[v] * zr[v] - zi[v] * zi[v];
            const VD newIm = ci[v] + (zr[v] + zr[v]) * zi[v];
            zr[v] = cr[v] + sq;
            zi[v] = newIm;
            ringRe[v][s] = zr[v];
            ringIm[v][s] = zi[v];
            r2[v] = zi[v] * zi[v] + zr[v] * zr[v];
            escaped[v] |= r2[v] > 4.0;
        });
    }
    alignas(64) double zrEnd[kGroup], ziEnd[kGroup], prEnd[kGroup], piEnd[kGroup], r2End[kGroup];
    alignas(64) long long escapedEnd[kGroup], periodEnd[kGroup];
    eachVector([&](int v) __attribute__((always_inline)) {
        // The period: the smallest i in 1..15 with z_(n*-i) == z_(n*).
        VI period = VI{} + 16, found{};
        for (int i = 1; i <= 15; ++i) {
            const VI match = (ringRe[v][15 - i] == zr[v]) & (ringIm[v][15 - i] == zi[v]) & ~found;
            period = match ? (VI{} + i) : period;
            found |= match;
        }
        storeLanes(zrEnd + v * kWidth, zr[v]);
        storeLanes(ziEnd + v * kWidth, zi[v]);
        storeLanes(prEnd + v * kWidth, pr[v]);
        storeLanes(piEnd + v * kWidth, pi[v]);
        storeLanes(r2End + v * kWidth, r2[v]);
        storeLanes(escapedEnd + v * kWidth, escaped[v]);
        storeLanes(periodEnd + v * kWidth, period);
    });
    for (int l = 0; l < count; ++l) {
        OrbitResult& r = out[points[l]];
        // Built in place (a returned record copied over r would be read back
        // whole right after its fields were stored).
        if (escapedEnd[l])
            ::new (static_cast<void*>(&r)) OrbitResult(finishOrbit(r.prevZRe, r.prevZIm, r.zRe, r.zIm, r.n, src.stopCount));
        else
            ::new (static_cast<void*>(&r)) OrbitResult(orbitResultOf(false, src.stopCount, zrEnd[l], ziEnd[l], prEnd[l],
                                                                      piEnd[l], r2End[l], static_cast<int>(periodEnd[l])));
    }
}

// Completes the staged interior points of the rows, kGroup at a time through
// their last sixteen steps; escaped points are complete already.
void completeRows(OrbitResult* out, const PointSource& src) {
    int points[kGroup];
    int waiting = 0;
    for (int k = 0; k < src.rows * src.first.count; ++k) {
        if (out[k].escaped) continue;
        points[waiting++] = k;
        if (waiting == kGroup) {
            finishTails(out, points, waiting, src);
            waiting = 0;
        }
    }
    if (waiting > 0) finishTails(out, points, waiting, src);
}

bool computeRows(const PointSource& src, OrbitResult* out, const std::atomic<bool>* cancel) {
    if (!computeLanes(src, out, cancel)) return false;
    completeRows(out, src);
    return true;
}
