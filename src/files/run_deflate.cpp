#include "files/run_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qel {

namespace {

constexpr int kEndOfBlock = 256;
constexpr int kLiteralLengthSymbols = 286;
constexpr std::size_t kBlockTokens = std::size_t{1} << 15;  // symbols a block holds at most
constexpr std::size_t kHandOnEvery = std::size_t{1} << 16;  // bytes kept before they go out
constexpr std::size_t kLongestMatch = 258;
// The most bytes a block makes: a length's code, extra bits and distance
// take at most 15 + 5 + 1 bits, a header well under 1 KB (its 288 code
// lengths at most 7 + 7 bits each), and an empty stored block may follow.
constexpr std::size_t kMostBlockBytes = kBlockTokens * 21 / 8 + 1024;

// The length symbols 257..285: the shortest length of each and its extra bits.
constexpr std::array<int, 29> kLengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtraBits{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                               2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// The order in which a block's header gives the code lengths' own code.
constexpr std::array<int, 19> kCodeLengthOrder{16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The token of a match of `length` (3..258): its symbol, and above bit 9
// the value of its extra bits. 258 has a symbol of its own.
std::uint32_t lengthToken(std::size_t length) {
    static const std::array<std::uint32_t, kLongestMatch + 1> table = [] {
        std::array<std::uint32_t, kLongestMatch + 1> t{};
        for (std::size_t code = 0; code + 1 < kLengthBase.size(); ++code)
            for (int extra = 0; extra < (1 << kLengthExtraBits[code]); ++extra) {
                const auto length = static_cast<std::size_t>(kLengthBase[code] + extra);
                if (length < kLongestMatch) t[length] = static_cast<std::uint32_t>(257 + code) | static_cast<std::uint32_t>(extra) << 9;
            }
        t[kLongestMatch] = 285;
        return t;
    }();
    return table[length];
}

// The number of bytes from `bytes` on that equal `value`, eight at a time.
std::size_t runOf(const std::uint8_t* bytes, std::size_t size, std::uint8_t value) {
    const std::uint64_t pattern = value * 0x0101010101010101ull;
    std::size_t k = 0;
    for (; k + 8 <= size; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + k, 8);
        if (const std::uint64_t differ = word ^ pattern) return k + static_cast<std::size_t>(__builtin_ctzll(differ)) / 8;
    }
    while (k < size && bytes[k] == value) ++k;
    return k;
}

// Huffman code lengths for `frequencies`, none longer than `limit`; a
// symbol of frequency 0 gets none. Where the code would be longer, the
// frequencies are flattened (halved, staying above 0) and the code made
// again. At least two frequencies must be above 0, so the code is complete.
std::vector<std::uint8_t> codeLengths(std::vector<std::uint32_t> frequencies, int limit) {
    const std::size_t n = frequencies.size();
    std::vector<std::uint8_t> lengths(n, 0);
    for (;;) {
        // The two lightest nodes are joined until one is left, the lighter
        // (then the lower numbered) first. The leaves wait sorted, and the
        // nodes joined come out no lighter than those before them, so the
        // lightest is always at the front of one of the two lines.
        using Node = std::pair<std::uint64_t, std::size_t>;  // weight, node
        std::vector<Node> leaves, joined;
        for (std::size_t i = 0; i < n; ++i)
            if (frequencies[i] > 0) leaves.push_back({frequencies[i], i});
        std::sort(leaves.begin(), leaves.end());
        std::size_t nextLeaf = 0, nextJoined = 0;
        const auto lightest = [&] {
            if (nextLeaf < leaves.size() && (nextJoined == joined.size() || leaves[nextLeaf] < joined[nextJoined]))
                return leaves[nextLeaf++];
            return joined[nextJoined++];
        };
        std::vector<std::size_t> parent(2 * n, 0);
        std::size_t next = n;
        while (leaves.size() - nextLeaf + joined.size() - nextJoined > 1) {
            const Node a = lightest(), b = lightest();
            parent[a.second] = parent[b.second] = next;
            joined.push_back({a.first + b.first, next++});
        }
        // Parents come after their children: depths from the root down.
        std::vector<int> depth(next, 0);
        for (std::size_t k = next - 1; k-- > 0;)
            if (k >= n || frequencies[k] > 0) depth[k] = depth[parent[k]] + 1;
        int longest = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (frequencies[i] > 0) longest = std::max(longest, depth[i]);
        if (longest <= limit) {
            for (std::size_t i = 0; i < n; ++i) lengths[i] = frequencies[i] > 0 ? static_cast<std::uint8_t>(depth[i]) : 0;
            return lengths;
        }
        for (auto& f : frequencies)
            if (f > 0) f = (f >> 1) | 1;
    }
}

// The canonical codes of `lengths`, bit-reversed, since deflate sends a
// code's first bit first and the bit writer fills from the low end.
std::vector<std::uint32_t> codesOf(const std::vector<std::uint8_t>& lengths) {
    std::array<std::uint32_t, 16> count{}, next{};
    for (std::uint8_t l : lengths)
        if (l > 0) ++count[l];
    std::uint32_t code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + count[static_cast<std::size_t>(bits - 1)]) << 1;
        next[static_cast<std::size_t>(bits)] = code;
    }
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        const int l = lengths[s];
        if (l == 0) continue;
        const std::uint32_t c = next[static_cast<std::size_t>(l)]++;
        std::uint32_t reversed = 0;
        for (int i = 0; i < l; ++i) reversed |= ((c >> i) & 1u) << (l - 1 - i);
        codes[s] = reversed;
    }
    return codes;
}

