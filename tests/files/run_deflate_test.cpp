// The PNG's own deflate: whatever bytes go in, zlib's inflate gives them
// back, across blocks, run lengths at the edges of the length codes, codes
// that have to be shortened, and two parts joined into one stream; and the
// Adler-32 is zlib's.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "files/run_deflate.h"

namespace qel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Deflates `parts`, each by a deflater of its own ended on a whole byte,
// the last one with the final block, and joins them into one stream.
Bytes deflateParts(const std::vector<Bytes>& parts, std::size_t piece = 4099) {
    Bytes stream;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        RunDeflater deflater([&stream](const std::uint8_t* d, std::size_t n) {
            stream.insert(stream.end(), d, d + n);
            return true;
        });
        const Bytes& part = parts[p];
        for (std::size_t at = 0; at < part.size(); at += piece)
            EXPECT_TRUE(deflater.add(part.data() + at, std::min(piece, part.size() - at)));
        EXPECT_TRUE(deflater.end(p + 1 == parts.size()));
    }
    return stream;
}

// zlib's inflate of a raw deflate stream, which must end where the stream does.
Bytes inflated(const Bytes& stream, std::size_t expected) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    Bytes out(expected + 16);
    z.next_in = const_cast<Bytes::value_type*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u);
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    return out;
}

Bytes randomBytes(std::size_t n, int distinct, unsigned seed) {
    std::mt19937 random(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(random() % static_cast<unsigned>(distinct));
    return b;
}

void expectRoundTrip(const std::vector<Bytes>& parts, const char* what) {
    Bytes whole;
    for (const Bytes& p : parts) whole.insert(whole.end(), p.begin(), p.end());
    EXPECT_EQ(inflated(deflateParts(parts), whole.size()), whole) << what;
}

TEST(RunDeflate, InflateGivesBackWhateverWentIn) {
    expectRoundTrip({{}}, "nothing");
    expectRoundTrip({{7}}, "one byte");
    expectRoundTrip({randomBytes(200000, 256, 1)}, "every byte value, no runs, several blocks");
    expectRoundTrip({randomBytes(200000, 2, 2)}, "two values: short runs everywhere");
    // Runs of every length around the edges of the length codes and of a
    // single match, each after a different byte.
    Bytes runs;
    for (std::size_t length = 1; length < 530; ++length) {
        runs.push_back(static_cast<std::uint8_t>(length));
        runs.insert(runs.end(), length, static_cast<std::uint8_t>(length % 3));
    }
    expectRoundTrip({runs}, "runs of 1 to 529 bytes");
    expectRoundTrip({Bytes(3000000, 0)}, "one long run over many blocks");
    // Frequencies that grow like the Fibonacci numbers (1 for the block's
    // end, then 1, 2, 3, 5 ...) make a Huffman code as deep as there are
    // symbols, which must be flattened to 15 bits. Every other byte
    // alternates between two more, so that there are no runs.
    Bytes fibonacci, skewed;
    std::size_t f0 = 1, f1 = 2;
    for (int symbol = 0; symbol < 20; ++symbol) {
        fibonacci.insert(fibonacci.end(), f0, static_cast<std::uint8_t>(symbol));
        f0 = std::exchange(f1, f0 + f1);
    }
    std::shuffle(fibonacci.begin(), fibonacci.end(), std::mt19937(3));
    for (std::size_t k = 0; k < fibonacci.size(); ++k) skewed.insert(skewed.end(), {fibonacci[k], std::uint8_t(200 + k % 2)});
    expectRoundTrip({skewed}, "skewed frequencies");
}

// zlib's level 1 looking for runs only: the size of its raw deflate.
std::size_t zlibRunsSize(const Bytes& data) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_RLE), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytes::value_type*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    const std::size_t size = out.size() - z.avail_out;
    deflateEnd(&z);
    return size;
}

// Literals are looked over many at a time; a run must still be found
// wherever it starts among them, so the stream is no larger than zlib's.
TEST(RunDeflate, FindsEveryRunAmongLiterals) {
    std::mt19937 random(8);
    Bytes mixed;
    for (int k = 0; k < 20000; ++k) {
        for (auto n = random() % 40; n > 0; --n) mixed.push_back(static_cast<std::uint8_t>(random()));
        mixed.insert(mixed.end(), 3 + random() % 40, static_cast<std::uint8_t>(random()));
    }
    for (const Bytes& data : {mixed, randomBytes(200000, 2, 9)}) {
        const std::size_t ours = deflateParts({data}).size();
        EXPECT_LE(ours, zlibRunsSize(data) * 101 / 100);
        EXPECT_EQ(inflated(deflateParts({data}), data.size()), data);
    }
}

TEST(RunDeflate, PartsEndedOnAWholeByteJoinIntoOneStream) {
    expectRoundTrip({randomBytes(70000, 4, 4), randomBytes(50000, 3, 5)}, "two parts");
    expectRoundTrip({Bytes(1000, 9), Bytes(1000, 9)}, "a run does not reach into the part before");
    expectRoundTrip({{}, {1, 2, 3}}, "an empty first part");
}

TEST(RunDeflate, AStoppedOutputStopsTheCompression) {
    int calls = 0;
    RunDeflater deflater([&calls](const std::uint8_t*, std::size_t) { ++calls; return false; });
    const Bytes data = randomBytes(1 << 20, 256, 6);
    bool ok = true;
    for (std::size_t at = 0; ok && at < data.size(); at += 4096) ok = deflater.add(data.data() + at, 4096);
    EXPECT_FALSE(ok && deflater.end(true));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(deflater.add(data.data(), 1));
}

TEST(RunDeflate, AdlerIsZlibs) {
    const Bytes data = randomBytes(70000, 256, 7);
    const Bytes full(1 << 20, 0xFF);  // the largest sums there are
    for (std::size_t size : {0, 1, 31, 32, 33, 4095, 4096, 4097, 5552, 70000})
        for (std::size_t offset : {0, 3}) {
            if (offset + size > data.size()) continue;
            EXPECT_EQ(adler32Of(1, data.data() + offset, size), adler32_z(1, data.data() + offset, size)) << size;
        }
    EXPECT_EQ(adler32Of(1, full.data(), full.size()), adler32_z(1, full.data(), full.size()));
    const std::uint32_t part = adler32Of(1, data.data(), 12345);
    EXPECT_EQ(adler32Of(part, data.data() + 12345, 20000), adler32_z(1, data.data(), 32345));
}

}  // namespace
}  // namespace qel
