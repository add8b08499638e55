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

TEST(PictureFile, ReadsTopDownMaskedLongHeaderAndPalettePictures) {
    const Bytes pixels32{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};  // B, G, R, unused
    const Bytes redLowBlueThird = with(Bytes(12, 0), {{0, 0xFF}, {4, 0xFF00}, {8, 0xFF0000}});
    const Bytes palette{0, 0, 255, 0, 255, 0, 0, 0};  // index 0 red, 1 blue
    struct Case {
        Bytes file;
        std::vector<std::tuple<int, int, Colour>> pixels;
    } cases[] = {
        {bitmapFile({.width = 2, .height = -2, .bits = 32, .pixels = pixels32}),
         {{0, 0, rgb(3, 2, 1)}, {1, 1, rgb(12, 11, 10)}}},
        {bitmapFile(
             {.width = 2, .height = 2, .bits = 32, .compression = 3, .extra = redLowBlueThird, .pixels = pixels32}),
         {{0, 1, rgb(1, 2, 3)}}},
        {bitmapFile({.width = 2, .height = 1, .pixels = {1, 2, 3, 4, 5, 6, 0, 0}, .headerSize = 124}),
         {{0, 0, rgb(3, 2, 1)}, {1, 0, rgb(6, 5, 4)}}},
        // bits 1000000001 from the high bit of the first byte
        {bitmapFile({.width = 10, .bits = 1, .extra = palette, .pixels = {0x80, 0x40, 0, 0}, .colours = 2}),
         {{0, 0, rgb(0, 0, 255)}, {1, 0, rgb(255, 0, 0)}, {9, 0, rgb(0, 0, 255)}}},
    };
    TemporaryFolder dir;
    for (const Case& c : cases) {
        writeBytes(dir.file("hand.bmp"), c.file);
        auto s = readPictureFile(dir.file("hand.bmp"), 800, 600);
        ASSERT_TRUE(s);
        for (auto [u, v, colour] : c.pixels) EXPECT_EQ(s->pixel(u, v), colour) << u << "," << v;
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
