// What a person can do wrong, tried on the whole program: zooming in past
// what the numbers can tell apart and out below one tenth, odd iteration
// counts, keys and right clicks at every stage of a drawing, pictures that
// cannot be read or written, and a manual that is missing or broken.
#include <sys/mount.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <fstream>

#include "files/bitmap.h"
#include "files/picture_files.h"
#include "journey_fixture.h"
#include "view/zoom_limit.h"

namespace qel {
namespace {

const std::string kZoomHint8 = "  Clickするとそこを中心に8倍に拡大描画します:";
constexpr Colour kPeriodOne = 16318464;
constexpr Colour kPeriodTwo = 16645376;

// ---------------------------------------------------------------- zooming

TEST_F(JourneyTest, ZoomingInUntilNeighboursCannotBeToldApartIsRefused) {
    start();
    leftClickAt(QPoint(50, 150));  // -1.5, away from 0 so that the limit comes soon
    int zooms = 1;
    while (platform->messages.empty() && zooms < 40) {
        leftClickAt(QPoint(200, 150));
        ++zooms;
    }
    ASSERT_EQ(platform->messages.size(), 1u);
    EXPECT_EQ(platform->messages[0].text, kMagnificationTooLarge);
    EXPECT_EQ(platform->messages[0].title, kMagnificationTooLargeTitle);
    EXPECT_EQ(platform->messages[0].style, kMsgStop);
    // 8^17 is about 2.3e15: at -1.5 one step of 1e-16 no longer shows
    EXPECT_GE(zooms, 16);
    EXPECT_LE(zooms, 20);

    // every further click is refused the same way and changes nothing
    const AppState before = s();
    const Surface picture = p().picture1;
    const std::string titleBefore = title();
    leftClickAt(QPoint(200, 150));
    EXPECT_EQ(platform->messages.size(), 2u);
    EXPECT_TRUE(s() == before);
    EXPECT_TRUE(p().picture1 == picture);
    EXPECT_EQ(title(), titleBefore);
    expectFiniteState(s());
}

TEST_F(JourneyTest, ZoomingOutBelowOneTenthIsRefusedAtEveryClick) {
    start();
    useSettings([this] {
        typeInto("Text1", "0.5");
        clickControl("Check5");  // "次以降もこの倍率で拡大"; the zoom factor is checked as it loses the focus
        clickControl("Command2");
    });
    expectAllShown();
    for (const char* magnification : {"0.5", "0.25", "0.125"}) {
        leftClickAt(QPoint(200, 150));
        EXPECT_EQ(gh().magText(), magnification);
    }
    const Surface picture = p().picture1;
    const std::string titleBefore = title();
    for (int click = 1; click <= 3; ++click) {
        leftClickAt(QPoint(200, 150));
        ASSERT_EQ(platform->messages.size(), static_cast<std::size_t>(click));
        EXPECT_EQ(platform->messages.back().text, "画面設定で初期画面からの新倍率は 0.1 以上にして下さい");
        EXPECT_EQ(platform->messages.back().title, "倍率過少");
        EXPECT_EQ(platform->messages.back().style, kMsgStop);
    }
    // the refused radius stays, as after any refused request; the screen does not change
    EXPECT_EQ(s().radius, 128.0);
    EXPECT_TRUE(p().picture1 == picture);
    EXPECT_EQ(title(), titleBefore);

    // a factor so small that the radius would overflow is refused as well
    leftClickAt(QPoint(200, 150));  // the click after the menu only closes it
    useSettings([this] {
        typeInto("Text1", "1D-300");
        clickControl("Command2");
    });
    leftClickAt(QPoint(200, 150));
    leftClickAt(QPoint(200, 150));
    EXPECT_EQ(platform->messages.back().title, "倍率過少");
    expectFiniteState(s());
    EXPECT_TRUE(p().picture1 == picture);
}

// ---------------------------------------------------------------- iterations

// Sets the iteration count in the dialog and draws the same view again.
void drawWithIterations(JourneyTest& t, const char* count, const std::function<void()>& beforeDrawing = {}) {
    t.useSettings([&t, count, beforeDrawing] {
        t.typeInto("Text8", QString::fromUtf8(count));
        t.clickControl("Option13");  // "1倍"; the count is checked as it loses the focus
        if (beforeDrawing) beforeDrawing();
        t.clickControl("Command1");
    });
}

TEST_F(JourneyTest, TinyIterationCountsStillFindThePeriodsOfZeroAndMinusOne) {
    start();
    for (const char* count : {"1", "13", "14", "15"}) {
        SCOPED_TRACE(count);
        drawWithIterations(*this, count);
        expectAllShown();
        EXPECT_EQ(s().maxIter, std::stod(count));
        EXPECT_EQ(title(), "M: 中心(0 , 0): 倍率1:" + kZoomHint8 + " 右ClickでMenu:");
        const QImage shown = screen();
        EXPECT_EQ(colourOf(shown, 200, 450), kPeriodOne);
        EXPECT_EQ(colourOf(shown, 100, 450), kPeriodTwo);
        EXPECT_EQ(drawnRows(p().picture1, 300, 300, 400), 300);
        EXPECT_TRUE(platform->messages.empty());
    }
}

TEST_F(JourneyTest, TenMillionIterationsStopAfterTheFirstRowAtARightClick) {
    start();
    const int beeps = platform->beeps;
    drawWithIterations(*this, "10000000", [this] { duringDrawingAfterRow(1, rightButtonClick()); });
    expectAllShown();
    EXPECT_EQ(s().maxIter, 1e7);
    EXPECT_EQ(drawnRows(p().picture1, 300, 300, 400), 1);
    EXPECT_EQ(s().busy, kNo);
    EXPECT_EQ(platform->beeps, beeps + 1);
    EXPECT_EQ(title(), "M: 中心(0 , 0): 倍率1:" + kZoomHint8 + " 右ClickでMenu:");
}

// ---------------------------------------------------------------- events during a drawing

struct Stage {
    const char* name;
    // Brings the program to the drawing; `arm` runs right before the event
    // that starts it.
    std::function<void(JourneyTest&, const std::function<void()>& arm)> drive;
    int lowerLeftTop, lowerLeftRows, width;
};

void PrintTo(const Stage& stage, std::ostream* os) { *os << stage.name; }

class DrawingStageTest : public JourneyTest,
                         public ::testing::WithParamInterface<std::tuple<Stage, bool /* key */>> {};

const Stage kStages[] = {
    {"first",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.putManualBesideProgram();
         t.createProgram();
         arm();
         t.qel->showMainWindow();
     },
     300, 300, 400},
    {"click",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         arm();
         t.leftClickAt(QPoint(100, 150));
     },
     300, 300, 400},
    {"dialog",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         t.useSettings([&t, &arm] {
             t.clickControl("Option13");
             arm();
             t.clickControl("Command1");
         });
     },
     300, 300, 400},
    {"julia",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         t.useSettings([&t] {
             t.clickControl("Option10");
             t.clickControl("Command2");
         });
         arm();
         t.leftClickAt(QPoint(150, 100));
     },
     300, 300, 400},
    {"fullSize",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         t.useSettings([&t, &arm] {
             t.clickControl("Option13");
             t.clickControl("Option3");
             arm();
             t.clickControl("Command1");
         });
     },
     600, 600, 800},
};

