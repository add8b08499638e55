#include "files/file_name.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <tuple>

#include "app/view_texts.h"
#include "render/deep/deep_view.h"
#include "file_stand_ins.h"

namespace qel {
namespace {

AppState startState() {
    AppState s;
    setStartValues(s);
    return s;
}

// The picture on the screen as the encoder sees it: the cur layer.
AppState onScreen(int method, double x, double y, double iterations, bool julia = false, double re = 0, double im = 0) {
    AppState s = startState();
    s.shownMethod = static_cast<Int16>(method);
    s.cur.centerX = x;
    s.cur.centerY = y;
    s.cur.maxIter = iterations;
    s.cur.isJulia = julia ? -1 : 0;
    s.cur.juliaRe = re;
    s.cur.juliaIm = im;
    return s;
}

TEST(FileNameEncoding, PointsBecomePAndStrTextsGetTheirZeros) {
    EXPECT_EQ(composeFileName(onScreen(0, 0.25, -0.5, 500, true, -0.8, 0.156), "2.5", "1.5"),
              "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp");
    // A non-whole iteration count takes the one leftmost "p" of k and t.
    EXPECT_EQ(composeFileName(onScreen(0, 0.5, 0.5, 500.5), "1.5", "1.5"), "M0s1p5x0p5y0p5k500p5t1.5.bmp");
    // Str writes ".5" and "-.5": s gets only the zero before a leading point,
    // t both; the field texts are trimmed; the exponent form stays.
    EXPECT_EQ(composeFileName(onScreen(2, 1E-05, -0.5, 500), "  .125 ", " -.5 "), "M2s0p125x1E-05y-0p5k500t-0p5.bmp");
}

// What a name carries: set, method, magnification text, centre, constant,
// limit, t.
struct Carried {
    bool julia;
    int method;
    std::string magText;
    double centerX, centerY, juliaRe, juliaIm, maxIter;
    float contourT;
};

auto fields(const Carried& v) {
    return std::tie(v.julia, v.method, v.magText, v.centerX, v.centerY, v.juliaRe, v.juliaIm, v.maxIter, v.contourT);
}

Carried carried(const View& v) {
    return {v.isJulia == kYes, v.drawMethod, v.magText, v.centerX, v.centerY, v.juliaRe, v.juliaIm, v.maxIter,
            v.contourT};
}

TEST(FileNameDecoding, ReadsTheLastOfEachTagBehindAnyFolderOrPrefix) {
    const std::pair<const char*, Carried> cases[] = {
        {"/home/u/Julia M0s1x0y0k500t1.bmp", {false, 0, "1", 0, 0, 0, 0, 500, 1}},  // the last set letter decides
        {"M0s0p001x-p5y1E-05k500t3E38.bmp", {false, 0, "0.001", -0.5, 1E-05, 0, 0, 500, 3E38f}},
        // Radii 2E-300 and 2E+300 are still doubles (fuzzing probed the edges).
        {"M0s1E-300x0y0k500t1.bmp", {false, 0, "1E-300", 0, 0, 0, 0, 500, 1}},
        {"M0s1E+300x0y0k500t1.bmp", {false, 0, "1E+300", 0, 0, 0, 0, 500, 1}},
    };
    for (const auto& [name, view] : cases) {
        const auto v = decodeFileName(name);
        ASSERT_TRUE(v) << name;
        EXPECT_EQ(fields(carried(*v)), fields(view)) << name;
        EXPECT_TRUE(v->deep.empty()) << name;
    }
}

TEST(FileNameDecoding, RefusesNamesWithoutACompleteAndUsableView) {
    for (const char* name : {
             "photo.bmp", "bmp",                // no tags, shorter than an extension
             "M1s8x-0p75y0p1k1000t1 copy.bmp",  // the last "y" follows the "t"
             "M7s1x0y0k500t1.bmp",              // no such method
             "J0s1x0y0k500t1.bmp",              // Julia without z and w
             "M0s0x0y0k500t1.bmp",              // a magnification that is no positive number
             "M0s1x0y0k500t1E39.bmp",           // a contour interval beyond a 32-bit float
             // Numbers beyond a double are no 0s.
             "M1E999s1x0y0k500t1.bmp", "M0s1x1E999y0k500t1.bmp", "J0s1x0y0z0w-1E+400k500t1.bmp",
             "M0s1x0y0k1E309t1.bmp", "M0s1x0y0k500t1E999.bmp",
             // Found by fuzzing: radii beyond the largest double.
             "M0s1E-308x0y0k500t1.bmp", "M0s4p9E-324x0y0k500t1.bmp",
             // Deeper than the deepest magnification.
             "M0s1E+10001x0y0k500t1.bmp"})
        EXPECT_FALSE(decodeFileName(name)) << name;
}

TEST(FileNameDecoding, EncodedNamesComeBackUnchanged) {
    AppState s = onScreen(4, -0.123456789012345, 1E-05, 2500, true, -0.8, 0.156);
    auto v = decodeFileName("/tmp/x " + composeFileName(s, "32768", "0.7"));
    ASSERT_TRUE(v);
    const Carried saved{true, 4, "32768", -0.123456789012345, 1E-05, -0.8, 0.156, 2500, 0.7f};
    EXPECT_EQ(fields(carried(*v)), fields(saved));

    // The largest centre, found by fuzzing, is read and saved under the name it came from.
    const std::string largest = "M0s1x1p79769313486232E+308y-1p79769313486232E+308k500t1.bmp";
    v = decodeFileName(largest);
    ASSERT_TRUE(v);
    EXPECT_EQ(std::pair(v->centerX, v->centerY), std::pair(DBL_MAX, -DBL_MAX));
    EXPECT_EQ(composeFileName(onScreen(0, v->centerX, v->centerY, 500), v->magText, "1"), largest);
}

// Deep views: the same format with every digit of their texts.
View deepView(const ViewTexts& place, bool julia = false) {
    View v{.isJulia = julia ? kYes : kNo, .juliaStarted = julia ? kYes : kNo, .maxIter = 1000000, .drawMethod = 1};
    EXPECT_TRUE(placeFromTexts(v, place));
    return v;
}

AppState showing(const View& v) {
    AppState s = startState();
    putView(s, v);
    return s;
}

TEST(DeepFileNames, ComeBackToTheLastDigit) {
    const std::string digits(120, '3');
    const View views[] = {
        deepView({"1E+100", "-1.749" + digits, "-0.0000" + digits}),
        deepView({"2.5E+40", "0." + digits, "1e-3", "-0.123" + digits, "0.745" + digits}, true),
    };
    for (const View& v : views) {
        const std::string name = composeFileName(showing(v), "ignored", "1");
        const std::optional<View> back = decodeFileName("/pictures/" + name);
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(back->deep, v.deep) << name;
        EXPECT_EQ(composeFileName(showing(*back), "ignored", "1"), name);
    }
    // The texts hold the digits the magnification needs, rounded, in Str's form.
    const auto threes = static_cast<std::size_t>(significantDigitsFor(magnificationOfText("1E+100")) - 4);
    EXPECT_EQ(views[0].deep.centerX, "-1.749" + std::string(threes, '3'));
    EXPECT_EQ(views[0].deep.centerY, "-3.333" + std::string(threes, '3') + "E-05");
    EXPECT_EQ(views[0].deep.magnification, " 1E+100");
    EXPECT_EQ(composeFileName(showing(views[0]), "", "1").substr(0, 24), "M1s1E+100x-1p74933333333");
    EXPECT_EQ(views[1].deep.juliaIm, " .745" + digits);  // a constant keeps every digit
    // Where a double tells the pixels apart the view has no texts.
    EXPECT_TRUE(deepView({"1E+12", "-1.749" + digits, "0"}).deep.empty());
}

}  // namespace
}  // namespace qel
