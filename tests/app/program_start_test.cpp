// The whole start-up in process: the real windows on the offscreen platform,
// with a toolkit whose message boxes and dialogs are answered by the test.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "app/fm5main.h"
#include "app/main_window.h"
#include "app/program.h"
#include "platform/qt_platform.h"
#include "settings/settings_dialog.h"

using namespace qel;

namespace {

class AnsweringPlatform : public QtPlatform {
public:
    explicit AnsweringPlatform(std::string folder) : folder_(std::move(folder)) {}
    void messageBox(const std::string& text, const std::string& title, int style) override {
        messages.push_back(title + "|" + text + "|" + std::to_string(style));
    }
    std::string programFolder() const override { return folder_; }
    void beep() override { ++beeps; }
    std::vector<std::string> messages;
    int beeps = 0;

private:
    std::string folder_;
};

std::string fieldText(QelProgram& qel, const char* name) {
    auto* f = qel.settingsDialog().findChild<QLineEdit*>(name);
    return f ? f->text().toStdString() : "<missing " + std::string(name) + ">";
}

bool selected(QelProgram& qel, const char* name) {
    auto* b = qel.settingsDialog().findChild<QRadioButton*>(name);
    return b && b->isChecked();
}

struct ProgramFolder {
    // one folder per test: tests run in parallel processes
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (std::string("qel-start-") + testing::UnitTest::GetInstance()->current_test_info()->name());
    ProgramFolder() {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~ProgramFolder() { std::filesystem::remove_all(dir); }
};

}  // namespace

TEST(ProgramStart, TheHiddenDialogIsFilledFromTheStartValues) {
    ProgramFolder folder;
    AnsweringPlatform platform(folder.dir.string());
    QelProgram qel(platform);
    EXPECT_FALSE(qel.settingsDialog().isVisible());
    EXPECT_EQ(fieldText(qel, "Text8"), " 500");
    EXPECT_EQ(fieldText(qel, "Text1"), "8");
    EXPECT_EQ(fieldText(qel, "Text7"), "8");
    EXPECT_EQ(fieldText(qel, "Text2"), "1");
    for (const char* f : {"Text3", "Text4", "Text5", "Text6"}) EXPECT_EQ(fieldText(qel, f), "0") << f;
    EXPECT_EQ(fieldText(qel, "Text9"), "1");
    EXPECT_TRUE(selected(qel, "Option15"));
    EXPECT_TRUE(selected(qel, "Option9"));
    EXPECT_TRUE(selected(qel, "Option16"));
    auto* check4 = qel.settingsDialog().findChild<QCheckBox*>("Check4");
    ASSERT_NE(check4, nullptr);
    EXPECT_FALSE(check4->isChecked());
    // the program folder gets exactly one separator, and the missing manual
    // is reported when the help window is created
    EXPECT_EQ(qel.program().s.appPath, folder.dir.string() + "/");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "エラー|readme.txt がありません|32");
}

TEST(ProgramStart, TheMainWindowOpensAt800By600AndDrawsTheStartView) {
    ProgramFolder folder;
    std::ofstream(folder.dir / "readme.txt") << "manual";
    AnsweringPlatform platform(folder.dir.string());
    QelProgram qel(platform);
    EXPECT_TRUE(platform.messages.empty());
    qel.showMainWindow();
    Program& p = qel.program();
    MainWindow& fm5 = qel.mainWindow();
    EXPECT_EQ(fm5.frameGeometry().width(), 800);
    EXPECT_EQ(fm5.frameGeometry().height(), 600);
    EXPECT_EQ(fm5.pos(), QPoint(0, 0));
    EXPECT_EQ(fm5.minimumSize(), fm5.maximumSize());  // not resizable
    EXPECT_EQ(p.s.picW, 800);
    EXPECT_EQ(p.s.picH, 600);
    EXPECT_EQ(p.picture1.width(), 1600);
    EXPECT_EQ(p.picture1.height(), 1200);
    EXPECT_EQ(p.s.firstDrawing, 0);
    EXPECT_EQ(p.s.prevAvail, 0);
    EXPECT_EQ(p.s.busy, 0);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(fm5.windowTitle().toStdString(),
              " 中心(0 , 0): 倍率1:  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
    // the centre of the top-left picture is the interior point 0: dark blue
    EXPECT_EQ(p.picture1.pixel(200, 150), 127 * 65536);
    // the live, cur and prev layers still describe the start view
    EXPECT_EQ(p.s.curMagText, "1");
    EXPECT_EQ(p.s.prevMagText, " 1");
    EXPECT_EQ(p.s.curCenterX, 0.0);
    EXPECT_EQ(p.s.prevMaxIter, 500.0);
}
