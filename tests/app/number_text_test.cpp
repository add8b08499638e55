#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/number_text.h"

using namespace qel;

TEST(Str, WritesPlainNumbersWithTheSignPlace) {
    EXPECT_EQ(strDouble(500), " 500");
    EXPECT_EQ(strDouble(1), " 1");
    EXPECT_EQ(strDouble(0), " 0");
    EXPECT_EQ(strDouble(-0.0), " 0");
    EXPECT_EQ(strDouble(-1), "-1");
    EXPECT_EQ(strDouble(0.5), " .5");
    EXPECT_EQ(strDouble(-0.5), "-.5");
    EXPECT_EQ(strDouble(0.25), " .25");
    EXPECT_EQ(strDouble(-2.25), "-2.25");
    EXPECT_EQ(strDouble(100000), " 100000");
    EXPECT_EQ(strDouble(0.0001), " .0001");
}

TEST(Str, RoundsDoublesToFifteenDigits) {
    EXPECT_EQ(strDouble(0.1 + 0.2), " .3");
    EXPECT_EQ(strDouble(2.0 / 3.0), " .666666666666667");
    EXPECT_EQ(strDouble(123456789012345.0), " 123456789012345");
    EXPECT_EQ(strDouble(-0.75), "-.75");
    EXPECT_EQ(strDouble(1.0 / 8.0), " .125");
}

TEST(Str, SwitchesToExponentFormAtBothEnds) {
    EXPECT_EQ(strDouble(0.00001), " 1E-05");
    EXPECT_EQ(strDouble(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(strDouble(1e-20), " 1E-20");
    EXPECT_EQ(strDouble(1.5e16), " 1.5E+16");
    EXPECT_EQ(strDouble(1e15), " 1E+15");
    EXPECT_EQ(strDouble(999999999999999.0), " 999999999999999");
    // rounding to 15 digits carries into the next power of ten
    EXPECT_EQ(strDouble(9999999999999999.0), " 1E+16");
    EXPECT_EQ(strDouble(1e300), " 1E+300");
    EXPECT_EQ(strDouble(5e-324), " 4.94065645841247E-324");
}

TEST(Str, WritesSinglesWithSevenDigits) {
    EXPECT_EQ(strSingle(1.1f), " 1.1");
    EXPECT_EQ(strSingle(1.5f), " 1.5");
    EXPECT_EQ(strSingle(0.1f), " .1");
    EXPECT_EQ(strSingle(1234567.0f), " 1234567");
    EXPECT_EQ(strSingle(12345678.0f), " 1.234568E+07");
    EXPECT_EQ(strSingle(-0.00001f), "-1E-05");
}

TEST(NumberText, PutsTheZeroInFrontOfFractions) {
    EXPECT_EQ(numberText(0.0), "0");
    EXPECT_EQ(numberText(8.0), "8");
    EXPECT_EQ(numberText(500.0), "500");
    EXPECT_EQ(numberText(1.0), "1");
    EXPECT_EQ(numberText(-1.0), "-1");
    EXPECT_EQ(numberText(1.5), "1.5");
    EXPECT_EQ(numberText(-2.25), "-2.25");
    EXPECT_EQ(numberText(0.25), "0.25");
    EXPECT_EQ(numberText(-0.25), "-0.25");
    EXPECT_EQ(numberText(0.999), "0.999");
    EXPECT_EQ(numberText(-0.5), "-0.5");
    EXPECT_EQ(numberText(0.125), "0.125");
}

TEST(NumberText, LooksAtTheValueNotTheText) {
    EXPECT_EQ(numberText(1e-20), "01E-20");
    EXPECT_EQ(numberText(-1e-20), "-01E-20");
    EXPECT_EQ(numberText(1e20), "1E+20");
    EXPECT_EQ(numberText(1.1f), "1.1");
    EXPECT_EQ(numberText(0.5f), "0.5");
    EXPECT_EQ(numberText(-0.5f), "-0.5");
}

TEST(ValueOfText, ReadsTheNumberAtTheStart) {
    EXPECT_EQ(valueOfText("8"), 8.0);
    EXPECT_EQ(valueOfText(" 500"), 500.0);
    EXPECT_EQ(valueOfText("2.5"), 2.5);
    EXPECT_EQ(valueOfText("-.5"), -0.5);
    EXPECT_EQ(valueOfText("+3"), 3.0);
    EXPECT_EQ(valueOfText("1E-05"), 1e-5);
    EXPECT_EQ(valueOfText("1D2"), 100.0);
    EXPECT_EQ(valueOfText("1d+2"), 100.0);
    EXPECT_EQ(valueOfText("2e"), 2.0);
    EXPECT_EQ(valueOfText("0.75y0.1"), 0.75);
    EXPECT_EQ(valueOfText("1.2.3"), 1.2);
    EXPECT_EQ(valueOfText("1e0000000000000000005"), 1e5);
}

TEST(ValueOfText, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(valueOfText(" 1 2\t3\n4"), 1234.0);
    EXPECT_EQ(valueOfText("- 1 . 5"), -1.5);
    EXPECT_EQ(valueOfText("1 E 3"), 1000.0);
}

TEST(ValueOfText, ReadsZeroWithoutDigits) {
    EXPECT_EQ(valueOfText(""), 0.0);
    EXPECT_EQ(valueOfText("   "), 0.0);
    EXPECT_EQ(valueOfText("abc"), 0.0);
    EXPECT_EQ(valueOfText("."), 0.0);
    EXPECT_EQ(valueOfText("-"), 0.0);
    EXPECT_EQ(valueOfText("0x10"), 0.0);
    EXPECT_EQ(valueOfText("\xEF\xBC\x91\xEF\xBC\x92"), 0.0);  // full-width digits
    EXPECT_EQ(valueOfText("E5"), 0.0);
}

TEST(ValueOfText, OverflowReadsZeroAndNeverNaN) {
    EXPECT_EQ(valueOfText("1e999"), 0.0);
    EXPECT_EQ(valueOfText("-1e999"), 0.0);
    EXPECT_EQ(valueOfText(std::string(400, '9')), 0.0);
    EXPECT_EQ(valueOfText("1e-999"), 0.0);
    double big = valueOfText("1.7e308");
    EXPECT_TRUE(std::isfinite(big));
    EXPECT_EQ(big, 1.7e308);
}

TEST(ValueOfText, ReadsBackWhatStrWrites) {
    for (double v : {0.0, 1.0, -0.75, 0.1, 1e-5, 123.456, 2.0 / 3.0, -1.5e16, 0.005, 1e-300}) {
        std::string s = strDouble(v);
        EXPECT_NEAR(valueOfText(s), v, std::fabs(v) * 1e-14) << s;
        EXPECT_NEAR(valueOfText(numberText(v)), v, std::fabs(v) * 1e-14) << numberText(v);
    }
}
