#include "app/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <utility>

using namespace qel;

TEST(Str, WritesDoublesWithTheSignPlaceAndFifteenDigits) {
    const std::pair<double, const char*> cases[] = {
        {500, " 500"},
        {-0.0, " 0"},
        {-1, "-1"},
        {0.5, " .5"},
        {-2.25, "-2.25"},
        {0.0001, " .0001"},
        {0.1 + 0.2, " .3"},
        {2.0 / 3.0, " .666666666666667"},
        {999999999999999.0, " 999999999999999"},
        {0.00001, " 1E-05"},
        {-2.5e-7, "-2.5E-07"},
        {1e15, " 1E+15"},
        {1.5e16, " 1.5E+16"},
        {9999999999999999.0, " 1E+16"},  // rounding carries into the next power of ten
        {1e300, " 1E+300"},
        {5e-324, " 4.94065645841247E-324"},
        {DBL_MAX, " 1.79769313486232E+308"},  // rounded past the range of a double
    };
    for (auto [value, text] : cases) EXPECT_EQ(strDouble(value), text) << value;
}

TEST(Str, WritesSinglesWithSevenDigits) {
    const std::pair<float, const char*> cases[] = {
        {1.1f, " 1.1"}, {0.1f, " .1"}, {1234567.0f, " 1234567"}, {12345678.0f, " 1.234568E+07"}, {-0.00001f, "-1E-05"}};
    for (auto [value, text] : cases) EXPECT_EQ(strSingle(value), text) << value;
}

TEST(NumberText, PutsTheZeroInFrontOfFractionsByTheValue) {
    const std::pair<double, const char*> doubles[] = {{0, "0"},           {-1, "-1"},          {1.5, "1.5"},
                                                      {0.25, "0.25"},     {-0.25, "-0.25"},    {1e-20, "01E-20"},
                                                      {-1e-20, "-01E-20"}, {1e20, "1E+20"}};
    for (auto [value, text] : doubles) EXPECT_EQ(numberText(value), text) << value;
    EXPECT_EQ(numberText(1.1f), "1.1");
    EXPECT_EQ(numberText(-0.5f), "-0.5");
}

TEST(ValueOfText, ReadsTheNumberAtTheStartAndZeroForAnythingElse) {
    const std::pair<std::string, double> cases[] = {
        {" 500", 500},
        {"-.5", -0.5},
        {"+3", 3},
        {"1E-05", 1e-5},
        {"1D2", 100},
        {"1d+2", 100},
        {"2e", 2},
        {"0.75y0.1", 0.75},
        {"1.2.3", 1.2},
        {"1e0000000000000000005", 1e5},
        {" 1 2\t3\n4", 1234},  // blanks, tabs and line feeds anywhere
        {"- 1 . 5", -1.5},
        {"1 E 3", 1000},
        {"", 0},
        {"abc", 0},
        {".", 0},
        {"-", 0},
        {"0x10", 0},
        {"\xEF\xBC\x91\xEF\xBC\x92", 0},  // full-width digits
        {"E5", 0},
        {"1.7e308", 1.7e308},
        // What Str writes for the largest doubles reads back (found by fuzzing).
        {" 1.79769313486232E+308", DBL_MAX},
        {"-1.79769313486232E+308", -DBL_MAX},
        {"- 1.79769313486232 D 308", -DBL_MAX},
        // Beyond that, overflow reads 0, never an infinity or NaN.
        {"1.79769313486233E+308", 0},
        {"-1.8e308", 0},
        {"1e309", 0},
        {"1e999", 0},
        {"-1e999", 0},
        {std::string(400, '9'), 0},
        {"1e-999", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(valueOfText(text), value) << '"' << text << '"';
}

TEST(ValueOfText, ReadsBackWhatStrAndNumberTextWrite) {
    const double nextToLargest = std::nextafter(DBL_MAX, 0.0);
    for (double v : {0.0, -0.75, 0.1, 1e-5, 123.456, 2.0 / 3.0, -1.5e16, 1e-300, DBL_MAX, -DBL_MAX, nextToLargest}) {
        EXPECT_NEAR(valueOfText(strDouble(v)), v, std::fabs(v) * 1e-14) << strDouble(v);
        EXPECT_NEAR(valueOfText(numberText(v)), v, std::fabs(v) * 1e-14) << numberText(v);
    }
}
