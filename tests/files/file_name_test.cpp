#include "files/file_name.h"

#include <gtest/gtest.h>

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
AppState mandelbrotOnScreen(int method, double x, double y, double iterations) {
    AppState s = startState();
    s.shownMethod = static_cast<Int16>(method);
    s.curCenterX = x;
    s.curCenterY = y;
    s.curMaxIter = iterations;
    return s;
}

AppState juliaOnScreen(double x, double y, double re, double im) {
    AppState s = mandelbrotOnScreen(0, x, y, 500);
    s.curIsJulia = -1;
    s.curJuliaRe = re;
    s.curJuliaIm = im;
    return s;
}

TEST(FileNameEncoding, StartViewGivesTheShortestName) {
    EXPECT_EQ(composeFileName(startState(), "1", "1"), "M0s1x0y0k500t1.bmp");
}

TEST(FileNameEncoding, PointsBecomePInMandelbrotAndJuliaNames) {
    EXPECT_EQ(composeFileName(mandelbrotOnScreen(1, -0.75, 0.1, 1000), "8", "1"), "M1s8x-0p75y0p1k1000t1.bmp");
    EXPECT_EQ(composeFileName(juliaOnScreen(0.25, -0.5, -0.8, 0.156), "2.5", "1.5"),
              "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp");
}

TEST(FileNameEncoding, NonWholeIterationCountLeavesTheLastPoint) {
    AppState s = mandelbrotOnScreen(0, 0.5, 0.5, 500.5);
    EXPECT_EQ(composeFileName(s, "1.5", "1.5"), "M0s1p5x0p5y0p5k500p5t1.5.bmp");
}

TEST(FileNameEncoding, ZeroFixUpsAndTrimmedFieldTexts) {
    // Str writes ".5" and "-.5"; the name gets the zeros. S gets only the
    // zero before a leading point, T both.
    AppState s = mandelbrotOnScreen(2, 0.5, -0.5, 500);
    EXPECT_EQ(composeFileName(s, "  .125 ", " -.5 "), "M2s0p125x0p5y-0p5k500t-0p5.bmp");
    EXPECT_EQ(composeFileName(s, "-.5", "1"), "M2s-p5x0p5y-0p5k500t1.bmp");
    // Exponent form stays as Str writes it.
    AppState tiny = mandelbrotOnScreen(0, 1E-05, -2.5E-07, 500);
    EXPECT_EQ(composeFileName(tiny, "1", "1"), "M0s1x1E-05y-2p5E-07k500t1.bmp");
}

TEST(FileNameEncoding, ReadsTheScreenNotTheLiveView) {
    AppState s = mandelbrotOnScreen(3, 0.25, 0, 700);
    s.centerX = 9;
    s.drawMethod = 1;
    s.maxIter = 42;
    FieldsDialog d;
    d.mag = "64";
    d.contour = "2";
    makeFileName(s, d);
    EXPECT_EQ(s.fileName, "M3s64x0p25y0k700t2.bmp");
}

TEST(FileNameDecoding, JuliaNameBehindAFolderAndPrefix) {
    auto v = decodeFileName("C:\\pics\\my J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp");
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->julia);
    EXPECT_EQ(v->method, 0);
    EXPECT_EQ(v->magText, "2.5");
    EXPECT_EQ(v->centerX, 0.25);
    EXPECT_EQ(v->centerY, -0.5);
    EXPECT_EQ(v->juliaRe, -0.8);
    EXPECT_EQ(v->juliaIm, 0.156);
    EXPECT_EQ(v->maxIter, 500);
    EXPECT_EQ(v->contourT, 1.5f);
}

TEST(FileNameDecoding, TheLastSetLetterDecides) {
    auto m = decodeFileName("/home/u/Julia M0s1x0y0k500t1.bmp");
    ASSERT_TRUE(m);
    EXPECT_FALSE(m->julia);
    auto j = decodeFileName("Mine J0s1x0y0z0w0k500t1.bmp");
    ASSERT_TRUE(j);
    EXPECT_TRUE(j->julia);
}

TEST(FileNameDecoding, RefusesNamesWithoutACompleteView) {
    for (const char* name : {
             "photo.bmp",                              // nothing left but ".hoto"
             "M1s8x-0p75y0p1k1000t1 copy.bmp",         // the last "y" follows the "t"
             "M7s1x0y0k500t1.bmp",                     // no such method
             "M1p5s1x0y0k500t1.bmp",                   // method not whole
             "m0s1x0y0k500t1.bmp",                     // lower-case set letter
             "J0s1x0y0k500t1.bmp",                     // Julia without z and w
             "M0s1y0x0k500t1.bmp",                     // x and y swapped
             "abcd",                                   // empty body
             "bmp",                                    // shorter than an extension
             "",
         })
        EXPECT_FALSE(decodeFileName(name)) << name;
}

TEST(FileNameDecoding, RefusesAMagnificationThatIsNoPositiveNumber) {
    EXPECT_FALSE(decodeFileName("M0s0x0y0k500t1.bmp"));
    EXPECT_FALSE(decodeFileName("M0sx0y0k500t1.bmp"));
    EXPECT_FALSE(decodeFileName("M0s-2x0y0k500t1.bmp"));
    EXPECT_FALSE(decodeFileName("M0sabcx0y0k500t1.bmp"));
    EXPECT_TRUE(decodeFileName("M0s0p001x0y0k500t1.bmp"));
}

TEST(FileNameDecoding, RefusesAContourIntervalBeyondA32BitFloat) {
    EXPECT_FALSE(decodeFileName("M0s1x0y0k500t1E39.bmp"));
    auto v = decodeFileName("M0s1x0y0k500t3E38.bmp");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->contourT, 3E38f);
}