TEST_P(DrawingStageTest, AKeyEndsTheProgramAndARightClickStopsAfterTheCurrentRow) {
    const auto& [stage, key] = GetParam();
    stage.drive(*this, [this, key = key] {
        duringDrawingAfterRow(1, key ? keyPress(Qt::Key_Escape, "\x1b") : rightButtonClick());
    });
    expectAllShown();
    EXPECT_EQ(drawnRows(p().picture1, stage.lowerLeftTop, stage.lowerLeftRows, stage.width), 1);
    EXPECT_EQ(s().busy, kNo);
    EXPECT_EQ(platform->endRequests, key ? 1 : 0);
    EXPECT_EQ(s().zoom, 8.0);
    const std::string tail = stage.width == 800 ? " 右Clickで他画面: 右W-ClickでMenu:" : " 右ClickでMenu:";
    EXPECT_EQ(title().substr(title().size() - tail.size()), tail);
    expectFiniteState(s());
}

INSTANTIATE_TEST_SUITE_P(EveryDrawing, DrawingStageTest,
                         ::testing::Combine(::testing::ValuesIn(kStages), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Key" : "RightClick");
                         });

TEST_F(JourneyTest, ARightClickStopsAfterTheRowItCameInAtTheMiddleAndTheLastRow) {
    start();
    for (int row : {150, 300}) {
        duringDrawingAfterRow(row, rightButtonClick());
        leftClickAt(QPoint(200, 150));
        EXPECT_EQ(drawnRows(p().picture1, 300, 300, 400), row);
        EXPECT_EQ(title(), "M: 中心(0 , 0): 倍率" + gh().magText() + ":" + kZoomHint8 + " 右ClickでMenu:");
    }
    EXPECT_EQ(platform->endRequests, 0);
    QTest::keyClick(picture(), Qt::Key_A);  // between drawings a key ends the program too
    EXPECT_EQ(platform->endRequests, 1);
}

