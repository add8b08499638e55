#include "files/bitmap.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <utility>

#include "file_stand_ins.h"

namespace qel {
namespace {

using testing::TemporaryFolder;

// Another program's reader reads what we write, pixel for pixel; a save
// replaces all of an older, longer file.
TEST(BitmapWriting, QtReadsOursAndASaveReplacesALongerFile) {
    TemporaryFolder dir;
    const Surface s = testing::pattern(900, 700);
    testing::writeBytes(dir.file("ours.bmp"), testing::Bytes(3000000, 7));
    ASSERT_TRUE(writeBitmapFile(dir.file("ours.bmp"), s));
    EXPECT_EQ(std::filesystem::file_size(dir.file("ours.bmp")), encodeBitmap(s).size());
    QImage theirs(QString::fromStdString(dir.file("ours.bmp")), "BMP");
    ASSERT_EQ(theirs.size(), QSize(900, 700));
    for (auto [u, v] : {std::pair{0, 0}, std::pair{899, 699}, std::pair{7, 3}}) {
        const QRgb q = theirs.pixel(u, v);
        EXPECT_EQ(rgb(qRed(q), qGreen(q), qBlue(q)), s.pixel(u, v)) << u << "," << v;
    }
}

}  // namespace
}  // namespace qel
