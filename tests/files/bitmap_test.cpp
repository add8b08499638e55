#include "files/bitmap.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>

#include "file_stand_ins.h"

namespace qel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::TemporaryFolder;

// A picture where every pixel has its own colour.
Surface pattern(int w, int h) {
    Surface s(w, h);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) s.setPixel(u, v, rgb(u * 7 % 256, v * 13 % 256, (u + v) % 256));
    return s;
}

void writeBytes(const std::string& path, const Bytes& b) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void setU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void setU16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Headers of a bitmap made by hand: 40-byte info header, `extra` bytes
// (palette or masks) between the headers and the pixels.
Bytes handMadeBitmap(int w, int h, int bits, std::uint32_t compression, const Bytes& extra, const Bytes& pixels) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    setU32(b, 2, static_cast<std::uint32_t>(54 + extra.size() + pixels.size()));
    setU32(b, 10, static_cast<std::uint32_t>(54 + extra.size()));
    setU32(b, 14, 40);
    setU32(b, 18, static_cast<std::uint32_t>(w));
    setU32(b, 22, static_cast<std::uint32_t>(h));
    setU16(b, 26, 1);
    setU16(b, 28, static_cast<std::uint32_t>(bits));
    setU32(b, 30, compression);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BitmapWriting, BottomUpRowsInBlueGreenRedWithPadding) {
    Surface s(3, 2);  // 9 bytes a row, padded to 12
    s.setPixel(0, 1, rgb(10, 20, 30));  // bottom-left pixel: first in the file
    s.setPixel(2, 0, rgb(200, 100, 50));
    Bytes b = encodeBitmap(s);
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[28], 24);  // bits per pixel
    EXPECT_EQ((Bytes{b[54], b[55], b[56]}), (Bytes{30, 20, 10}));
    EXPECT_EQ((Bytes{b[63], b[64], b[65]}), (Bytes{0, 0, 0}));  // padding
    EXPECT_EQ((Bytes{b[66 + 6], b[66 + 7], b[66 + 8]}), (Bytes{50, 100, 200}));
}

TEST(BitmapRoundTrip, PixelForPixel) {
    TemporaryFolder dir;
    for (auto [w, h] : {std::pair{800, 600}, std::pair{13, 7}, std::pair{1, 1}}) {
        Surface s = pattern(w, h);
        std::string path = dir.file("p.bmp");
        ASSERT_TRUE(writeBitmapFile(path, s));
        auto back = readBitmapFile(path, w, h);
        ASSERT_TRUE(back);
        EXPECT_TRUE(*back == s) << w << "x" << h;
    }
    EXPECT_EQ(dir.entries(), 1u);  // no temporary left beside it
}

TEST(BitmapReading, OtherSizesAreClippedOrGetABlackMargin) {
    TemporaryFolder dir;
    Surface big = pattern(900, 700);
    ASSERT_TRUE(writeBitmapFile(dir.file("big.bmp"), big));
    auto clipped = readBitmapFile(dir.file("big.bmp"), 800, 600);
    ASSERT_TRUE(clipped);
    Surface expected(800, 600);
    expected.copyFrom(big, 0, 0, 800, 600, 0, 0);
    EXPECT_TRUE(*clipped == expected);

    Surface small = pattern(30, 20);
    ASSERT_TRUE(writeBitmapFile(dir.file("small.bmp"), small));
    auto framed = readBitmapFile(dir.file("small.bmp"), 800, 600);
    ASSERT_TRUE(framed);
    EXPECT_EQ(framed->pixel(29, 19), small.pixel(29, 19));
    EXPECT_EQ(framed->pixel(30, 0), 0);
    EXPECT_EQ(framed->pixel(0, 20), 0);
    EXPECT_EQ(framed->pixel(799, 599), 0);
}

TEST(BitmapReading, TopDown32BitAndMaskedPixels) {
    TemporaryFolder dir;
    // 2 x 2, rows from the top: 32-bit pixels are B, G, R, unused.
    Bytes pixels{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
    writeBytes(dir.file("td.bmp"), handMadeBitmap(2, -2, 32, 0, {}, pixels));
    auto s = readBitmapFile(dir.file("td.bmp"), 2, 2);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->pixel(0, 0), rgb(3, 2, 1));
    EXPECT_EQ(s->pixel(1, 1), rgb(12, 11, 10));

    // Masks after the header: red in the low byte, blue in the third.
    Bytes masks(12, 0);
    setU32(masks, 0, 0x000000FF);
    setU32(masks, 4, 0x0000FF00);
    setU32(masks, 8, 0x00FF0000);
    writeBytes(dir.file("mask.bmp"), handMadeBitmap(2, 2, 32, 3, masks, pixels));
    auto m = readBitmapFile(dir.file("mask.bmp"), 2, 2);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->pixel(0, 1), rgb(1, 2, 3));  // bottom-up: first row is the bottom
}

