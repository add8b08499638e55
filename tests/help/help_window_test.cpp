#include "help/help_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "platform/shift_jis.h"
#include "platform/test_platform.h"

namespace qel {
namespace {

const std::string kFolder = "/opt/qel/";
const QString kQuadrantKey = QString::fromUtf8("3 描画法\n\n左上 右上\n左下 右下");

TEST(HelpWindow, ShowsTheManualBesideTheHeadingsWhereTheyWereDesigned) {
    TestPlatform platform;
    platform.files[kFolder + "readme.txt"] = "1 使い方\r\n左クリックで拡大\r\n";
    HelpWindow w(platform, kFolder, 10);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(w.windowTitle(), "readme.txt");
    EXPECT_EQ(w.text1()->toPlainText(), QString::fromUtf8("1 使い方\n左クリックで拡大\n"));
    EXPECT_EQ(w.text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w.label(1)->text(), QString::fromUtf8("1 使い方"));
    EXPECT_EQ(w.label(8)->text(), QString::fromUtf8("8 注意事項"));
    EXPECT_EQ(w.label(3)->text(), kQuadrantKey);
    EXPECT_EQ(w.text1()->geometry(), QRect(0, 0, 401, 489));
    EXPECT_EQ(w.label(3)->geometry(), QRect(408, 152, 113, 73));
    for (int n = 1; n <= 7; ++n) EXPECT_LT(w.label(n)->y(), w.label(n + 1)->y()) << n;
    // the manual a little larger than the headings
    EXPECT_EQ(w.label(5)->font().pointSize(), 10);
    EXPECT_EQ(w.text1()->font().pointSize(), 13);
    EXPECT_FALSE(w.isVisible());
}

// Each window reads the manual anew: a missing one is reported and leaves
// the window empty, an empty one is no error.
TEST(HelpWindow, AMissingManualIsReportedAndAnEmptyOneIsNot) {
    TestPlatform platform;
    platform.files["readme.txt"] = "in the current folder, not in the program's";
    HelpWindow missing(platform, kFolder, 0);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(missing.text1()->toPlainText().isEmpty());
    EXPECT_EQ(missing.label(3)->text(), QString::fromUtf8("3 描画法"));

    platform.files[kFolder + "readme.txt"] = "";
    HelpWindow empty(platform, kFolder, 0);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(empty.text1()->toPlainText().isEmpty());
    EXPECT_EQ(empty.label(3)->text(), kQuadrantKey);
}

// The manual beside the program is Shift-JIS and names the eight topics of
// the headings in their order.
TEST(Manual, IsShiftJisWithTheEightSections) {
    const std::string path = QCoreApplication::applicationDirPath().toStdString() + "/readme.txt";
    const std::optional<std::string> manual = readShiftJisFile(path);
    ASSERT_TRUE(manual) << path;
    std::size_t at = 0;
    for (const char* heading : {"1 使い方", "2 奇妙な集合", "3 描画法", "4 保存ファイル名", "5 等高線間隔 t",
                                "6 予想残り時間", "7 ハングの危険", "8 注意事項"}) {
        at = manual->find(heading, at);
        ASSERT_NE(at, std::string::npos) << heading;
    }
    for (const char* example : {"M0s1x0y0k500t1.bmp", "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp"})
        EXPECT_NE(manual->find(example), std::string::npos) << example;
}

}  // namespace
}  // namespace qel
