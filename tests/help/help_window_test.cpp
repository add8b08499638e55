#include "help/help_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "platform/shift_jis.h"
#include "platform/test_platform.h"

namespace qel {
namespace {

const std::string kFolder = "/opt/qel/";

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

TEST(HelpWindow, ShowsTheManualBesideTheHeadings) {
    TestPlatform platform;
    platform.files[kFolder + "readme.txt"] = "1 使い方\r\n左クリックで拡大\r\n";
    HelpWindow w(platform, kFolder, 0);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(w.windowTitle(), "readme.txt");
    EXPECT_EQ(w.text1()->toPlainText(), text("1 使い方\n左クリックで拡大\n"));
    EXPECT_EQ(w.text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w.label(1)->text(), text("1 使い方"));
    EXPECT_EQ(w.label(8)->text(), text("8 注意事項"));
    EXPECT_EQ(w.label(3)->text(), text("3 描画法\n\n左上 右上\n左下 右下"));
    EXPECT_FALSE(w.isVisible());
}

TEST(HelpWindow, ControlsStandWhereTheyWereDesigned) {
    TestPlatform platform;
    HelpWindow w(platform, kFolder, 0);
    EXPECT_EQ(w.text1()->geometry(), QRect(0, 0, 401, 489));
    EXPECT_EQ(w.label(1)->geometry(), QRect(408, 24, 105, 25));
    EXPECT_EQ(w.label(3)->geometry(), QRect(408, 152, 113, 73));
    EXPECT_EQ(w.label(8)->geometry(), QRect(408, 456, 113, 17));
    for (int n = 1; n <= 7; ++n) EXPECT_LT(w.label(n)->y(), w.label(n + 1)->y()) << n;
}

TEST(HelpWindow, FontSizesFollowTheScreen) {
    TestPlatform platform;
    HelpWindow w(platform, kFolder, 10);
    EXPECT_EQ(w.label(5)->font().pointSize(), 10);
    EXPECT_EQ(w.text1()->font().pointSize(), 13);
}

TEST(HelpWindow, AMissingManualIsReportedAndTheWindowStaysEmpty) {
    TestPlatform platform;
    platform.files["readme.txt"] = "in the current folder, not in the program's";
    HelpWindow w(platform, kFolder, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "readme.txt がありません");
    EXPECT_EQ(platform.messages[0].title, "エラー");
    EXPECT_EQ(platform.messages[0].style, 32);
    EXPECT_TRUE(w.text1()->toPlainText().isEmpty());
    EXPECT_EQ(w.label(3)->text(), text("3 描画法"));
}

TEST(HelpWindow, AnEmptyManualIsNoError) {
    TestPlatform platform;
    platform.files[kFolder + "readme.txt"] = "";
    HelpWindow w(platform, kFolder, 0);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(w.text1()->toPlainText().isEmpty());
    EXPECT_EQ(w.label(3)->text(), text("3 描画法\n\n左上 右上\n左下 右下"));
}

// Closes whatever modal window is open once the event loop runs.
void closeModalSoon() {
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
}

TEST(ShowHelp, EveryOpeningReadsTheManualAgain) {
    TestPlatform platform;
    closeModalSoon();
    showHelp(platform, kFolder, 9);
    EXPECT_EQ(platform.messages.size(), 1u);
    closeModalSoon();
    showHelp(platform, kFolder, 9);
    EXPECT_EQ(platform.messages.size(), 2u);
    platform.files[kFolder + "readme.txt"] = "x";
    closeModalSoon();
    showHelp(platform, kFolder, 9);
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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
        std::size_t found = manual->find(heading, at);
        ASSERT_NE(found, std::string::npos) << heading;
        at = found;
    }
    for (const char* example : {"M0s1x0y0k500t1.bmp", "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp"})
        EXPECT_NE(manual->find(example), std::string::npos) << example;
}

}  // namespace
}  // namespace qel
