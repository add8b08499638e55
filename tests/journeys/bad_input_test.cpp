// What a person can do wrong, tried on the whole program: zooming out below
// one tenth, odd iteration counts, keys and right clicks at every stage of a
// drawing, a full disk, and a manual that is missing or broken.
#include <sys/mount.h>

#include <QPlainTextEdit>
#include <fstream>

#include "journey_fixture.h"

namespace qel {
namespace {

// ---------------------------------------------------------------- zooming

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
    for (std::size_t click = 1; click <= 3; ++click) {
        leftClickAt(QPoint(200, 150));
        ASSERT_EQ(platform->messages.size(), click);
        EXPECT_EQ(platform->messages.back().text, "画面設定で初期画面からの新倍率は 0.1 以上にして下さい");
        EXPECT_EQ(platform->messages.back().title, "倍率過少");
        EXPECT_EQ(platform->messages.back().style, kMsgStop);
    }
    // the refused radius stays, as after any refused request; the screen does not change
    EXPECT_EQ(s().radius, 128.0);
    EXPECT_TRUE(p().picture1 == picture);
    EXPECT_EQ(title(), titleBefore);
    expectFiniteState(s());
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

// Below 14 iterations the period search reads ring slots no point wrote.
TEST_F(JourneyTest, TinyIterationCountsStillFindThePeriodsOfZeroAndMinusOne) {
    start();
    for (const char* count : {"1", "13", "14"}) {
        SCOPED_TRACE(count);
        drawWithIterations(*this, count);
        expectAllShown();
        EXPECT_EQ(s().maxIter, std::stod(count));
        const QImage shown = screen();
        EXPECT_EQ(colourOf(shown, 200, 450), kPeriodOne);
        EXPECT_EQ(colourOf(shown, 100, 450), kPeriodTwo);
        EXPECT_EQ(drawnRows(p().picture1, 300, 300, 400), 300);
        EXPECT_TRUE(platform->messages.empty());
    }
}

// ---------------------------------------------------------------- events during a drawing

struct Stage {
    const char* name;
    // Brings the program to the drawing; `arm` runs right before the event
    // that starts it.
    std::function<void(JourneyTest&, const std::function<void()>& arm)> drive;
    int lowerLeftTop, width;  // the lower-left picture: its first row, its width
};

void PrintTo(const Stage& stage, std::ostream* os) { *os << stage.name; }

class DrawingStageTest : public JourneyTest,
                         public ::testing::WithParamInterface<std::tuple<Stage, bool /* key */>> {};

const Stage kStages[] = {
    {"first",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.createProgram();
         arm();
         t.qel->showMainWindow();
     },
     300, 400},
    {"click",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         arm();
         t.leftClickAt(QPoint(100, 150));
     },
     300, 400},
    // ten million iterations: a row still ends soon enough
    {"dialog",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         drawWithIterations(t, "10000000", arm);
     },
     300, 400},
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
     300, 400},
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
     600, 800},
};

TEST_P(DrawingStageTest, AKeyEndsTheProgramAndARightClickStopsAfterTheCurrentRow) {
    const auto& [stage, key] = GetParam();
    stage.drive(*this, [this, key = key] { duringDrawingAfterRow(1, key); });
    expectAllShown();
    EXPECT_EQ(drawnRows(p().picture1, stage.lowerLeftTop, stage.lowerLeftTop, stage.width), 1);
    EXPECT_EQ(s().busy, kNo);
    EXPECT_EQ(platform->endRequests, key ? 1 : 0);
    EXPECT_EQ(s().maxIter, stage.name == std::string("dialog") ? 1e7 : 500.0);
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
        duringDrawingAfterRow(row, false);
        leftClickAt(QPoint(200, 150));
        EXPECT_EQ(drawnRows(p().picture1, 300, 300, 400), row);
        EXPECT_EQ(title(), "M: 中心(0 , 0): 倍率" + gh().magText() + ":" + kZoomHint8 + " 右ClickでMenu:");
    }
    EXPECT_EQ(platform->endRequests, 0);
    QTest::keyClick(picture(), Qt::Key_A);  // between drawings a key ends the program too
    EXPECT_EQ(platform->endRequests, 1);
}

// ---------------------------------------------------------------- files

// A full disk (where the test may mount one): a message, the state as it
// was, and no part file left behind.
TEST_F(JourneyTest, APictureSavedOntoAFullDiskLeavesNothingBehind) {
    const std::filesystem::path small = folder / "small disk", target = small / "M0s1x0y0k500t1.bmp";
    std::filesystem::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a 64 KiB disk needs the right to mount one";
    start();
    AppState expected = s();
    expected.fileName = "M0s1x0y0k500t1.bmp";
    const Surface picture = p().picture1;
    platform->saveAnswer = [target](const std::string&) { return target.string(); };
    menuItem("mnuhozon")->trigger();
    EXPECT_TRUE(std::filesystem::is_empty(small));
    ::umount(small.c_str());
    ASSERT_EQ(platform->messages.size(), 1u);
    EXPECT_EQ(platform->messages[0].text, "保存できませんでした．");
    EXPECT_EQ(platform->messages[0].title, "fileの出力");
    EXPECT_EQ(platform->messages[0].style, kMsgQuestion);
    EXPECT_TRUE(s() == expected);
    EXPECT_TRUE(p().picture1 == picture);
}

// ---------------------------------------------------------------- the manual

TEST_F(JourneyTest, AMissingManualIsReportedAtEveryOpeningAndABrokenOneStillShows) {
    qel = std::make_unique<QelProgram>(*platform);  // no manual beside the program
    EXPECT_EQ(platform->messages.size(), 1u);
    qel->showMainWindow();
    const std::string titleBefore = title();
    auto openHelp = [this] {
        QString shown = "<not opened>";
        whenShown([] { return QApplication::activeModalWidget(); },
                  [&shown](QWidget* help) {
                      if (auto* text = help->findChild<QPlainTextEdit*>("Text1")) shown = text->toPlainText();
                      help->close();
                  });
        chooseFromMenu("hlp");
        expectAllShown();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return shown;
    };
    EXPECT_EQ(openHelp(), "");
    ASSERT_EQ(platform->messages.size(), 2u);
    for (const ShownMessage& m : platform->messages) {
        EXPECT_EQ(m.text, "readme.txt がありません");
        EXPECT_EQ(m.title, "エラー");
        EXPECT_EQ(m.style, kMsgQuestion);
    }
    // a lead byte without its second byte: the rest of the manual still shows
    std::ofstream(folder / "readme.txt") << "abc\x82 xyz\r\n\x88\xea";
    rightClick();  // the click after the menu only closes it
    EXPECT_EQ(openHelp(), QString::fromUtf8("abc\xEF\xBF\xBD xyz\n一"));
    EXPECT_EQ(platform->messages.size(), 2u);
    EXPECT_EQ(title(), titleBefore);  // the program goes on
}

}  // namespace
}  // namespace qel