TEST(FileNameDecoding, NumbersAsTheFieldsReadThem) {
    EXPECT_EQ(decodeFileName("M0s1x-p5y0k500t1.bmp")->centerX, -0.5);
    EXPECT_EQ(decodeFileName("M0s1x-0p5y0k500t1.bmp")->centerX, -0.5);
    EXPECT_EQ(decodeFileName("M0s1x1E-05y0k500t1.bmp")->centerX, 0.00001);
    // Values are not range-checked.
    auto v = decodeFileName("M0s1x0y0k0t9.bmp");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->maxIter, 0);
    EXPECT_EQ(v->contourT, 9.0f);
}

TEST(FileNameDecoding, EncodedNamesComeBackUnchanged) {
    AppState s = juliaOnScreen(-0.123456789012345, 1E-05, -0.8, 0.156);
    s.shownMethod = 4;
    s.curMaxIter = 2500;
    auto v = decodeFileName("/tmp/x " + composeFileName(s, "32768", "0.7"));
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->julia);
    EXPECT_EQ(v->method, 4);
    EXPECT_EQ(v->magText, "32768");
    EXPECT_EQ(v->centerX, -0.123456789012345);
    EXPECT_EQ(v->centerY, 1E-05);
    EXPECT_EQ(v->juliaRe, -0.8);
    EXPECT_EQ(v->juliaIm, 0.156);
    EXPECT_EQ(v->maxIter, 2500);
    EXPECT_EQ(v->contourT, 0.7f);

    auto k = decodeFileName("M0s1p5x0p5y0p5k500p5t1.5.bmp");
    ASSERT_TRUE(k);
    EXPECT_EQ(k->magText, "1.5");
    EXPECT_EQ(k->maxIter, 500.5);
    EXPECT_EQ(k->contourT, 1.5f);
}

TEST(ParseFileName, AcceptedJuliaNameWritesEveryDestination) {
    AppState s = startState();
    s.curMaxIter = 123;
    s.curJuliaStarted = -1;
    FieldsDialog d;
    parseFileName(s, d, "/pics/J3s2p50x0p25y-0p5z-0p8w0p156k700t1p1.bmp");
    EXPECT_EQ(s.fileNameOk, 1);
    EXPECT_EQ(s.isJulia, -1);
    EXPECT_EQ(s.juliaStarted, -1);
    EXPECT_EQ(s.curIsJulia, -1);
    EXPECT_EQ(d.mag, "2.50");  // verbatim
    EXPECT_EQ(s.curMagText, "2.50");
    EXPECT_EQ(s.centerX, 0.25);
    EXPECT_EQ(s.curCenterX, 0.25);
    EXPECT_EQ(s.centerY, -0.5);
    EXPECT_EQ(s.curCenterY, -0.5);
    EXPECT_EQ(s.juliaRe, -0.8);
    EXPECT_EQ(s.curJuliaRe, -0.8);
    EXPECT_EQ(s.juliaIm, 0.156);
    EXPECT_EQ(s.curJuliaIm, 0.156);
    EXPECT_EQ(s.maxIter, 700);
    EXPECT_EQ(s.curMaxIter, 123);  // left for the snapshot of the open flow
    EXPECT_EQ(s.drawMethod, 3);
    EXPECT_EQ(s.shownQuad, 3);
    EXPECT_EQ(s.curMethod, 3);
    EXPECT_EQ(s.shownMethod, 3);
    EXPECT_EQ(s.contourT, 1.1f);
    EXPECT_EQ(s.curContourT, 1.1f);
    EXPECT_EQ(s.curJuliaStarted, 0);
}

TEST(ParseFileName, MandelbrotNameClearsTheJuliaConstant) {
    AppState s = startState();
    s.juliaRe = s.curJuliaRe = -0.8;
    s.juliaIm = s.curJuliaIm = 0.156;
    s.isJulia = s.juliaStarted = -1;
    FieldsDialog d;
    parseFileName(s, d, "M1s8x-0p75y0p1k1000t1.bmp");
    EXPECT_EQ(s.fileNameOk, 1);
    EXPECT_EQ(s.isJulia, 0);
    EXPECT_EQ(s.juliaStarted, 0);
    EXPECT_EQ(s.juliaRe, 0);
    EXPECT_EQ(s.juliaIm, 0);
    EXPECT_EQ(s.curJuliaRe, 0);
    EXPECT_EQ(s.curJuliaIm, 0);
}

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

TEST(PointsAndP, OneLeftmostPointOrEveryP) {
    EXPECT_EQ(pointToP("a.b.c"), "apb.c");
    EXPECT_EQ(pointToP("abc"), "abc");
    EXPECT_EQ(pToPoint("pPp"), ".P.");
}

TEST(ViewFromFileName, GivesAViewReadyToDraw) {
    AppState s = startState();
    ASSERT_TRUE(viewFromFileName("J2s8x0p5y0z-0p8w0p156k1000t2.bmp", s));
    EXPECT_EQ(s.radius, 0.25);
    EXPECT_EQ(s.isJulia, -1);
    EXPECT_EQ(s.juliaStarted, -1);  // the constant is fixed, not to be picked
    EXPECT_EQ(s.juliaRe, -0.8);
    EXPECT_EQ(s.juliaIm, 0.156);
    EXPECT_EQ(s.centerX, 0.5);
    EXPECT_EQ(s.drawMethod, 2);
    EXPECT_EQ(s.shownMethod, 2);
    EXPECT_EQ(s.maxIter, 1000);
    EXPECT_EQ(s.curMaxIter, 1000);
    EXPECT_EQ(s.contourT, 2.0f);

    AppState untouched = startState();
    EXPECT_FALSE(viewFromFileName("photo.bmp", untouched));
    EXPECT_TRUE(untouched == startState());
}

}  // namespace
}  // namespace qel
