// Fields checked as they lose the focus, given the edges of their ranges
// and texts no field expects; presets that follow typed values, the label
// shortcuts, check boxes and method buttons, worked through a shown dialog.
#include <functional>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "finite_state.h"

namespace qel {
namespace {

class FieldCheckTest : public DialogTest {
protected:
    void SetUp() override { open(); }
};

struct Entry {
    std::string text;
    double value;  // the number the text stands for
};

struct FieldRule {
    const char *field, *refusalTitle, *refusalText;
    std::function<bool(double)> accepts;
    std::function<double(const AppState&)> stored;  // what an accepted entry sets
    std::vector<Entry> edges;                       // texts at the edges of its range
    const char* partner;                            // the field rewritten from an accepted entry
};

// The shown magnification (Text2) reads 1, so the new magnification is the zoom factor itself.
const std::vector<FieldRule> kRules = {
    {"Text1", "現画面を□倍に拡大", "正整数を入れて下さい", [](double v) { return v > 0; },
     [](const AppState& s) { return s.zoom; }, {{"2.5", 2.5}, {"0", 0}}, "Text7"},
    {"Text7", "初期画面からの新倍率", "桁あふれエラーを避けるために 0.1 以上の正数を入れて下さい",
     [](double v) { return v >= 0.1; }, [](const AppState& s) { return s.zoom; }, {{"0.1", 0.1}, {"0.09", 0.09}},
     "Text1"},
    {"Text3", "x座標", "桁あふれエラーを避けるために -4～4 の値を入れて下さい", [](double v) { return v >= -4 && v <= 4; },
     [](const AppState& s) { return s.centerX; }, {{"4", 4}, {"-4", -4}, {"4.001", 4.001}}, nullptr},
    {"Text5", "y座標", "桁あふれエラーを避けるために -4～4 の値を入れて下さい", [](double v) { return v >= -4 && v <= 4; },
     [](const AppState& s) { return s.centerY; }, {{"-7", -7}}, nullptr},
    {"Text8", "計算回数", "正整数を入れて下さい", [](double v) { return v > 0 && v == static_cast<long long>(v); },
     [](const AppState& s) { return s.maxIter; }, {{"1000", 1000}, {"2.5", 2.5}, {"-3", -3}}, nullptr},
    {"Text9", "等高線間隔･明暗", "0～5の値を入れて下さい．既定値は1", [](double v) { return v >= 0 && v <= 5; },
     [](const AppState& s) { return static_cast<double>(s.contourT); }, {{"5", 5}, {"0.5", 0.5}, {"5.5", 5.5}, {"-1", -1}},
     nullptr},
};

// A text is read from its start: no digits, an overflow and full-width
// digits all read 0, and "D" is an exponent letter.
const std::vector<Entry> kOddTexts = {{"", 0}, {"1e999", 0}, {"1D2", 100}, {std::string(400, '9'), 0}, {"１２", 0}};

TEST_F(FieldCheckTest, EachFieldTakesOrRefusesATextByItsOwnRangeAndNothingBecomesInfinite) {
    for (const FieldRule& rule : kRules) {
        std::vector<Entry> entries = rule.edges;
        entries.insert(entries.end(), kOddTexts.begin(), kOddTexts.end());
        const char* next = rule.field == std::string("Text9") ? "Text8" : "Text9";
        for (const Entry& entry : entries) {
            SCOPED_TRACE(std::string(rule.field) + " given \"" + entry.text.substr(0, 12) + "\"");
            const double before = rule.stored(s);
            platform.messages.clear();
            paste(rule.field, entry.text.c_str());
            moveFocusTo(next);
            if (rule.accepts(entry.value)) {
                EXPECT_TRUE(platform.messages.empty());
                EXPECT_EQ(rule.stored(s), entry.value);
                EXPECT_TRUE(field(next)->hasFocus());
                if (rule.partner) {
                    EXPECT_EQ(valueOfText(text(rule.partner)), entry.value);
                }
            } else {
                ASSERT_EQ(platform.messages.size(), 1u);
                EXPECT_EQ(platform.messages[0].title, rule.refusalTitle);
                EXPECT_EQ(platform.messages[0].text, rule.refusalText);
                EXPECT_EQ(platform.messages[0].style, kMsgNoIcon);
                // the focus stays, and the field shows the stored value again
                EXPECT_TRUE(field(rule.field)->hasFocus());
                EXPECT_EQ(rule.stored(s), before);
                EXPECT_EQ(valueOfText(text(rule.field)), before) << text(rule.field);
            }
            expectFiniteState(s);
        }
    }
}

TEST_F(FieldCheckTest, LeavingForAnotherWindowOrAMessageBoxChecksNothing) {
    QWidget other;
    auto activate = [](QWidget* w) {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    };
    paste("Text1", "0");
    other.show();
    activate(&other);
    EXPECT_TRUE(platform.messages.empty());
    activate(gh.get());
    EXPECT_TRUE(field("Text1")->hasFocus());

    // A real message box takes the activation as well: the refusal is shown once.
    platform.onMessage = [&] {
        activate(&other);
        activate(gh.get());
    };
    field("Text8")->setText("0");
    moveFocusTo("Text8");
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(field("Text1")->hasFocus());
    EXPECT_EQ(text("Text8"), "0");
}

TEST_F(FieldCheckTest, EnteringTheZoomFactorPutsTheCaretAtTheEnd) {
    field("Text1")->setText("16");
    field("Text1")->setCursorPosition(0);
    moveFocusTo("Text3");
    moveFocusTo("Text1");
    EXPECT_EQ(field("Text1")->cursorPosition(), 2);
}

TEST_F(FieldCheckTest, TypedValuesSelectTheirPresetsAndPresetsWriteFieldAndState) {
    type("Text1", "16");
    EXPECT_TRUE(option("Option1")->isChecked());
    EXPECT_EQ(s.zoom, 16.0);  // the preset's handler ran
    type("Text1", "5");
    for (const char* name : {"Option13", "Option14", "Option15", "Option1"}) EXPECT_FALSE(option(name)->isChecked());
    type("Text1", "4");
    field("Text1")->setText("-4");  // a value of 0 or less changes nothing
    EXPECT_TRUE(option("Option14")->isChecked());
    field("Text8")->setText("10000");
    EXPECT_TRUE(option("Option8")->isChecked());
    field("Text8")->setText("0");
    EXPECT_FALSE(option("Option8")->isChecked());

    field("Text2")->setText("3");
    option("Option13")->select();
    EXPECT_EQ(text("Text1"), "1");
    EXPECT_EQ(s.zoom, 1.0);
    EXPECT_EQ(text("Text7"), "3");
    option("Option7")->select();
    EXPECT_EQ(s.maxIter, 1000.0);
    EXPECT_EQ(text("Text8"), " 1000");
}

TEST_F(FieldCheckTest, LabelsWriteTheirFieldsAndOnlyDigitsTakeTheValue) {
    field("Text9")->setText("3.0");
    click("Label17");
    EXPECT_EQ(text("Text9"), "3");
    EXPECT_EQ(s.contourT, 3.0f);
    s.contourT = 2.0f;
    click("Label17");  // reads exactly 3 already
    EXPECT_EQ(s.contourT, 2.0f);
    click("Label19");
    EXPECT_EQ(s.contourT, 5.0f);

    s.centerX = 1;
    field("Text3")->setText("1");
    field("Text5")->setText("2");
    click("Label4");
    EXPECT_EQ(text("Text3"), "0");
    EXPECT_EQ(text("Text5"), "0");
    EXPECT_EQ(s.centerX, 1.0);
    click("Label9");
    EXPECT_EQ(text("Text7"), "1");
    EXPECT_EQ(s.zoom, 8.0);
}

// A full-size drawing brings the chosen quadrant into view (the journeys
// watch that on the screen); elsewhere a method button only records.
TEST_F(FieldCheckTest, OnASplitScreenOrAnOpenedFileAMethodButtonOnlyRecordsTheChoice) {
    s.halfW = 400;
    s.halfH = 300;
    option("Option5")->select();
    EXPECT_EQ(s.drawMethod, 3);
    EXPECT_EQ(s.shownMethod, 0);
    s.shownQuad = 2;
    s.shownMethod = 2;
    s.singleImage = kYes;
    option("Option6")->select();
    EXPECT_EQ(s.drawMethod, 4);
    gh->selectMethodOption(0);  // the split-screen button resets the shown method only on a split screen
    EXPECT_EQ(s.drawMethod, 0);
    EXPECT_EQ(s.shownMethod, 2);
    EXPECT_EQ(picture1.left(), 0);
    EXPECT_EQ(picture1.top(), 0);
    EXPECT_EQ(platform.pictureUpdates, 0);
    gh->selectMethodOption(3);
    s.shownQuad = 0;
    gh->selectMethodOption(0);
    EXPECT_EQ(s.shownMethod, 0);
}

}  // namespace
}  // namespace qel
