// Cases the fuzzing of the number texts found.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "app/number_text.h"

using namespace qel;

TEST(ValueOfText, ReadsBackWhatStrWritesForTheLargestDoubles) {
    // Str rounds the largest double up, just past the range of a double.
    EXPECT_EQ(strDouble(DBL_MAX), " 1.79769313486232E+308");
    EXPECT_EQ(valueOfText(strDouble(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(valueOfText(strDouble(-DBL_MAX)), -DBL_MAX);
    EXPECT_EQ(valueOfText(numberText(std::nextafter(DBL_MAX, 0.0))), DBL_MAX);
    EXPECT_EQ(valueOfText("- 1.79769313486232 D 308"), -DBL_MAX);
}

TEST(ValueOfText, NumbersBeyondWhatStrWritesStillReadZero) {
    EXPECT_EQ(valueOfText("1.79769313486233E+308"), 0.0);
    EXPECT_EQ(valueOfText("-1.8e308"), 0.0);
    EXPECT_EQ(valueOfText("1e309"), 0.0);
}