// Two symbols at least in a code, so that it is complete: `fallback`
// (or the symbol after it) gets a frequency if fewer have one.
void atLeastTwoSymbols(std::vector<std::uint32_t>& frequencies, std::size_t fallback) {
    const auto used = std::count_if(frequencies.begin(), frequencies.end(), [](std::uint32_t f) { return f > 0; });
    if (used >= 2) return;
    if (frequencies[fallback] == 0)
        frequencies[fallback] = 1;
    else
        frequencies[fallback + 1] = 1;
}

}  // namespace

RunDeflater::RunDeflater(Output out)
    : out_(std::move(out)), tokens_(kBlockTokens), frequencies_(kLiteralLengthSymbols, 0),
      bytes_(kHandOnEvery + kMostBlockBytes) {}

bool RunDeflater::add(const std::uint8_t* bytes, std::size_t size) {
    std::size_t i = 0;
    if (size > 0 && !hasPrevious_) literal(bytes[i++]);
    while (ok_ && i < size) {
        // Past the first byte, the previous one is bytes[i - 1]: the bytes
        // before the next run go out as literals sixteen at a time.
        if (i > 0) {
            const std::size_t literals = literalsBeforeRun(bytes + i, size - i);
            if (literals > 0) {
                literalsOf(bytes + i, literals);
                i += literals;
                continue;
            }
        }
        const std::uint8_t byte = bytes[i];
        if (byte == previous_) {
            const std::size_t length = runOf(bytes + i, size - i, byte);
            if (length >= 3) {
                run(length);
                i += length;
                continue;
            }
        }
        literal(byte);
        ++i;
    }
    return ok_;
}

// Up to 16 bytes from `bytes` on (whose byte before is bytes[-1]) that no
// run starts at: a run starts where a byte and the two after it equal the
// one before. 0 where a run starts at once, or too few bytes are left.
std::size_t RunDeflater::literalsBeforeRun(const std::uint8_t* bytes, std::size_t left) {
#if defined(__SSE2__)
    if (left < 18) return 0;
    const auto at = [bytes](std::ptrdiff_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k)); };
    const __m128i before = at(-1), here = at(0), next = at(1), after = at(2);
    const __m128i starts = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(before, here), _mm_cmpeq_epi8(here, next)),
                                         _mm_cmpeq_epi8(next, after));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(starts));
    return mask == 0 ? 16 : static_cast<std::size_t>(__builtin_ctz(mask));
#else
    (void)bytes;
    (void)left;
    return 0;
#endif
}

void RunDeflater::literalsOf(const std::uint8_t* bytes, std::size_t count) {
    if (tokenCount_ + count >= kBlockTokens) {
        for (std::size_t k = 0; k < count; ++k) literal(bytes[k]);
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        tokens_[tokenCount_ + k] = bytes[k];
        ++frequencies_[bytes[k]];
    }
    tokenCount_ += count;
    previous_ = bytes[count - 1];
}

inline void RunDeflater::literal(std::uint8_t byte) {
    push(byte);
    previous_ = byte;
    hasPrevious_ = true;
}

// A run of the previous byte: matches at distance 1, the last one or two
// bytes of a run that no match fits as literals.
void RunDeflater::run(std::size_t length) {
    while (length >= 3) {
        std::size_t match = std::min(length, kLongestMatch);
        if (length > kLongestMatch && length - kLongestMatch < 3) match = length - 3;
        push(lengthToken(match));
        length -= match;
    }
    while (length-- > 0) push(previous_);
}

inline void RunDeflater::push(std::uint32_t token) {
    tokens_[tokenCount_++] = token;
    ++frequencies_[token & 0x1FF];
    if (tokenCount_ == kBlockTokens) {
        writeBlock(false);
        hand(false);
    }
}

