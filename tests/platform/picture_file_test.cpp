#include "platform/qt_picture_file.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <tuple>
#include <utility>

#include "files/bitmap.h"
#include "files/file_stand_ins.h"

namespace qel {
namespace {

using testing::bitmapFile;
using testing::Bytes;
using testing::TemporaryFolder;
using testing::writeBytes;

// `b` with little-endian 32-bit values written at the given offsets.
Bytes with(Bytes b, std::initializer_list<std::pair<std::size_t, std::uint32_t>> values) {
    for (auto [at, v] : values)
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    return b;
}

// Every kind a toolkit's bitmap loader reads beyond the plain one: top-down
// rows, masks, long headers, palettes, the OS/2 header and run-length
// encoding, whose runs, literal stretches, line ends and jumps fill the
// picture; a pixel a jump skips takes the table's first colour. Each fills
// its corner of the buffer, black beyond.
TEST(PictureFile, ReadsEveryKindOfBitmapIntoTheTopLeftCorner) {
    using testing::colourTable;
    const auto entry = testing::tableColour;
    const Bytes pixels32{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};  // B, G, R, unused
    const Bytes redLowBlueThird = with(Bytes(12, 0), {{0, 0xFF}, {4, 0xFF00}, {8, 0xFF0000}});
    const Colour red = rgb(255, 0, 0), green = rgb(0, 255, 0), blue = rgb(0, 0, 255), white = rgb(255, 255, 255);
    struct Case {
        const char* kind;
        Bytes file;
        std::vector<std::vector<Colour>> rows;  // from the top
    } cases[] = {
        {"top-down", bitmapFile({.width = 2, .height = -2, .bits = 32, .pixels = pixels32}),
         {{rgb(3, 2, 1), rgb(6, 5, 4)}, {rgb(9, 8, 7), rgb(12, 11, 10)}}},
        {"masks",
         bitmapFile(
             {.width = 2, .height = 2, .bits = 32, .compression = 3, .extra = redLowBlueThird, .pixels = pixels32}),
         {{rgb(7, 8, 9), rgb(10, 11, 12)}, {rgb(1, 2, 3), rgb(4, 5, 6)}}},
        {"124-byte header", bitmapFile({.width = 2, .pixels = {1, 2, 3, 4, 5, 6, 0, 0}, .headerSize = 124}),
         {{rgb(3, 2, 1), rgb(6, 5, 4)}}},
        // bits 1000000001 from the high bit of the first byte; index 0 red, 1 blue
        {"1-bit palette",
         bitmapFile({.width = 10, .bits = 1, .extra = {0, 0, 255, 0, 255, 0, 0, 0}, .pixels = {0x80, 0x40, 0, 0},
                     .colours = 2}),
         {{blue, red, red, red, red, red, red, red, red, blue}}},
        {"OS/2, 24-bit",
         bitmapFile({.width = 2, .height = 2, .pixels = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0},
                     .headerSize = 12}),
         {{blue, white}, {red, green}}},
        {"OS/2, 8-bit",
         bitmapFile({.width = 2, .bits = 8, .extra = colourTable(256, 3), .pixels = {7, 200, 0, 0}, .headerSize = 12}),
         {{entry(7), entry(200)}}},
        // a run of three 5s, a jump to the next row's last pixel, one 6, a
        // line end, three literal pixels and a padding byte, the end
        {"run-length, 8-bit",
         bitmapFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .extra = colourTable(256, 4),
                     .pixels = {3, 5, 0, 2, 0, 1, 1, 6, 0, 0, 0, 3, 9, 8, 7, 0, 0, 1}}),
         {{entry(9), entry(8), entry(7), entry(0)},
          {entry(0), entry(0), entry(0), entry(6)},
          {entry(5), entry(5), entry(5), entry(0)}}},
        {"run-length, 4-bit",
         bitmapFile({.width = 3, .height = 2, .bits = 4, .compression = 2, .extra = colourTable(16, 4),
                     .pixels = {3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 1}}),
         {{entry(4), entry(5), entry(6)}, {entry(1), entry(2), entry(1)}}},
    };
    TemporaryFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        writeBytes(dir.file("hand.bmp"), c.file);
        auto s = readPictureFile(dir.file("hand.bmp"), 800, 600);
        ASSERT_TRUE(s);
        for (std::size_t v = 0; v < c.rows.size(); ++v)
            for (std::size_t u = 0; u < c.rows[v].size(); ++u)
                EXPECT_EQ(s->pixel(static_cast<int>(u), static_cast<int>(v)), c.rows[v][u]) << u << "," << v;
        EXPECT_EQ(s->pixel(static_cast<int>(c.rows[0].size()), 0), 0);
        EXPECT_EQ(s->pixel(0, static_cast<int>(c.rows.size())), 0);
    }
}

