// The fast exact kernel: computes whole rows of points with the processor's
// vector unit, several independent vectors in flight, and gives for every
// point the very OrbitResult that computePoint gives.
//
// Why the results stay identical although the kernel keeps no shared ring:
// every interior point of a drawing stops at the same counter value n* (the
// first n >= 0 with n > maxIter), and a point writes only the ring slots
// 0..(its final n) mod 16. So when n* >= 15 the period search of an interior
// point reads only values that point wrote itself, and when n* < 15 it reads
// its own values and slots above n* that no point of the drawing ever
// writes, which keep their initial 0. Each point is therefore computed with
// a fresh ring of its own; only its last sixteen steps write one.
//
// Orbits that settle on an exact cycle are shortened: once an orbit value
// repeats bit for bit, every later value repeats with the same period (a
// step depends only on the value before it), so whole cycles are skipped
// and only the last period and the last sixteen steps are iterated.
#pragma once

#include <atomic>
#include <cstdint>

#include "render/orbit.h"

namespace qel {

enum class InstructionSet : std::uint8_t { Portable, Sse2, Avx2, Avx512 };

// The widest instruction set this processor runs that the kernel has.
InstructionSet bestInstructionSet();
// "AVX-512", "AVX2", "SSE2" or "portable".
const char* instructionSetName(InstructionSet isa);
// Every instruction set the kernel has that this processor runs, widest first.
int runnableInstructionSets(InstructionSet* out, int capacity);

// The points of one row: pixel offsets x = xFirst + k * xStep for
// k = 0..count-1, all at pixel offset y.
struct RowPoints {
    int y = 0;
    int xFirst = 0;
    int xStep = 1;
    int count = 0;
};

// The orbit from its value z at counter value n (n = -1: z is the point
// itself, before the first step) on to its end, literally, with a ring of its
// own. The whole of computePoint when started at n = -1.
OrbitResult finishOrbit(double cRe, double cIm, double zRe, double zIm, std::int64_t n,
                        std::int64_t stopCount);

// Computes the points of `row` into out[0..count-1] with the given
// instruction set. Returns false, with `out` partly written, when `cancel`
// turned true on the way (it is looked at every few thousand steps).
bool computeRowExact(const OrbitParams& params, const RowPoints& row, OrbitResult* out,
                     InstructionSet isa, const std::atomic<bool>* cancel = nullptr);

// Computes `rows` rows at once: `first` and the rows below it, row i at
// pixel offset y = first.y - i with first's columns, into
// out[i * first.count + k]. The results are those of computeRowExact row by
// row; points of one row wait for a lane less while those of another finish.
bool computeRowsExact(const OrbitParams& params, const RowPoints& first, int rows, OrbitResult* out,
                      InstructionSet isa, const std::atomic<bool>* cancel = nullptr);

}  // namespace qel
