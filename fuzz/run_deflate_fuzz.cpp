// Fuzzes the PNG's own deflate. Whatever the bytes, cut into two parts and
// handed over in pieces of any size: each part compressed on its own, the
// first ended on a whole byte and the second with the final block, zlib's
// inflate gives back exactly the bytes, to the end of the stream; and the
// Adler-32 of the bytes, taken in the same pieces, is zlib's.
#include <zlib.h>

#include <vector>

#include "files/run_deflate.h"
#include "fuzz_support.h"

using namespace qel;
using qel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes: where the second part starts, and the piece size.
    const std::size_t bytes = size - 2, cut = data[0] * bytes / 255, piece = 1 + data[1] % 64;
    const std::uint8_t* input = data + 2;
    // Long runs are what the deflater is for: a byte with its top bit set
    // stands for a run of the byte before, as long as its low bits say times 11.
    std::vector<std::uint8_t> plain;
    for (std::size_t i = 0; i < bytes; ++i) {
        if ((input[i] & 0x80) && !plain.empty())
            plain.insert(plain.end(), static_cast<std::size_t>(input[i] & 0x7F) * 11, plain.back());
        else
            plain.push_back(input[i]);
    }
    const std::size_t parts[] = {0, std::min(cut * plain.size() / std::max<std::size_t>(bytes, 1), plain.size()), plain.size()};

    std::vector<std::uint8_t> stream;
    std::uint32_t adler = 1;
    for (int p = 0; p < 2; ++p) {
        RunDeflater deflater([&stream](const std::uint8_t* d, std::size_t n) {
            stream.insert(stream.end(), d, d + n);
            return true;
        });
        for (std::size_t at = parts[p]; at < parts[p + 1]; at += piece) {
            const std::size_t n = std::min(piece, parts[p + 1] - at);
            require(deflater.add(plain.data() + at, n), "adding bytes succeeds");
            adler = adler32Of(adler, plain.data() + at, n);
        }
        require(deflater.end(p == 1), "ending a part succeeds");
    }
    require(adler == adler32_z(1, plain.data(), plain.size()), "the Adler-32 is zlib's");

    z_stream z{};
    require(inflateInit2(&z, -15) == Z_OK, "inflate starts");
    std::vector<std::uint8_t> back(plain.size() + 1);
    z.next_in = stream.data();
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = back.data();
    z.avail_out = static_cast<uInt>(back.size());
    const int status = inflate(&z, Z_FINISH);
    require(status == Z_STREAM_END, "the stream inflates to its end");
    require(z.avail_in == 0, "nothing follows the final block");
    back.resize(back.size() - z.avail_out);
    inflateEnd(&z);
    require(back == plain, "inflate gives back the bytes");
    return 0;
}