TEST(BitmapReading, PalettePictures) {
    TemporaryFolder dir;
    Bytes palette{0, 0, 255, 0, 255, 0, 0, 0};  // index 0 red, 1 blue
    // 8-bit, 3 x 1: indices 1, 0, 1, padded to four bytes; colours used 2.
    Bytes b = handMadeBitmap(3, 1, 8, 0, palette, {1, 0, 1, 0});
    setU32(b, 46, 2);
    writeBytes(dir.file("p8.bmp"), b);
    auto s = readBitmapFile(dir.file("p8.bmp"), 3, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->pixel(0, 0), rgb(0, 0, 255));
    EXPECT_EQ(s->pixel(1, 0), rgb(255, 0, 0));

    // 1-bit, 10 x 1: bits 1000000001 from the high bit of the first byte.
    Bytes b1 = handMadeBitmap(10, 1, 1, 0, palette, {0x80, 0x40, 0, 0});
    writeBytes(dir.file("p1.bmp"), b1);
    auto s1 = readBitmapFile(dir.file("p1.bmp"), 10, 1);
    ASSERT_TRUE(s1);
    EXPECT_EQ(s1->pixel(0, 0), rgb(0, 0, 255));
    EXPECT_EQ(s1->pixel(1, 0), rgb(255, 0, 0));
    EXPECT_EQ(s1->pixel(9, 0), rgb(0, 0, 255));
}

TEST(BitmapReading, RefusesWhatIsNoReadableBitmap) {
    TemporaryFolder dir;
    Bytes good = encodeBitmap(pattern(40, 30));
    auto refused = [&](const Bytes& bytes) {
        writeBytes(dir.file("bad.bmp"), bytes);
        return !readBitmapFile(dir.file("bad.bmp"), 800, 600);
    };
    EXPECT_TRUE(refused({}));
    EXPECT_TRUE(refused(Bytes(good.begin(), good.end() - 1)));  // truncated pixels
    EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 30)));  // truncated header
    const std::string text = "this is a text file, not a picture at all, honestly, not at all";
    EXPECT_TRUE(refused(Bytes(text.begin(), text.end())));

    Bytes huge = good;
    setU32(huge, 18, 100000);
    setU32(huge, 22, 100000);
    EXPECT_TRUE(refused(huge));
    Bytes wide = good;
    setU32(wide, 18, 0x7FFFFFFF);
    setU32(wide, 22, 1);
    EXPECT_TRUE(refused(wide));
    Bytes tallest = good;
    setU32(tallest, 22, 0x80000000);  // the most negative height
    EXPECT_TRUE(refused(tallest));
    Bytes negativeWidth = good;
    setU32(negativeWidth, 18, static_cast<std::uint32_t>(-40));
    EXPECT_TRUE(refused(negativeWidth));
    Bytes compressed = good;
    setU32(compressed, 30, 1);  // run-length encoded
    EXPECT_TRUE(refused(compressed));
    Bytes oddDepth = good;
    setU16(oddDepth, 28, 7);
    EXPECT_TRUE(refused(oddDepth));
    Bytes offsetBeyond = good;
    setU32(offsetBeyond, 10, 0xFFFFFFF0);
    EXPECT_TRUE(refused(offsetBeyond));
    Bytes paletteTooLong = handMadeBitmap(1, 1, 8, 0, Bytes(8, 0), {0, 0, 0, 0});
    setU32(paletteTooLong, 46, 5000);
    EXPECT_TRUE(refused(paletteTooLong));

    EXPECT_FALSE(readBitmapFile(dir.file("missing.bmp"), 800, 600));
    EXPECT_FALSE(readBitmapFile(dir.folder(), 800, 600));  // a folder
}

TEST(BitmapWriting, AFailedSaveLeavesNoFileUnderTheName) {
    TemporaryFolder dir;
    Surface s = pattern(8, 8);
    EXPECT_FALSE(writeBitmapFile(dir.file("no-such-folder/a.bmp"), s));
    writeBytes(dir.file("plain"), {1, 2, 3});
    EXPECT_FALSE(writeBitmapFile(dir.file("plain/a.bmp"), s));  // a file where a folder should be
    std::filesystem::create_directory(dir.file("taken.bmp"));
    EXPECT_FALSE(writeBitmapFile(dir.file("taken.bmp"), s));  // a folder under the name
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken.bmp")));
    EXPECT_EQ(dir.entries(), 2u);  // "plain" and "taken.bmp", no temporaries

    // A successful save replaces an older file completely.
    writeBytes(dir.file("old.bmp"), Bytes(100000, 7));
    ASSERT_TRUE(writeBitmapFile(dir.file("old.bmp"), s));
    EXPECT_EQ(std::filesystem::file_size(dir.file("old.bmp")), encodeBitmap(s).size());
}

// Another program's reader and writer agree with ours.
TEST(BitmapInterchange, QtReadsOursAndWeReadQts) {
    TemporaryFolder dir;
    Surface s = pattern(21, 9);
    ASSERT_TRUE(writeBitmapFile(dir.file("ours.bmp"), s));
    QImage theirs(QString::fromStdString(dir.file("ours.bmp")), "BMP");
    ASSERT_FALSE(theirs.isNull());
    ASSERT_EQ(theirs.width(), 21);
    ASSERT_EQ(theirs.height(), 9);
    QImage made(21, 9, QImage::Format_RGB32);
    for (int v = 0; v < 9; ++v)
        for (int u = 0; u < 21; ++u) {
            const QRgb q = theirs.pixel(u, v);
            EXPECT_EQ(rgb(qRed(q), qGreen(q), qBlue(q)), s.pixel(u, v));
            made.setPixel(u, v, qRgb(redOf(s.pixel(u, v)), greenOf(s.pixel(u, v)), blueOf(s.pixel(u, v))));
        }
    ASSERT_TRUE(made.save(QString::fromStdString(dir.file("qt.bmp")), "BMP"));
    auto back = readBitmapFile(dir.file("qt.bmp"), 21, 9);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == s);
}

}  // namespace
}  // namespace qel
