// The slow standard for deep views: one point iterated directly in MPFR at
// a chosen precision, step for step as computePoint does in doubles. The
// escape test, ring, last move and period use the orbit's values rounded to
// doubles, as the perturbation engine's do.
#pragma once

#include "render/deep/deep_view.h"
#include "render/orbit.h"

namespace qel {

OrbitResult mpfrPoint(const DeepView& view, int x, int y, long precisionBits);

}  // namespace qel
