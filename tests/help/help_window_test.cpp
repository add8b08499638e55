#include "help/help_window.h"
#include "help/manual_places.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "platform/shift_jis.h"
#include "support/test_platform.h"

namespace qel {
namespace {

const std::string kFolder = "/opt/qel/";
const QString kQuadrantKey = QString::fromUtf8("3 描画法\n\n左上 右上\n左下 右下");

// The manual's lines end in CR LF.
TEST(HelpWindow, ShowsTheManualFromTheProgramFolder) {
    TestPlatform platform;
    platform.files[kFolder + "readme.txt"] = "abc xyz\r\n一";
    HelpWindow w(platform, kFolder, 10);
    EXPECT_EQ(std::tuple(platform.messages.size(), w.isVisible()), std::tuple(0u, false));
    EXPECT_EQ(std::tuple(w.text1()->toPlainText(), w.label(3)->text()),
              std::tuple(QString::fromUtf8("abc xyz\n一"), kQuadrantKey));
}

// Each window reads the manual anew: a missing one is reported and leaves
// the window empty, an empty one is no error.
TEST(HelpWindow, AMissingManualIsReportedAndAnEmptyOneIsNot) {
    TestPlatform platform;
    platform.files["readme.txt"] = "in the current folder, not in the program's";
    HelpWindow missing(platform, kFolder, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].style, kMsgQuestion);
    EXPECT_EQ(std::tuple(missing.text1()->toPlainText(), missing.label(3)->text()),
              std::tuple(QString(), QString::fromUtf8("3 描画法")));

    platform.files[kFolder + "readme.txt"] = "";
    HelpWindow empty(platform, kFolder, 0);
    EXPECT_EQ(std::tuple(platform.messages.size(), empty.label(3)->text()), std::tuple(1u, kQuadrantKey));
}

// Installed, the manual lies in share/qel beside the program's bin/; one
// beside the program comes first.
TEST(HelpWindow, ReadsTheInstalledManualWhenNoneLiesBesideTheProgram) {
    TestPlatform platform;
    const std::vector<std::string> folders = manualFolders(kFolder);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], kFolder);
    platform.files[folders[1] + "readme.txt"] = "installed";
    HelpWindow installed(platform, kFolder, 0);
    EXPECT_EQ(installed.text1()->toPlainText(), "installed");

    platform.files[kFolder + "readme.txt"] = "beside";
    HelpWindow beside(platform, kFolder, 0);
    EXPECT_EQ(beside.text1()->toPlainText(), "beside");
    EXPECT_TRUE(platform.messages.empty());
}

// The manual shipped beside the program reads as Shift-JIS to its last heading.
TEST(Manual, IsShiftJis) {
    const std::string path = QCoreApplication::applicationDirPath().toStdString() + "/readme.txt";
    const std::optional<std::string> manual = readShiftJisFile(path);
    ASSERT_TRUE(manual) << path;
    EXPECT_NE(manual->find("8 注意事項"), std::string::npos);
}

}  // namespace
}  // namespace qel
