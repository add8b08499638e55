// The whole start-up in process: the real windows on the offscreen platform.
// The first drawing's title and colours and the missing manual are pinned by
// the journeys; this is what they do not look at.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <random>
#include <tuple>

#include "app/fm5main.h"
#include "app/main_window.h"
#include "app/program.h"
#include "platform/qt_platform.h"
#include "settings/settings_dialog.h"

namespace qel {
namespace {

class CountingPlatform : public QtPlatform {
public:
    explicit CountingPlatform(std::string folder) : folder_(std::move(folder)) {}
    void messageBox(const std::string& text, const std::string&, int) override { messages.push_back(text); }
    std::string programFolder() const override { return folder_; }
    void beep() override { ++beeps; }
    std::vector<std::string> messages;
    int beeps = 0;

private:
    std::string folder_;
};

TEST(ProgramStart, AFixed800By600WindowDrawsTheStartViewBesideAHiddenFilledDialog) {
    // a folder of its own, with the manual: tests run in parallel processes
    const auto folder =
        std::filesystem::temp_directory_path() / ("qel-start-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "readme.txt") << "manual";
    CountingPlatform platform(folder.string());
    {
        QelProgram qel(platform);
        qel.showMainWindow();
        MainWindow& fm5 = qel.mainWindow();
        EXPECT_EQ(fm5.frameGeometry(), QRect(0, 0, 800, 600));
        EXPECT_EQ(fm5.minimumSize(), fm5.maximumSize());  // not resizable
        SettingsDialog& gh = qel.settingsDialog();
        EXPECT_FALSE(gh.isVisible());
        auto* iterations = gh.findChild<QLineEdit*>("Text8");
        auto* split = gh.findChild<QRadioButton*>("Option15");
        EXPECT_TRUE(iterations && iterations->text() == " 500");
        EXPECT_TRUE(split && split->isChecked());
        const AppState& s = qel.program().s;
        EXPECT_EQ(s.appPath, folder.string() + "/");  // exactly one separator
        EXPECT_EQ(s.picW, 800);
        EXPECT_EQ(s.picH, 600);
        EXPECT_EQ(qel.program().picture1.width(), 1600);  // room for four pictures
        EXPECT_EQ(qel.program().picture1.height(), 1200);
        EXPECT_EQ(s.firstDrawing, 0);
        EXPECT_EQ(s.prevAvail, 0);  // nothing to go back to
        EXPECT_EQ(platform.beeps, 1);
        // the cur and prev layers describe the start view
        EXPECT_EQ(std::tie(s.curMagText, s.prevMagText), std::make_tuple(std::string("1"), std::string(" 1")));
        EXPECT_EQ(std::tie(s.curCenterX, s.prevMaxIter), std::make_tuple(0.0, 500.0));
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace qel
