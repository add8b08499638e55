// What a person can do wrong, tried on the whole program: zooming out below
// one tenth, keys that type no character, and keys and right clicks during a
// drawing.
#include "journey_fixture.h"

namespace qel {
namespace {

TEST_F(JourneyTest, ZoomingOutBelowOneTenthIsRefusedAtEveryClick) {
    start();
    useSettings([this] {
        typeInto("Text1", "0.5");
        clickControl("Check5");  // "次以降もこの倍率で拡大"; the zoom factor is checked as it loses the focus
        clickControl("Command2");
    });
    expectAllShown();
    for (int click = 0; click < 3; ++click) leftClickAt(QPoint(200, 150));
    EXPECT_EQ(gh().magText(), "0.125");
    const Surface picture = p().picture1;
    for (std::size_t click = 1; click <= 2; ++click) {
        leftClickAt(QPoint(200, 150));
        ASSERT_EQ(platform->messages.size(), click);
        EXPECT_EQ(platform->messages.back().style, kMsgStop);
    }
    EXPECT_TRUE(p().picture1 == picture);
    expectFiniteState(s());
}

// Keys as the window system delivers them. Alt+Tab to another window or a
// screenshot must not end the exploration.
TEST_F(JourneyTest, OnlyAKeyThatTypesACharacterEndsTheProgram) {
    start();
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    };
    auto press = [this](const Key& k) {
        QKeyEvent e(QEvent::KeyPress, k.key, k.modifiers, QString::fromLatin1(k.text));
        QApplication::sendEvent(picture(), &e);
    };
    for (const Key& k : {Key{Qt::Key_Shift, Qt::ShiftModifier, ""}, Key{Qt::Key_Control, Qt::ControlModifier, ""},
                         Key{Qt::Key_Alt, Qt::AltModifier, ""}, Key{Qt::Key_Left, {}, ""}, Key{Qt::Key_F1, {}, ""},
                         Key{Qt::Key_Print, {}, ""}, Key{Qt::Key_Delete, {}, "\x7f"},
                         Key{Qt::Key_Tab, Qt::AltModifier, "\t"}})
        press(k);
    EXPECT_EQ(platform->endRequests, 0);
    for (const Key& k : {Key{Qt::Key_C, Qt::ControlModifier, "\x03"}, Key{Qt::Key_Return, {}, "\r"},
                         Key{Qt::Key_Backspace, {}, "\b"}, Key{Qt::Key_Space, {}, " "}})
        press(k);
    EXPECT_EQ(platform->endRequests, 4);
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
    // ten million iterations at full size: a row still ends soon enough
    {"dialog",
     [](JourneyTest& t, const std::function<void()>& arm) {
         t.start();
         t.useSettings([&t, &arm] {
             t.typeInto("Text8", "10000000");
             t.clickControl("Option13");  // "1倍"; the count is checked as it loses the focus
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
    EXPECT_FALSE(s().busy);
    EXPECT_EQ(platform->endRequests, key ? 1 : 0);
    expectFiniteState(s());
    QTest::keyClick(picture(), Qt::Key_A);  // between drawings a key ends the program too
    EXPECT_EQ(platform->endRequests, key ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(EveryDrawing, DrawingStageTest,
                         ::testing::Combine(::testing::ValuesIn(kStages), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Key" : "RightClick");
                         });

}  // namespace
}  // namespace qel