// A block with Huffman codes of its own (block type 2). Every match is at
// distance 1: the distance code has two codes of one bit, 0 the one used.
void RunDeflater::writeBlock(bool last) {
    std::vector<std::uint32_t> frequencies = frequencies_;
    frequencies[kEndOfBlock] = 1;
    atLeastTwoSymbols(frequencies, 0);
    const std::vector<std::uint8_t> literalLengths = codeLengths(frequencies, 15);
    const std::vector<std::uint32_t> literalCodes = codesOf(literalLengths);
    std::size_t literalCount = literalLengths.size();
    while (literalLengths[literalCount - 1] == 0) --literalCount;

    // The code lengths in a row, literal/length then distance, run-length
    // coded by the code length symbols 16 (repeat the last 3..6 times),
    // 17 (3..10 zeros) and 18 (11..138 zeros).
    std::vector<std::uint8_t> all(literalLengths.begin(), literalLengths.begin() + static_cast<std::ptrdiff_t>(literalCount));
    all.push_back(1);
    all.push_back(1);
    std::vector<std::pair<int, int>> items;  // symbol, extra bits' value
    std::vector<std::uint32_t> lengthFrequencies(19, 0);
    auto item = [&](int symbol, int extra) {
        items.emplace_back(symbol, extra);
        ++lengthFrequencies[static_cast<std::size_t>(symbol)];
    };
    for (std::size_t i = 0; i < all.size();) {
        const std::uint8_t value = all[i];
        std::size_t same = 1;
        while (i + same < all.size() && all[i + same] == value) ++same;
        i += same;
        if (value == 0) {
            for (; same >= 11; same -= std::min<std::size_t>(same, 138)) item(18, static_cast<int>(std::min<std::size_t>(same, 138) - 11));
            if (same >= 3) {
                item(17, static_cast<int>(same - 3));
                same = 0;
            }
        } else {
            item(value, 0);
            --same;
            for (; same >= 3; same -= std::min<std::size_t>(same, 6)) item(16, static_cast<int>(std::min<std::size_t>(same, 6) - 3));
        }
        for (; same > 0; --same) item(value, 0);
    }
    atLeastTwoSymbols(lengthFrequencies, 0);
    const std::vector<std::uint8_t> lengthLengths = codeLengths(lengthFrequencies, 7);
    const std::vector<std::uint32_t> lengthCodes = codesOf(lengthLengths);
    int lengthCount = 19;
    while (lengthCount > 4 && lengthLengths[static_cast<std::size_t>(kCodeLengthOrder[static_cast<std::size_t>(lengthCount - 1)])] == 0)
        --lengthCount;

    putBits(last ? 1 : 0, 1);
    putBits(2, 2);
    putBits(static_cast<std::uint32_t>(literalCount - 257), 5);
    putBits(1, 5);  // two distance codes
    putBits(static_cast<std::uint32_t>(lengthCount - 4), 4);
    for (int i = 0; i < lengthCount; ++i)
        putBits(lengthLengths[static_cast<std::size_t>(kCodeLengthOrder[static_cast<std::size_t>(i)])], 3);
    for (const auto& [symbol, extra] : items) {
        const auto s = static_cast<std::size_t>(symbol);
        putBits(lengthCodes[s], lengthLengths[s]);
        if (symbol == 16) putBits(static_cast<std::uint32_t>(extra), 2);
        if (symbol == 17) putBits(static_cast<std::uint32_t>(extra), 3);
        if (symbol == 18) putBits(static_cast<std::uint32_t>(extra), 7);
    }
    // A symbol's code, and a length's extra bits and its distance (1: the
    // one-bit code 0) after it, go out at once.
    std::array<std::uint8_t, kLiteralLengthSymbols> tokenBits{};
    for (std::size_t symbol = 0; symbol < literalLengths.size(); ++symbol)
        tokenBits[symbol] = static_cast<std::uint8_t>(
            literalLengths[symbol] + (symbol > kEndOfBlock ? kLengthExtraBits[symbol - 257] + 1 : 0));
    // The bit writer's state in locals, which the bytes it stores cannot
    // alias; each token stores eight bytes and moves on by the whole ones.
    std::uint64_t buffer = bitBuffer_;
    int count = bitCount_;
    std::uint8_t* out = bytes_.data() + byteCount_;
    for (std::size_t t = 0; t < tokenCount_; ++t) {
        const std::uint32_t token = tokens_[t], symbol = token & 0x1FF;
        buffer |= (literalCodes[symbol] | std::uint64_t{token >> 9} << literalLengths[symbol]) << count;
        count += tokenBits[symbol];
        if constexpr (std::endian::native == std::endian::little)
            std::memcpy(out, &buffer, 8);
        else
            for (int k = 0; k < 8; ++k) out[k] = static_cast<std::uint8_t>(buffer >> (8 * k));
        out += count >> 3;
        buffer >>= count & ~7;
        count &= 7;
    }
    byteCount_ = static_cast<std::size_t>(out - bytes_.data());
    bitBuffer_ = buffer;
    bitCount_ = count;
    putBits(literalCodes[kEndOfBlock], literalLengths[kEndOfBlock]);
    tokenCount_ = 0;
    std::fill(frequencies_.begin(), frequencies_.end(), 0u);
}

