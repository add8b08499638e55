// Raw deflate (RFC 1951) for the filtered rows of a PNG, and the Adler-32
// of a zlib stream.
//
// After the "up" filter a fractal's rows are mostly long runs of one byte
// (zeros where a row repeats the one above) with literals between them.
// RunDeflater looks for nothing but those runs, as zlib's Z_RLE strategy
// does: a run is a match at distance 1, found eight bytes at a time, and
// every block gets Huffman codes made for its own symbols. It compresses as
// well as zlib's level 1 with Z_RLE and several times as fast, which is
// what a poster's writing thread waits for beside the engine's workers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace qel {

class RunDeflater {
public:
    // Receives the compressed bytes as they are made; false stops the
    // compression (each later call then returns false).
    using Output = std::function<bool(const std::uint8_t*, std::size_t)>;

    explicit RunDeflater(Output out);

    // The next bytes of the stream.
    bool add(const std::uint8_t* bytes, std::size_t size);
    // Ends the stream with its final block (last), or ends a part of it on a
    // whole byte with a block that is not the last, so that more raw
    // deflate may follow it, as zlib's Z_SYNC_FLUSH does.
    bool end(bool last);

private:
    static std::size_t literalsBeforeRun(const std::uint8_t* bytes, std::size_t left);
    void literalsOf(const std::uint8_t* bytes, std::size_t count);
    void literal(std::uint8_t byte);
    void run(std::size_t length);
    void push(std::uint32_t token);
    void writeBlock(bool last);
    void putBits(std::uint64_t bits, int count);
    void alignToByte();
    bool hand(bool all);

    Output out_;
    bool ok_ = true;
    bool hasPrevious_ = false;
    std::uint8_t previous_ = 0;
    std::vector<std::uint32_t> tokens_;  // a block's: symbol, and a length's extra bits above it
    std::size_t tokenCount_ = 0;
    std::vector<std::uint32_t> frequencies_;
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    // Made, not yet handed on: the first byteCount_, with room after them
    // for a whole block, written without a check a byte.
    std::vector<std::uint8_t> bytes_;
    std::size_t byteCount_ = 0;
};

// The Adler-32 of `size` more bytes after `adler` (1 for none yet), as
// zlib's adler32() gives it.
std::uint32_t adler32Of(std::uint32_t adler, const std::uint8_t* bytes, std::size_t size);

}  // namespace qel
