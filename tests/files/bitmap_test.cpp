#include "files/bitmap.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <initializer_list>
#include <tuple>
#include <utility>

#include "file_stand_ins.h"

namespace qel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::pattern;
using testing::TemporaryFolder;
using testing::writeBytes;

// `b` with little-endian 32-bit values written at the given offsets.
Bytes with(Bytes b, std::initializer_list<std::pair<std::size_t, std::uint32_t>> values) {
    for (auto [at, v] : values)
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    return b;
}

// A bitmap made by hand: 40-byte info header, `extra` bytes (palette or
// masks) between the headers and the pixels, `colours` palette entries.
Bytes handMade(int w, int h, int bits, std::uint32_t compression, const Bytes& extra, const Bytes& pixels,
               std::uint32_t colours = 0) {
    const auto offset = static_cast<std::uint32_t>(54 + extra.size());
    Bytes b = with(Bytes(54, 0), {{2, offset + static_cast<std::uint32_t>(pixels.size())},
                                  {10, offset},
                                  {14, 40},
                                  {18, static_cast<std::uint32_t>(w)},
                                  {22, static_cast<std::uint32_t>(h)},
                                  {26, 1 | (static_cast<std::uint32_t>(bits) << 16)},  // planes, bits per pixel
                                  {30, compression},
                                  {46, colours}});
    b[0] = 'B';
    b[1] = 'M';
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BitmapReading, TopDownMaskedAndPalettePictures) {
    const Bytes pixels32{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};  // B, G, R, unused
    const Bytes redLowBlueThird = with(Bytes(12, 0), {{0, 0xFF}, {4, 0xFF00}, {8, 0xFF0000}});
    const Bytes palette{0, 0, 255, 0, 255, 0, 0, 0};  // index 0 red, 1 blue
    struct Case {
        Bytes file;
        int w, h;
        std::vector<std::tuple<int, int, Colour>> pixels;
    } cases[] = {
        {handMade(2, -2, 32, 0, {}, pixels32), 2, 2, {{0, 0, rgb(3, 2, 1)}, {1, 1, rgb(12, 11, 10)}}},
        {handMade(2, 2, 32, 3, redLowBlueThird, pixels32), 2, 2, {{0, 1, rgb(1, 2, 3)}}},
        // bits 1000000001 from the high bit of the first byte
        {handMade(10, 1, 1, 0, palette, {0x80, 0x40, 0, 0}), 10, 1,
         {{0, 0, rgb(0, 0, 255)}, {1, 0, rgb(255, 0, 0)}, {9, 0, rgb(0, 0, 255)}}},
    };
    TemporaryFolder dir;
    for (const Case& c : cases) {
        writeBytes(dir.file("hand.bmp"), c.file);
        auto s = readBitmapFile(dir.file("hand.bmp"), c.w, c.h);
        ASSERT_TRUE(s);
        for (auto [u, v, colour] : c.pixels) EXPECT_EQ(s->pixel(u, v), colour) << u << "," << v;
    }
}

// The reader trusts no size, offset or count in the file: none of these may
// make it read or write outside a buffer (the sanitizer build watches).
TEST(BitmapReading, RefusesTruncatedOrLyingFilesWithoutTouchingBeyondThem) {
    const Bytes good = encodeBitmap(pattern(40, 30));
    const std::string text = "this is a text file, not a picture at all, honestly, not at all";
    const std::pair<const char*, Bytes> cases[] = {
        {"truncated header", Bytes(good.begin(), good.begin() + 30)},
        {"text", Bytes(text.begin(), text.end())},
        {"info header longer than the file", with(good, {{14, 0xFFFFFFFF}})},
        {"negative width", with(good, {{18, static_cast<std::uint32_t>(-40)}})},
        {"most negative height", with(good, {{22, 0x80000000}})},
        {"huge", with(good, {{18, 100000}, {22, 100000}})},
        {"run-length encoded", with(good, {{30, 1}})},
        {"7 bits per pixel", with(good, {{28, 7}})},
        {"palette too long", handMade(1, 1, 8, 0, Bytes(8, 0), {0, 0, 0, 0}, 5000)},
        {"empty masks", handMade(1, 1, 32, 3, Bytes(12, 0), {0, 0, 0, 0})},
        {"pixels beyond the file", with(good, {{10, 0xFFFFFFF0}})},
        {"truncated pixels", Bytes(good.begin(), good.end() - 1)},
    };
    TemporaryFolder dir;
    for (const auto& [what, bytes] : cases) {
        writeBytes(dir.file("bad.bmp"), bytes);
        EXPECT_FALSE(readBitmapFile(dir.file("bad.bmp"), 800, 600)) << what;
    }
    EXPECT_FALSE(readBitmapFile(dir.folder(), 800, 600));
}

// Another program's reader and writer agree with ours; the opener reads
// every file into an 800 x 600 picture, clipping a larger one. A save
// replaces all of an older, longer file.
TEST(BitmapInterchange, QtReadsOursAndWeReadQtsClipped) {
    TemporaryFolder dir;
    const Surface s = pattern(900, 700);
    writeBytes(dir.file("ours.bmp"), Bytes(3000000, 7));
    ASSERT_TRUE(writeBitmapFile(dir.file("ours.bmp"), s));
    EXPECT_EQ(std::filesystem::file_size(dir.file("ours.bmp")), encodeBitmap(s).size());
    QImage theirs(QString::fromStdString(dir.file("ours.bmp")), "BMP");
    ASSERT_EQ(theirs.size(), QSize(900, 700));
    for (auto [u, v] : {std::pair{0, 0}, std::pair{899, 699}, std::pair{7, 3}}) {
        const QRgb q = theirs.pixel(u, v);
        EXPECT_EQ(rgb(qRed(q), qGreen(q), qBlue(q)), s.pixel(u, v)) << u << "," << v;
    }
    ASSERT_TRUE(theirs.save(QString::fromStdString(dir.file("qt.bmp")), "BMP"));
    Surface expected(800, 600);
    expected.copyFrom(s, 0, 0, 800, 600, 0, 0);
    auto back = readBitmapFile(dir.file("qt.bmp"), 800, 600);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == expected);
}

}  // namespace
}  // namespace qel
