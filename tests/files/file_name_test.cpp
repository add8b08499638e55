#include "files/file_name.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <tuple>

#include "file_stand_ins.h"

namespace qel {
namespace {

using testing::FieldsDialog;

AppState startState() {
    AppState s;
    setStartValues(s);
    return s;
}

// The picture on the screen as the encoder sees it: the cur layer.
AppState onScreen(int method, double x, double y, double iterations, bool julia = false, double re = 0, double im = 0) {
    AppState s = startState();
    s.shownMethod = static_cast<Int16>(method);
    s.curCenterX = x;
    s.curCenterY = y;
    s.curMaxIter = iterations;
    s.curIsJulia = julia ? -1 : 0;
    s.curJuliaRe = re;
    s.curJuliaIm = im;
    return s;
}

TEST(FileNameEncoding, PointsBecomePAndStrTextsGetTheirZeros) {
    struct Case {
        AppState s;
        const char *mag, *contour, *name;
    } cases[] = {
        {onScreen(1, -0.75, 0.1, 1000), "8", "1", "M1s8x-0p75y0p1k1000t1.bmp"},
        {onScreen(0, 0.25, -0.5, 500, true, -0.8, 0.156), "2.5", "1.5", "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp"},
        // A non-whole iteration count takes the one leftmost "p".
        {onScreen(0, 0.5, 0.5, 500.5), "1.5", "1.5", "M0s1p5x0p5y0p5k500p5t1.5.bmp"},
        // Str writes ".5" and "-.5": s gets only the zero before a leading
        // point, t both; the field texts are trimmed.
        {onScreen(2, 0.5, -0.5, 500), "  .125 ", " -.5 ", "M2s0p125x0p5y-0p5k500t-0p5.bmp"},
        {onScreen(2, 0.5, -0.5, 500), "-.5", "1", "M2s-p5x0p5y-0p5k500t1.bmp"},
        // The exponent form stays as Str writes it.
        {onScreen(0, 1E-05, -2.5E-07, 500), "1", "1", "M0s1x1E-05y-2p5E-07k500t1.bmp"},
    };
    for (const Case& c : cases) EXPECT_EQ(composeFileName(c.s, c.mag, c.contour), c.name);
}

TEST(FileNameEncoding, ReadsTheScreenNotTheLiveView) {
    AppState s = onScreen(3, 0.25, 0, 700);
    s.centerX = 9;
    s.drawMethod = 1;
    s.maxIter = 42;
    FieldsDialog d;
    d.mag = "64";
    d.contour = "2";
    makeFileName(s, d);
    EXPECT_EQ(s.fileName, "M3s64x0p25y0k700t2.bmp");
}

auto fields(const FileView& v) {
    return std::tie(v.julia, v.method, v.magText, v.centerX, v.centerY, v.juliaRe, v.juliaIm, v.maxIter, v.contourT);
}

TEST(FileNameDecoding, ReadsTheLastOfEachTagBehindAnyFolderOrPrefix) {
    const std::pair<const char*, FileView> cases[] = {
        {"C:\\pics\\my J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp", {true, 0, "2.5", 0.25, -0.5, -0.8, 0.156, 500, 1.5f}},
        {"/home/u/Julia M0s1x0y0k500t1.bmp", {false, 0, "1", 0, 0, 0, 0, 500, 1}},  // the last set letter decides
        {"Mine J3s1x0y0z0w0k500t1.bmp", {true, 3, "1", 0, 0, 0, 0, 500, 1}},
        {"M0s1p5x0p5y0p5k500p5t1.5.bmp", {false, 0, "1.5", 0.5, 0.5, 0, 0, 500.5, 1.5f}},
        {"M0s0p001x-p5y1E-05k500t1.bmp", {false, 0, "0.001", -0.5, 1E-05, 0, 0, 500, 1}},
        {"M0s1x0y0k0t9.bmp", {false, 0, "1", 0, 0, 0, 0, 0, 9}},  // values are not range-checked
        {"M0s1x0y0k500t3E38.bmp", {false, 0, "1", 0, 0, 0, 0, 500, 3E38f}},
        // Radii 2E-300 and 2E+300 are still doubles (fuzzing probed the edges).
        {"M0s1E-300x0y0k500t1.bmp", {false, 0, "1E-300", 0, 0, 0, 0, 500, 1}},
        {"M0s1E+300x0y0k500t1.bmp", {false, 0, "1E+300", 0, 0, 0, 0, 500, 1}},
        {"M0s1x1p79769313486232E+308y-1p79769313486232E+308k500t1.bmp",
         {false, 0, "1", DBL_MAX, -DBL_MAX, 0, 0, 500, 1}},
    };
    for (const auto& [name, view] : cases) {
        const auto v = decodeFileName(name);
        ASSERT_TRUE(v) << name;
        EXPECT_EQ(fields(*v), fields(view)) << name;
    }
}

TEST(FileNameDecoding, RefusesNamesWithoutACompleteAndUsableView) {
    for (const char* name : {
             "photo.bmp", "abcd", "bmp", "",    // no tags, an empty body, shorter than an extension
             "M1s8x-0p75y0p1k1000t1 copy.bmp",  // the last "y" follows the "t"
             "M7s1x0y0k500t1.bmp",              // no such method
             "M1p5s1x0y0k500t1.bmp",            // method not whole
             "m0s1x0y0k500t1.bmp",              // lower-case set letter
             "J0s1x0y0k500t1.bmp",              // Julia without z and w
             "M0s1y0x0k500t1.bmp",              // x and y swapped
             "M0s0x0y0k500t1.bmp", "M0sx0y0k500t1.bmp", "M0s-2x0y0k500t1.bmp",
             "M0sabcx0y0k500t1.bmp",   // magnifications that are no positive number
             "M0s1x0y0k500t1E39.bmp",  // a contour interval beyond a 32-bit float
             // Found by fuzzing: radii beyond the largest double and below
             // the smallest normal one, which could be neither drawn nor zoomed.
             "M0s1E-308x0y0k500t1.bmp", "M0s4p9E-324x0y0k500t1.bmp", "J0s1p7E+308x0y0z0w0k500t1.bmp"})
        EXPECT_FALSE(decodeFileName(name)) << name;
}

TEST(FileNameDecoding, EncodedNamesComeBackUnchanged) {
    AppState s = onScreen(4, -0.123456789012345, 1E-05, 2500, true, -0.8, 0.156);
    auto v = decodeFileName("/tmp/x " + composeFileName(s, "32768", "0.7"));
    ASSERT_TRUE(v);
    const FileView saved{true, 4, "32768", -0.123456789012345, 1E-05, -0.8, 0.156, 2500, 0.7f};
    EXPECT_EQ(fields(*v), fields(saved));

    // The largest centre, found by fuzzing, is saved under the name it came from.
    const std::string largest = "M0s1x1p79769313486232E+308y-1p79769313486232E+308k500t1.bmp";
    v = decodeFileName(largest);
    ASSERT_TRUE(v);
    EXPECT_EQ(composeFileName(onScreen(0, v->centerX, v->centerY, 500), v->magText, "1"), largest);
}

// What an accepted name writes is checked by opening pictures (picture_files_test.cpp).
TEST(ParseFileName, RefusalWritesOnlyTheVerdictAndTheWorkingText) {
    AppState s = startState();
    s.centerX = 0.3;
    FieldsDialog d;
    d.mag = "8";
    AppState before = s;
    parseFileName(s, d, "/home/pat/photo.bmp");
    EXPECT_EQ(s.fileNameOk, 0);
    EXPECT_EQ(s.fileName, "/home/.at/.hoto.bm.");
    EXPECT_EQ(d.mag, "8");
    before.fileNameOk = 0;
    before.fileName = s.fileName;
    EXPECT_TRUE(s == before);
}

TEST(ViewFromFileName, GivesAViewReadyToDrawOrLeavesTheStateAlone) {
    AppState s = startState();
    ASSERT_TRUE(viewFromFileName("J2s8x0p5y0z-0p8w0p156k1000t2.bmp", s));
    EXPECT_EQ(s.radius, 0.25);
    EXPECT_EQ(s.isJulia, -1);
    EXPECT_EQ(s.juliaStarted, -1);  // the constant is fixed, not to be picked
    EXPECT_EQ(std::tie(s.juliaRe, s.juliaIm, s.centerX), std::make_tuple(-0.8, 0.156, 0.5));
    EXPECT_EQ(std::tie(s.drawMethod, s.shownMethod), std::make_tuple(2, 2));
    EXPECT_EQ(std::tie(s.maxIter, s.curMaxIter), std::make_tuple(1000.0, 1000.0));
    EXPECT_EQ(s.contourT, 2.0f);

    // The second name's radius is beyond a double (found by fuzzing).
    for (const char* name : {"photo.bmp", "M2s1E-320x0p5y0k500t1.bmp"}) {
        AppState untouched = startState();
        EXPECT_FALSE(viewFromFileName(name, untouched)) << name;
        EXPECT_TRUE(untouched == startState()) << name;
    }
}

}  // namespace
}  // namespace qel