// No size, offset or count in the file is trusted: none of these may make
// the reading touch memory outside a buffer (the sanitizer build watches),
// take more memory than allowed, or show a picture the file holds only part
// of.
TEST(PictureFile, RefusesTruncatedLyingOrOversizedFilesAndOtherFormats) {
    const Bytes good = encodeBitmap(testing::pattern(40, 30));
    const Bytes runLength =
        bitmapFile({.width = 4, .height = 2, .bits = 8, .compression = 1, .extra = Bytes(1024, 0),
                    .pixels = {4, 1, 0, 0, 4, 2, 0, 1}});
    const std::string text = "this is a text file, not a picture at all, honestly, not at all";
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&pngBuffer, "PNG");
    const std::pair<const char*, Bytes> cases[] = {
        {"truncated header", Bytes(good.begin(), good.begin() + 30)},
        {"text", Bytes(text.begin(), text.end())},
        {"a PNG picture", Bytes(png.begin(), png.end())},
        {"info header longer than the file", with(good, {{14, 0xFFFFFFFF}})},
        {"negative width", with(good, {{18, static_cast<std::uint32_t>(-40)}})},
        {"most negative height", with(good, {{22, 0x80000000}})},
        {"huge", with(good, {{18, 100000}, {22, 100000}})},
        // a few bytes, one run-length end, for 56 million pixels (Qt counts four bytes each)
        {"beyond the memory limit",
         bitmapFile({.width = 7500, .height = 7500, .bits = 8, .compression = 1, .extra = Bytes(1024, 0),
                     .pixels = {0, 1}})},
        {"run-length encoded 24-bit", with(good, {{30, 1}})},
        {"7 bits per pixel", with(good, {{28, 7}})},
        {"palette too long", bitmapFile({.bits = 8, .extra = Bytes(8, 0), .pixels = {0, 0, 0, 0}, .colours = 5000})},
        {"pixels beyond the file", with(good, {{10, 0x7FFFFFF0}})},
        {"truncated pixels", Bytes(good.begin(), good.end() - 1)},
        {"run-length data without its end", Bytes(runLength.begin(), runLength.end() - 2)},
    };
    TemporaryFolder dir;
    writeBytes(dir.file("whole.bmp"), runLength);
    ASSERT_TRUE(readPictureFile(dir.file("whole.bmp"), 800, 600));
    for (const auto& [what, bytes] : cases) {
        writeBytes(dir.file("bad.bmp"), bytes);
        EXPECT_FALSE(readPictureFile(dir.file("bad.bmp"), 800, 600)) << what;
    }
    EXPECT_FALSE(readPictureFile(dir.folder(), 800, 600));
    EXPECT_FALSE(readPictureFile(dir.file("missing.bmp"), 800, 600));
}

// Qt's writer and our reader agree; a picture larger than the buffer is
// clipped at the right and bottom, a smaller one has a black margin.
TEST(PictureFile, FillsTheBufferFromTheTopLeftClippedOrWithABlackMargin) {
    TemporaryFolder dir;
    for (const Surface& picture : {testing::pattern(900, 700), testing::pattern(30, 20)}) {
        QImage theirs(picture.width(), picture.height(), QImage::Format_RGB32);
        for (int v = 0; v < picture.height(); ++v)
            for (int u = 0; u < picture.width(); ++u) {
                const Colour c = picture.pixel(u, v);
                theirs.setPixel(u, v, qRgb(redOf(c), greenOf(c), blueOf(c)));
            }
        ASSERT_TRUE(theirs.save(QString::fromStdString(dir.file("qt.bmp")), "BMP"));
        Surface expected(800, 600);
        expected.copyFrom(picture, 0, 0, std::min(800, picture.width()), std::min(600, picture.height()), 0, 0);
        auto read = readPictureFile(dir.file("qt.bmp"), 800, 600);
        ASSERT_TRUE(read);
        EXPECT_TRUE(*read == expected) << picture.width();
    }
}

}  // namespace
}  // namespace qel
