#include "render/engine_kernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace qel {

namespace {

// How many steps of every vector run between two looks at the cancel flag.
constexpr int kStepsBetweenCancelChecks = 4096;
// A NaN: never the bits of an orbit value, which stay finite.
constexpr std::uint64_t kNoKeptValue = 0x7FF8DEAD0000BEEFull;

std::uint64_t bitsOf(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

// The points of the rows as the vector loop takes them: row i is `first`
// moved i pixels down, and its point k has the result number i * count + k.
struct PointSource {
    const OrbitParams& params;
    RowPoints first;
    int rows;
    std::int64_t stopCount;  // n*
    std::int64_t tailStart;  // the last sixteen steps begin after this counter value

    RowPoints row(int i) const { return RowPoints{first.y - i, first.xFirst, first.xStep, first.count}; }

    void start(int i, int k, double& pRe, double& pIm, double& cRe, double& cIm) const {
        const int x = first.xFirst + k * first.xStep;
        pRe = params.centerX + x * params.pixelSize;
        pIm = params.centerY + (first.y - i) * params.pixelSize;
        cRe = params.julia ? params.cRe : pRe;
        cIm = params.julia ? params.cIm : pIm;
    }
};

// The vector loops only note where a lane ended, with plain stores into the
// point's result (a call there would cost the whole register state). An
// escaped point gets its final result at once; an interior one its value
// z_n before the last sixteen steps and, in the places of prevZ, its
// constant, and is completed after the loops (completeRows).
[[gnu::always_inline]] inline void stageEscape(OrbitResult& r, std::int64_t n, double zRe, double zIm,
                                               double prevZRe, double prevZIm, double r2) {
    r.escaped = true;
    r.n = n;
    r.zRe = zRe;
    r.zIm = zIm;
    r.prevZRe = prevZRe;
    r.prevZIm = prevZIm;
    r.r2 = r2;
    setLastMove(r);
    r.period = 16;
}

[[gnu::always_inline]] inline void stageTail(OrbitResult& r, double cRe, double cIm, double zRe, double zIm,
                                             std::int64_t n) {
    r.escaped = false;
    r.n = n;
    r.zRe = zRe;
    r.zIm = zIm;
    r.prevZRe = cRe;
    r.prevZIm = cIm;
}

}  // namespace

OrbitResult finishOrbit(double cRe, double cIm, double zRe, double zIm, std::int64_t n,
                        std::int64_t stopCount) {
    OrbitRing ring;
    double prevZRe = zRe, prevZIm = zIm, r2 = 0.0;
    for (;;) {
        prevZRe = zRe;
        prevZIm = zIm;
        const double s = zRe * zRe - zIm * zIm;
        const double newIm = cIm + (zRe + zRe) * zIm;
        zRe = cRe + s;
        zIm = newIm;
        ++n;
        ring.re[static_cast<std::size_t>(n & 15)] = zRe;
        ring.im[static_cast<std::size_t>(n & 15)] = zIm;
        r2 = zIm * zIm + zRe * zRe;
        if (r2 > 4) return orbitResultOf(true, n, zRe, zIm, prevZRe, prevZIm, r2, 16);
        if (n >= stopCount) break;
    }
    return orbitResultOf(false, n, zRe, zIm, prevZRe, prevZIm, r2, orbitPeriod(ring, n, zRe, zIm));
}

// ---------------------------------------------------------------------------
// The vector loop, once per instruction set.

#if defined(__x86_64__)

#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq")
namespace avx512 {
constexpr int kWidth = 8;
constexpr int kVectors = 4;
typedef double VD __attribute__((vector_size(64)));
typedef long long VI __attribute__((vector_size(64)));
// Compared straight into mask registers.
inline unsigned eventLanes(VD r2, VI reBits, VI imBits, VI keptRe, VI keptIm) {
    const __mmask8 sameRe = _mm512_cmpeq_epi64_mask(reinterpret_cast<__m512i>(reBits), reinterpret_cast<__m512i>(keptRe));
    return _mm512_cmp_pd_mask(reinterpret_cast<__m512d>(r2), _mm512_set1_pd(4.0), _CMP_GT_OQ) |
           _mm512_mask_cmpeq_epi64_mask(sameRe, reinterpret_cast<__m512i>(imBits), reinterpret_cast<__m512i>(keptIm));
}
inline unsigned sameLanes(VI a, VI b) {
    return _mm512_cmpeq_epi64_mask(reinterpret_cast<__m512i>(a), reinterpret_cast<__m512i>(b));
}
// Lane sets are mask registers.
typedef __mmask8 Mask;
inline Mask firstLanes(int k) { return static_cast<Mask>(k >= kWidth ? 0xFF : (1u << std::max(k, 0)) - 1); }
inline VD pick(Mask m, VD a, VD b) {
    return reinterpret_cast<VD>(_mm512_mask_mov_pd(reinterpret_cast<__m512d>(b), m, reinterpret_cast<__m512d>(a)));
}
inline VI pick(Mask m, VI a, VI b) {
    return reinterpret_cast<VI>(
        _mm512_mask_mov_epi64(reinterpret_cast<__m512i>(b), m, reinterpret_cast<__m512i>(a)));
}
inline Mask stayingLanes(Mask m, VD r2) {
    return _mm512_mask_cmp_pd_mask(m, reinterpret_cast<__m512d>(r2), _mm512_set1_pd(4.0), _CMP_LE_OQ);
}
inline int laneCount(Mask m) { return __builtin_popcount(m); }
namespace {
#include "render/engine_lanes.inl"
}  // namespace
}  // namespace avx512
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
constexpr int kWidth = 4;
constexpr int kVectors = 6;
typedef double VD __attribute__((vector_size(32)));
typedef long long VI __attribute__((vector_size(32)));
inline unsigned laneBits(VI mask) {
    return static_cast<unsigned>(_mm256_movemask_pd(reinterpret_cast<__m256d>(mask)));
}
#include "render/engine_vector_masks.inl"
namespace {
#include "render/engine_lanes.inl"
}  // namespace
}  // namespace avx2
#pragma GCC pop_options

