#include <gtest/gtest.h>

#include <QGroupBox>
#include <QTest>
#include <QVBoxLayout>

#include "platform/qt_option_button.h"
#include "platform/qt_platform.h"
#include "platform/shift_jis.h"

using namespace qel;

namespace {
struct Group {
    QGroupBox box;
    OptionButton a{"a", &box}, b{"b", &box};
    int aRuns = 0, bRuns = 0;
    Group() {
        auto* l = new QVBoxLayout(&box);
        l->addWidget(&a);
        l->addWidget(&b);
        QObject::connect(&a, &OptionButton::chosen, [this] { ++aRuns; });
        QObject::connect(&b, &OptionButton::chosen, [this] { ++bRuns; });
        box.show();
    }
};
}  // namespace

TEST(OptionButton, SelectingFromCodeRunsTheHandlerOnlyWhenNewlySelected) {
    Group g;
    g.a.select();
    EXPECT_EQ(g.aRuns, 1);
    g.a.select();
    EXPECT_EQ(g.aRuns, 1);
    g.b.select();
    EXPECT_EQ(g.bRuns, 1);
    EXPECT_FALSE(g.a.isChecked());
    g.a.select();
    EXPECT_EQ(g.aRuns, 2);
}

TEST(OptionButton, ClearingRunsNothingAndLeavesTheGroupEmpty) {
    Group g;
    g.a.select();
    g.a.clear();
    EXPECT_FALSE(g.a.isChecked());
    EXPECT_FALSE(g.b.isChecked());
    EXPECT_EQ(g.aRuns, 1);
    EXPECT_EQ(g.bRuns, 0);
    // the group stays exclusive after a clear
    g.a.select();
    g.b.select();
    EXPECT_FALSE(g.a.isChecked());
}

TEST(OptionButton, AUserClickRunsTheHandlerOnceAndNotOnAnAlreadySelectedButton) {
    Group g;
    QTest::mouseClick(&g.b, Qt::LeftButton);
    EXPECT_TRUE(g.b.isChecked());
    EXPECT_EQ(g.bRuns, 1);
    QTest::mouseClick(&g.b, Qt::LeftButton);
    EXPECT_EQ(g.bRuns, 1);
}

TEST(QtPlatformFilter, BarFormBecomesQtForm) {
    EXPECT_EQ(QtPlatform::qtFilter("bitmap file(*.bmp)|*.bmp").toStdString(), "bitmap file(*.bmp) (*.bmp)");
}

TEST(ShiftJis, DecodesJapaneseAndRefusesBrokenBytes) {
    auto sjis = utf8ToShiftJis("1 使い方");
    ASSERT_TRUE(sjis.has_value());
    EXPECT_EQ(sjis->size(), 8u);  // two bytes for each of the three kanji/kana
    EXPECT_EQ(shiftJisToUtf8(*sjis), std::optional<std::string>("1 使い方"));
    EXPECT_FALSE(shiftJisToUtf8(std::string("\x82", 1)).has_value());
    EXPECT_FALSE(readShiftJisFile("/nonexistent/readme.txt").has_value());
    EXPECT_FALSE(readShiftJisFile("/tmp").has_value());  // a folder is not a manual
}
