// Texts no field expects, typed into every field of the dialog: each is
// taken or refused by that field's own check on the value of the text, and
// nothing in the state becomes infinite or NaN.
#include <functional>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "finite_state.h"

namespace qel {
namespace {

struct Entry {
    std::string text;
    double value;  // the value of the text
};

// The value of a text is read from its start: no digits, an overflow and
// a full-width digit all read 0; "D" is an exponent letter, and "0x10" stops
// at the "x".
const std::vector<Entry> kEntries = {
    {"", 0},      {"   ", 0},
    {"1e999", 0}, {"-0", -0.0},
    {"1D2", 100}, {"0x10", 0},
    {std::string(400, '9'), 0}, {"１２", 0},
};

struct FieldRule {
    const char* field;
    const char* refusalTitle;
    std::function<bool(double)> accepts;
    std::function<double(const AppState&)> stored;  // what an accepted entry sets
};

const std::vector<FieldRule> kRules = {
    {"Text1", "現画面を□倍に拡大", [](double v) { return v > 0; }, [](const AppState& s) { return s.zoom; }},
    // Text2 reads 1, so the new magnification is the zoom factor itself
    {"Text7", "初期画面からの新倍率", [](double v) { return v >= 0.1; }, [](const AppState& s) { return s.zoom; }},
    {"Text3", "x座標", [](double v) { return v >= -4 && v <= 4; }, [](const AppState& s) { return s.centerX; }},
    {"Text5", "y座標", [](double v) { return v >= -4 && v <= 4; }, [](const AppState& s) { return s.centerY; }},
    {"Text8", "計算回数", [](double v) { return v > 0 && v == static_cast<long long>(v); },
     [](const AppState& s) { return s.maxIter; }},
    {"Text9", "等高線間隔･明暗", [](double v) { return v >= 0 && v <= 5; },
     [](const AppState& s) { return static_cast<double>(s.contourT); }},
};

class BadEntryTest : public DialogTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(BadEntryTest, EveryFieldTakesOrRefusesEachTextByItsOwnCheck) {
    for (const FieldRule& rule : kRules) {
        for (const Entry& entry : kEntries) {
            SCOPED_TRACE(std::string(rule.field) + " given \"" + entry.text.substr(0, 12) + "\"");
            const AppState before = s;
            platform.messages.clear();
            paste(rule.field, entry.text.c_str());
            moveFocusTo(rule.field == std::string("Text9") ? "Text8" : "Text9");
            if (rule.accepts(entry.value)) {
                EXPECT_TRUE(platform.messages.empty());
                EXPECT_EQ(rule.stored(s), entry.value);
            } else {
                ASSERT_EQ(platform.messages.size(), 1u);
                EXPECT_EQ(platform.messages[0].title, rule.refusalTitle);
                EXPECT_TRUE(field(rule.field)->hasFocus());
                // the field holds an accepted value again, and nothing changed
                EXPECT_EQ(rule.stored(s), rule.stored(before));
                EXPECT_TRUE(rule.accepts(valueOfText(text(rule.field)))) << text(rule.field);
            }
            expectFiniteState(s);
        }
    }
}

TEST_F(BadEntryTest, RefusedFieldsAreRefilledWithTheStoredValues) {
    paste("Text8", "１２");
    moveFocusTo("Text9");
    EXPECT_EQ(text("Text8"), " 500");
    paste("Text1", "1e999");
    moveFocusTo("Text9");
    EXPECT_EQ(text("Text1"), "8");  // new magnification 8 / shown 1
    paste("Text7", "0x10");
    moveFocusTo("Text9");
    EXPECT_EQ(text("Text7"), "8");
    paste("Text3", "1D2");
    moveFocusTo("Text9");
    EXPECT_EQ(text("Text3"), "0");
    paste("Text9", "1D2");
    moveFocusTo("Text8");
    EXPECT_EQ(text("Text9"), "1");
    EXPECT_EQ(platform.messages.size(), 5u);
}

TEST_F(BadEntryTest, ExtremeZoomFactorsLeaveTheViewFinite) {
    gh->setDrawingRequest([] {});
    // a zoom out so strong that the radius would be infinite is refused
    paste("Text1", "1D-320");
    moveFocusTo("Text9");
    EXPECT_GT(s.zoom, 0.0);
    gh->Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "倍率過少");
    EXPECT_EQ(s.radius, 2.0);
    // a zoom in past every bound draws nothing and keeps the radius
    open();
    paste("Text1", "1D308");
    moveFocusTo("Text9");
    gh->Command1_Click();
    const double deepest = s.radius;
    gh->Command1_Click();  // the radius would be 0: refused with a beep
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(s.radius, deepest);
    EXPECT_GT(s.radius, 0.0);
    expectFiniteState(s);
}

}  // namespace
}  // namespace qel
