#include <gtest/gtest.h>

#include <cfloat>

#include "app/number_text.h"
#include "render/deep/deep_view.h"

namespace qel {
namespace {

TEST(DecimalText, ReadsATextByTheRuleOfEveryNumberField) {
    const DecimalNumber a = scanDecimal(" - 1 2.50e+3x7");  // blanks ignored, stops at x
    EXPECT_TRUE(a.negative);
    EXPECT_EQ(a.digits, "125");
    EXPECT_EQ(a.exp10, 5);  // 0.125E5 = 12500
    const DecimalNumber b = scanDecimal("00.000314D-2");
    EXPECT_EQ(b.digits, "314");
    EXPECT_EQ(b.exp10, -5);
    EXPECT_TRUE(scanDecimal("-.e5").isZero());
    EXPECT_TRUE(scanDecimal("0.000").isZero());
    EXPECT_EQ(scanDecimal("1E+").exp10, 1);
    EXPECT_EQ(scanDecimal("1E99999999999999999999").exp10, 1'000'000'000'000'000);
}

// The deep form is Str's, so a number a double holds reads the same either way.
TEST(DecimalText, WritesStrsFormForAnyNumberOfDigits) {
    for (double v : {0.25, -0.5, 1.5e16, 1e15, 123456789012345.0, -2.5e-7, 1e-4, 0.00012345, 5.0, -1e300, DBL_MIN})
        EXPECT_EQ(BigReal(v, 53).str(15), strDouble(v)) << v;
    EXPECT_EQ(BigReal::fromText("1E1000", 64).str(15), " 1E+1000");
    // 20 digits, the trailing zero dropped.
    EXPECT_EQ(BigReal::fromText("-0.000012345678901234567890123", 64).str(20), "-1.234567890123456789E-05");
}

TEST(BigReal, KeepsEveryDigitOfALongCentre) {
    const std::string digits(1000, '7');
    const BigReal x = BigReal::fromText("-0." + digits + "3", 64);  // the text asks for more than 64 bits
    EXPECT_EQ(x.str(1001), "-." + digits + "3");
    EXPECT_EQ(x.str(5), "-.77778");
}

TEST(Magnification, BeyondADoublesRangeAsText) {
    EXPECT_EQ(magnificationStr(magnificationOfText("1E1000")), " 1E+1000");
    EXPECT_EQ(magnificationStr(magnificationOfText("1.5e+16")), " 1.5E+16");
    EXPECT_EQ(magnificationStr(magnificationOfText("8")), " 8");
    EXPECT_TRUE(magnificationOfText("-3").isZero());
    EXPECT_TRUE(magnificationOfText("zoom").isZero());
    const ExtFloat mag = magnificationOfText("1E1000");
    EXPECT_EQ(significantDigitsFor(mag), 1003);
    EXPECT_NEAR(pixelSizeFor(mag, 400).log2Abs(), -1000 * 3.321928 - 7.643856, 1e-3);  // 2 / (1E1000 * 400)
    EXPECT_EQ(precisionBitsFor(pixelSizeFor(mag, 400)), 3394);
}

}  // namespace
}  // namespace qel
