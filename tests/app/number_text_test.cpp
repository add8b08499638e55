#include "app/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <utility>

#include "user_locale.h"

using namespace qel;

// Every number text is the same in every locale, a comma locale included.
class NumberTextInLocale : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { locale.assertSet(); }
    UserLocale locale{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextInLocale, ::testing::Values("C", kCommaLocale),
                         [](const auto& info) { return std::string(info.param[0] == 'C' ? "C" : "Comma"); });

TEST_P(NumberTextInLocale, StrWritesNumbersWithTheSignPlaceAndFifteenOrSevenDigits) {
    const std::pair<double, const char*> cases[] = {
        {-0.0, " 0"}, {0.5, " .5"}, {0.1 + 0.2, " .3"}, {2.0 / 3.0, " .666666666666667"}, {-2.5e-7, "-2.5E-07"},
        {9999999999999999.0, " 1E+16"},       // rounding carries into the next power of ten
        {DBL_MAX, " 1.79769313486232E+308"},  // rounded past the range of a double
    };
    for (auto [value, text] : cases) EXPECT_EQ(strDouble(value), text) << value;
    EXPECT_EQ(strSingle(1.1f), " 1.1");
    EXPECT_EQ(strSingle(12345678.0f), " 1.234568E+07");
}

TEST_P(NumberTextInLocale, NumberTextPutsTheZeroInFrontOfFractionsByTheValue) {
    EXPECT_EQ(numberText(-0.25), "-0.25");
    EXPECT_EQ(numberText(1e-20), "01E-20");
    EXPECT_EQ(numberText(1e20), "1E+20");
    EXPECT_EQ(numberText(-0.5f), "-0.5");
}

TEST_P(NumberTextInLocale, ValueOfTextReadsTheNumberAtTheStartAndZeroForAnythingElse) {
    const std::pair<std::string, double> cases[] = {
        {"-.5", -0.5}, {"1d+2", 100}, {"0.75y0.1", 0.75}, {"1e0000000000000000005", 1e5},
        {"- 1 . 5", -1.5}, {" 1 2\t3\n4", 1234},  // blanks, tabs and line feeds anywhere
        {"", 0}, {"0x10", 0}, {"E5", 0}, {"\xEF\xBC\x91\xEF\xBC\x92", 0},  // full-width digits
        // What Str writes for the largest doubles reads back (found by fuzzing).
        {" 1.79769313486232E+308", DBL_MAX}, {"- 1.79769313486232 D 308", -DBL_MAX},
        // Beyond that, overflow reads 0, never an infinity or NaN.
        {"1.79769313486233E+308", 0}, {"-1e999", 0}, {std::string(400, '9'), 0}, {"1e-999", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(valueOfText(text), value) << '"' << text << '"';
    // A zero keeps the sign it is written with, as a double's text does.
    EXPECT_TRUE(std::signbit(valueOfText("-0.0")));
    EXPECT_TRUE(std::signbit(valueOfText("-1e-999")));
    EXPECT_FALSE(std::signbit(valueOfText("-x")));
}

TEST_P(NumberTextInLocale, TellsANumberBeyondADoubleFromATextWithoutOne) {
    for (const std::string& text : {std::string("1e999"), std::string("- 1 D 400"), std::string(400, '9') + "x",
                                    std::string("1.79769313486233E+308")})
        EXPECT_TRUE(numberOverflows(text)) << '"' << text << '"';
    for (const char* text : {"", "x1e999", "1e-999", " 1.79769313486232E+308", "0"})
        EXPECT_FALSE(numberOverflows(text)) << '"' << text << '"';
}
