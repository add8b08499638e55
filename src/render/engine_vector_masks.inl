// Lane sets as vectors of all-ones and all-zero lanes, for the instruction
// sets without mask registers: engine_kernel.cpp includes this file inside
// the namespace of such an instruction set, after defining kWidth, VD, VI and
// laneBits (the bit mask of the set lanes of a mask vector).
// No header is included here: everything it needs comes from its includer.

inline unsigned eventLanes(VD r2, VI reBits, VI imBits, VI keptRe, VI keptIm) {
    return laneBits((r2 > 4.0) | ((reBits == keptRe) & (imBits == keptIm)));
}
inline unsigned sameLanes(VI a, VI b) { return laneBits(a == b); }

typedef VI Mask;

inline Mask firstLanes(int k) {
    VI lane;
    for (int i = 0; i < kWidth; ++i) lane[i] = i;
    return lane < k;
}

template <class V>
inline V pick(Mask m, V a, V b) {
    return m ? a : b;
}

inline Mask stayingLanes(Mask m, VD r2) { return m & (r2 <= 4.0); }
inline int laneCount(Mask m) { return __builtin_popcount(laneBits(m)); }