// At most 32 bits at a time: the buffer keeps fewer than 32 between calls.
inline void RunDeflater::putBits(std::uint64_t bits, int count) {
    bitBuffer_ |= bits << bitCount_;
    bitCount_ += count;
    if (bitCount_ >= 32) {
        std::uint8_t* out = bytes_.data() + byteCount_;
        for (int k = 0; k < 4; ++k) out[k] = static_cast<std::uint8_t>(bitBuffer_ >> (8 * k));
        byteCount_ += 4;
        bitBuffer_ >>= 32;
        bitCount_ -= 32;
    }
}

void RunDeflater::alignToByte() {
    bitCount_ = (bitCount_ + 7) / 8 * 8;
    while (bitCount_ > 0) {
        bytes_[byteCount_++] = static_cast<std::uint8_t>(bitBuffer_);
        bitBuffer_ >>= 8;
        bitCount_ -= 8;
    }
}

bool RunDeflater::hand(bool all) {
    if (!all && byteCount_ < kHandOnEvery) return ok_;
    if (ok_ && byteCount_ > 0) ok_ = out_(bytes_.data(), byteCount_);
    byteCount_ = 0;
    return ok_;
}

bool RunDeflater::end(bool last) {
    if (!ok_) return false;
    if (last || tokenCount_ > 0) writeBlock(last);
    if (!last) {
        // An empty stored block: ends on a whole byte, and is not the last.
        putBits(0, 3);
        alignToByte();
        putBits(0x0000, 16);
        putBits(0xFFFF, 16);
    }
    alignToByte();
    return hand(true);
}

namespace {

constexpr std::uint32_t kAdlerBase = 65521;

#if defined(__x86_64__) && defined(__GNUC__)
// 32 bytes at a step: their sum (by sums of absolute differences from 0)
// and their sum weighted 32 down to 1 (by byte-times-weight pairs), the
// weighted sum of the steps before made up at the end from the running
// sums. Blocks of 4096 bytes keep every sum within 32 bits.
__attribute__((target("avx2"))) std::uint32_t adlerAvx2(std::uint32_t adler, const std::uint8_t* bytes,
                                                          std::size_t size) {
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
    const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15,
                                             14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m256i ones = _mm256_set1_epi16(1);
    while (size >= 32) {
        const std::size_t n = std::min<std::size_t>(size, 4096) / 32 * 32;
        __m256i sums = _mm256_setzero_si256(), earlier = _mm256_setzero_si256(), weighted = _mm256_setzero_si256();
        for (std::size_t k = 0; k < n; k += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + k));
            earlier = _mm256_add_epi32(earlier, sums);
            sums = _mm256_add_epi32(sums, _mm256_sad_epu8(v, _mm256_setzero_si256()));
            weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
        }
        alignas(32) std::uint32_t s[8], e[8], w[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(s), sums);
        _mm256_store_si256(reinterpret_cast<__m256i*>(e), earlier);
        _mm256_store_si256(reinterpret_cast<__m256i*>(w), weighted);
        std::uint64_t sum = 0, weightedSum = 0;
        for (int i = 0; i < 8; ++i) {
            sum += s[i];
            weightedSum += 32ull * e[i] + w[i];
        }
        b = static_cast<std::uint32_t>((b + static_cast<std::uint64_t>(a) * n + weightedSum) % kAdlerBase);
        a = static_cast<std::uint32_t>((a + sum) % kAdlerBase);
        bytes += n;
        size -= n;
    }
    for (std::size_t k = 0; k < size; ++k) {
        a += bytes[k];
        b += a;
    }
    return (b % kAdlerBase) << 16 | (a % kAdlerBase);
}
#endif

}  // namespace

std::uint32_t adler32Of(std::uint32_t adler, const std::uint8_t* bytes, std::size_t size) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return adlerAvx2(adler, bytes, size);
#endif
    return static_cast<std::uint32_t>(adler32_z(adler, bytes, size));
}

}  // namespace qel