#endif

// Two lanes: SSE2 on every x86-64, plain vector code elsewhere.
namespace narrow {
constexpr int kWidth = 2;
constexpr int kVectors = 4;
typedef double VD __attribute__((vector_size(16)));
typedef long long VI __attribute__((vector_size(16)));
inline unsigned laneBits(VI mask) {
#if defined(__x86_64__)
    return static_cast<unsigned>(_mm_movemask_pd(reinterpret_cast<__m128d>(mask)));
#else
    return (mask[0] != 0 ? 1u : 0u) | (mask[1] != 0 ? 2u : 0u);
#endif
}
#include "render/engine_vector_masks.inl"
namespace {
#include "render/engine_lanes.inl"
}  // namespace
}  // namespace narrow

int runnableInstructionSets(InstructionSet* out, int capacity) {
    int count = 0;
    auto add = [&](InstructionSet isa) {
        if (count < capacity) out[count++] = isa;
    };
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq"))
        add(InstructionSet::Avx512);
    if (__builtin_cpu_supports("avx2")) add(InstructionSet::Avx2);
    add(InstructionSet::Sse2);
#else
    add(InstructionSet::Portable);
#endif
    return count;
}

InstructionSet bestInstructionSet() {
    static const InstructionSet best = [] {
        InstructionSet isa[4];
        runnableInstructionSets(isa, 4);
        return isa[0];
    }();
    return best;
}

const char* instructionSetName(InstructionSet isa) {
    switch (isa) {
        case InstructionSet::Avx512: return "AVX-512";
        case InstructionSet::Avx2: return "AVX2";
        case InstructionSet::Sse2: return "SSE2";
        case InstructionSet::Portable: break;
    }
    return "portable";
}

bool computeRowExact(const OrbitParams& params, const RowPoints& row, OrbitResult* out,
                     InstructionSet isa, const std::atomic<bool>* cancel) {
    return computeRowsExact(params, row, 1, out, isa, cancel);
}

bool computeRowsExact(const OrbitParams& params, const RowPoints& first, int rows, OrbitResult* out,
                      InstructionSet isa, const std::atomic<bool>* cancel) {
    const std::int64_t stopCount = interiorStopCount(params.maxIter);
    const PointSource src{params, first, std::max(rows, 0), stopCount, stopCount - 16};
    if (src.tailStart < 0) {
        // Sixteen steps or fewer: nothing for the vector loop to do.
        for (int i = 0; i < src.rows; ++i) {
            for (int k = 0; k < first.count; ++k) {
                double pRe, pIm, cRe, cIm;
                src.start(i, k, pRe, pIm, cRe, cIm);
                out[i * first.count + k] = finishOrbit(cRe, cIm, pRe, pIm, -1, stopCount);
            }
        }
        return true;
    }
    switch (isa) {
#if defined(__x86_64__)
        case InstructionSet::Avx512: return avx512::computeRows(src, out, cancel);
        case InstructionSet::Avx2: return avx2::computeRows(src, out, cancel);
#endif
        default: return narrow::computeRows(src, out, cancel);
    }
}

}  // namespace qel