// ---------------------------------------------------------------- files

// A picture file the program could have written, as bytes.
std::vector<std::uint8_t> validBitmap() { return encodeBitmap(Surface(kFilePictureWidth, kFilePictureHeight)); }

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// The 54 header bytes of a 24-bit bitmap of width x height, and a little data.
std::vector<std::uint8_t> headerClaiming(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> b = validBitmap();
    b.resize(54 + 4096);
    auto put32 = [&b](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(2, 54 + width * 3 * height);
    put32(18, width);
    put32(22, height);
    return b;
}

class OpeningTest : public JourneyTest {
protected:
    // A name that carries a whole view, unlike the start view's.
    std::filesystem::path named() { return folder / "M1s8x-0p75y0p1k1000t1.bmp"; }

    // Opens the file through the menu's command; the screen and the state
    // stay as they were and a message says why.
    void expectRefusedToOpen(const char* what) {
        SCOPED_TRACE(what);
        const AppState before = s();
        const Surface picture = p().picture1;
        const std::string titleBefore = title();
        platform->messages.clear();
        platform->openAnswer = named().string();
        menuItem("mnuyomi")->trigger();
        ASSERT_EQ(platform->messages.size(), 1u);
        EXPECT_EQ(platform->messages[0].text, kPictureUnreadable);
        EXPECT_EQ(platform->messages[0].title, "fileの入力");
        EXPECT_EQ(platform->messages[0].style, kMsgQuestion);
        EXPECT_TRUE(s() == before);
        EXPECT_TRUE(p().picture1 == picture);
        EXPECT_EQ(title(), titleBefore);
    }
};

TEST_F(OpeningTest, APictureThatCannotBeReadLeavesScreenAndViewAlone) {
    start();
    std::vector<std::uint8_t> truncated = validBitmap();
    truncated.resize(truncated.size() / 2);
    writeBytes(named(), truncated);
    expectRefusedToOpen("truncated");
    writeBytes(named(), {});
    expectRefusedToOpen("zero bytes");
    std::ofstream(named()) << "1 使い方\nこれは画像ではありません\n";
    expectRefusedToOpen("a renamed text file");
    writeBytes(named(), headerClaiming(20000, 20000));
    expectRefusedToOpen("a header claiming 20000 x 20000 pixels");
    std::filesystem::remove(named());
    std::filesystem::create_directory(named());
    expectRefusedToOpen("a folder");
}

TEST_F(OpeningTest, AReadOnlyPictureOpens) {
    start();
    writeBytes(named(), validBitmap());
    std::filesystem::permissions(named(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
    platform->openAnswer = named().string();
    menuItem("mnuyomi")->trigger();
    EXPECT_TRUE(platform->messages.empty());
    EXPECT_EQ(s().singleImage, kYes);
    EXPECT_EQ(s().centerX, -0.75);
    EXPECT_EQ(s().maxIter, 1000.0);
    EXPECT_EQ(title(), "M: 中心(-0.75　,　0.1): 倍率8:" + kZoomHint8 + " 右ClickでMenu:");
}

class SavingTest : public JourneyTest {
protected:
    void expectRefusedToSave(const std::filesystem::path& target) {
        SCOPED_TRACE(target.string());
        AppState expected = s();
        expected.fileName = "M0s1x0y0k500t1.bmp";
        const Surface picture = p().picture1;
        platform->messages.clear();
        platform->saveAnswer = [target](const std::string&) { return target.string(); };
        menuItem("mnuhozon")->trigger();
        ASSERT_EQ(platform->messages.size(), 1u);
        EXPECT_EQ(platform->messages[0].text, "保存できませんでした．");
        EXPECT_EQ(platform->messages[0].title, "fileの出力");
        EXPECT_EQ(platform->messages[0].style, kMsgQuestion);
        EXPECT_TRUE(s() == expected);
        EXPECT_TRUE(p().picture1 == picture);
        EXPECT_FALSE(std::filesystem::exists(target));
    }
};

TEST_F(SavingTest, IntoAFolderThatIsNotThereOrIsAFile) {
    start();
    expectRefusedToSave(folder / "no such folder" / "M0s1x0y0k500t1.bmp");
    std::ofstream(folder / "a file") << "not a folder";
    expectRefusedToSave(folder / "a file" / "M0s1x0y0k500t1.bmp");
}

TEST_F(SavingTest, OntoAFullDiskLeavesNoPartFileBehind) {
    const std::filesystem::path small = folder / "small disk";
    std::filesystem::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a 64 KiB disk needs the right to mount one";
    start();
    expectRefusedToSave(small / "M0s1x0y0k500t1.bmp");
    EXPECT_TRUE(std::filesystem::is_empty(small));
    ::umount(small.c_str());
}

// ---------------------------------------------------------------- the manual

struct Manual {
    const char* name;
    std::function<void(const std::filesystem::path& folder)> lay;
    bool reported;          // "readme.txt がありません" at start-up and at every opening
    const char* shownText;  // what the help window shows
};

void PrintTo(const Manual& manual, std::ostream* os) { *os << manual.name; }

class ManualTest : public JourneyTest, public ::testing::WithParamInterface<Manual> {};

TEST_P(ManualTest, HelpWindowShowsWhatCanBeReadAndReportsWhatCannot) {
    const Manual& manual = GetParam();
    manual.lay(folder);
    createProgram();
    EXPECT_EQ(platform->messages.size(), manual.reported ? 1u : 0u);
    qel->showMainWindow();

    QString shown = "<not opened>";
    whenShown([] { return QApplication::activeModalWidget(); },
              [&shown](QWidget* help) {
                  if (auto* text = help->findChild<QPlainTextEdit*>("Text1")) shown = text->toPlainText();
                  help->close();
              });
    chooseFromMenu("hlp");
    expectAllShown();
    EXPECT_EQ(shown, QString::fromUtf8(manual.shownText));
    ASSERT_EQ(platform->messages.size(), manual.reported ? 2u : 0u);
    for (const ShownMessage& m : platform->messages) {
        EXPECT_EQ(m.text, "readme.txt がありません");
        EXPECT_EQ(m.title, "エラー");
        EXPECT_EQ(m.style, kMsgQuestion);
    }
    EXPECT_NE(title().find("倍率1:"), std::string::npos);  // the program goes on
}

INSTANTIATE_TEST_SUITE_P(
    Manuals, ManualTest,
    ::testing::Values(
        Manual{"Missing", [](const std::filesystem::path&) {}, true, ""},
        Manual{"Empty", [](const std::filesystem::path& f) { std::ofstream(f / "readme.txt"); }, false, ""},
        // a lead byte without its second byte: the rest of the manual still shows
        Manual{"NotShiftJis",
               [](const std::filesystem::path& f) { std::ofstream(f / "readme.txt") << "abc\x82 xyz\r\n\x88\xea"; },
               false, "abc\xEF\xBF\xBD xyz\n一"},
        Manual{"AFolder", [](const std::filesystem::path& f) { std::filesystem::create_directory(f / "readme.txt"); },
               true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel
