// Fields checked as they lose the focus, given the edges of their ranges
// and texts no field expects, and presets that follow typed values.
#include <functional>
#include <limits>
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
    bool taken;
};

// The texts at the edges of a field's range, and then texts no field
// expects: a text is read from its start, so no digits and full-width
// digits read 0, "D" is an exponent letter, and a number too large for a
// double (NaN here) is no 0 but out of every range.
std::vector<Entry> withOddTexts(std::vector<Entry> edges, bool zeroTaken, bool hundredTaken) {
    const double overflowing = std::numeric_limits<double>::quiet_NaN();
    edges.insert(edges.end(), {{"", 0, zeroTaken},
                               {"1e999", overflowing, false},
                               {"1D2", 100, hundredTaken},
                               {"-" + std::string(400, '9'), overflowing, false},
                               {"１２", 0, zeroTaken}});
    return edges;
}

struct FieldRule {
    const char* field;
    std::function<double(const AppState&)> stored;  // what an accepted entry sets
    std::vector<Entry> entries;
    const char* partner;                            // the field rewritten from an accepted entry
};

// The shown magnification (Text2) reads 1, so the new magnification is the zoom factor itself.
const std::vector<FieldRule> kRules = {
    {"Text1", [](const AppState& s) { return s.zoom; },
     withOddTexts({{"2.5", 2.5, true}, {"0", 0, false}}, false, true), "Text7"},
    {"Text7", [](const AppState& s) { return s.zoom; },
     withOddTexts({{"0.1", 0.1, true}, {"0.09", 0.09, false}}, false, true), "Text1"},
    {"Text3", [](const AppState& s) { return s.live.centerX; },
     withOddTexts({{"-4", -4, true}, {"4.001", 4.001, false}}, true, false), nullptr},
    {"Text5", [](const AppState& s) { return s.live.centerY; }, withOddTexts({{"-7", -7, false}}, true, false), nullptr},
    {"Text8", [](const AppState& s) { return s.live.maxIter; },
     withOddTexts({{"1000", 1000, true}, {"2.5", 2.5, false}}, false, true), nullptr},
    {"Text9", [](const AppState& s) { return static_cast<double>(s.live.contourT); },
     withOddTexts({{"5", 5, true}, {"5.5", 5.5, false}}, true, false), nullptr},
};

TEST_F(FieldCheckTest, EachFieldTakesOrRefusesATextByItsOwnRangeAndNothingBecomesInfinite) {
    for (const FieldRule& rule : kRules) {
        const char* next = rule.field == std::string("Text9") ? "Text8" : "Text9";
        for (const Entry& entry : rule.entries) {
            SCOPED_TRACE(std::string(rule.field) + " given \"" + entry.text.substr(0, 12) + "\"");
            const double before = rule.stored(s);
            platform.messages.clear();
            paste(rule.field, entry.text.c_str());
            moveFocusTo(next);
            if (entry.taken) {
                EXPECT_TRUE(platform.messages.empty());
                EXPECT_EQ(rule.stored(s), entry.value);
                EXPECT_TRUE(field(next)->hasFocus());
                if (rule.partner) { EXPECT_EQ(valueOfText(text(rule.partner)), entry.value); }
            } else {
                EXPECT_EQ(platform.messages.size(), 1u);
                for (const ShownMessage& m : platform.messages) EXPECT_EQ(m.style, kMsgNoIcon);
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
    platform.onMessage = [&] { activate(&other); activate(gh.get()); };
    field("Text8")->setText("0");
    moveFocusTo("Text8");
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(field("Text1")->hasFocus());
    EXPECT_EQ(text("Text8"), "0");
}

TEST_F(FieldCheckTest, TypedValuesSelectTheirPresetsAndPresetsWriteFieldAndState) {
    type("Text1", "16");
    EXPECT_TRUE(option("Option1")->isChecked());
    EXPECT_EQ(s.zoom, 16.0);  // the preset's handler ran
    type("Text1", "5");
    EXPECT_FALSE(option("Option1")->isChecked());
    field("Text2")->setText("3");
    option("Option13")->select();
    EXPECT_EQ(text("Text1"), "1");
    EXPECT_EQ(s.zoom, 1.0);
    EXPECT_EQ(text("Text7"), "3");
}

}  // namespace
}  // namespace qel
