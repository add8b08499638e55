#include "files/kfr_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/deep_place.h"
#include "app/view_texts.h"
#include "deep/deep_views.h"
#include "file_stand_ins.h"

// Locations in Kalles Fraktaler's parameter files: what qel writes reads
// back as the same view to the last digit, the layouts other programs write
// are read, and whatever is no location the window could draw is refused.
namespace qel {
namespace {

// A Mandelbrot view as qel holds it: the magnification in numberText's
// form, as the dialog shows it and a location file gives it back.
View mandelbrotView(const std::string& magnification, const std::string& re, const std::string& im,
                    double maxIter = 500, Int16 method = 0) {
    View v{.maxIter = maxIter, .drawMethod = method};
    EXPECT_TRUE(placeFromTexts(v, {magnification, re, im, "0", "0"})) << magnification << " " << re;
    return v;
}

std::optional<View> readBack(const std::string& text, Int16 method = 0, double maxIter = 77) {
    const std::optional<KfrLocation> location = parseKfr(text);
    if (!location) return std::nullopt;
    return viewOfKfr(*location, method, 1.0f, maxIter);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) return {"no CRLF at the end of: " + text.substr(at)};
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// A centre with the digits the deepest magnification needs.
std::string digitsOfTheDeepest(const std::string& head) {
    std::string text = head;
    for (int i = 0; text.size() < 10100; ++i) text += std::to_string(i * 7919 % 10);
    return text;
}

TEST(KfrFile, WhatQelWritesReadsBackAsTheSameViewToTheLastDigit) {
    std::vector<View> views = {
        mandelbrotView("1", "0", "0"),
        mandelbrotView("8", "-0.75", "0.1", 1000, 3),
        mandelbrotView("0.1", "0.3", "-0.2"),
        // A click zoom's grid point, every bit of its doubles.
        mandelbrotView("35184372088832", "-0.22815549365396182", "1.1151425080399374"),
        mandelbrotView("1E+10000", digitsOfTheDeepest("-1.7"), digitsOfTheDeepest("0.000"), 123456),
        // A centre so near 0 that its digits start far right of the point.
        mandelbrotView("1E+40", "1.234567890123456789012345678901234567E-30", "-0.5"),
    };
    for (const testing::DeepTestView& d : testing::kDeepViews)
        if (!d.julia) views.push_back(mandelbrotView(numberTextOfStr(magnificationStr(magnificationOfText(d.mag))),
                                                     d.cx, d.cy, d.maxIter));
    for (const View& v : views) {
        const std::string text = kfrTextOf(v);
        const std::vector<std::string> lines = linesOf(text);
        ASSERT_EQ(lines.size(), 4u) << text.substr(0, 200);
        EXPECT_TRUE(lines[0].starts_with("Re: ") && lines[1].starts_with("Im: ") && lines[2].starts_with("Zoom: ") &&
                    lines[3].starts_with("Iterations: "));
        // The coordinates written out in full, as every reader takes them.
        EXPECT_EQ(lines[0].find_first_of("Ee", 4), std::string::npos) << lines[0].substr(0, 80);
        EXPECT_EQ(lines[1].find_first_of("Ee", 4), std::string::npos) << lines[1].substr(0, 80);
        const std::optional<View> back = readBack(text, v.drawMethod);
        ASSERT_TRUE(back) << text.substr(0, 200);
        EXPECT_EQ(*back, v) << text.substr(0, 200);
        EXPECT_EQ(kfrTextOf(*back), text);
    }
    // The deepest view keeps all of its 10,003 digits.
    EXPECT_GT(kfrTextOf(views[4]).size(), 20000u);
}

TEST(KfrFile, HalfThePicturesHeightIsTwoOverZoom) {
    for (const char* zoom : {"1", "2", "13.3", "1E100", "4.5e+300"}) {
        const std::optional<std::string> magnification = magnificationOfZoom(zoom);
        ASSERT_TRUE(magnification) << zoom;
        const ExtFloat radius = ExtFloat::of(2.0) / magnificationOfText(*magnification);
        const ExtFloat halfHeight = radius * (600.0 / 800.0);
        const ExtFloat expected = ExtFloat::of(2.0) / magnificationOfText(zoom);
        EXPECT_NEAR((halfHeight / expected).toDouble(), 1.0, 1e-14) << zoom << " -> " << *magnification;
    }
    // Str's 15 digits, in numberText's form.
    EXPECT_EQ(magnificationOfZoom("1"), "0.75");
    EXPECT_EQ(magnificationOfZoom("4E1000"), "3E+1000");
}

TEST(KfrFile, LinesEndInCrlfOrLfAndKeysStandInAnyOrderAmongOthers) {
    const std::string crlf = "Re: -0.75\r\nIm: 0.1\r\nZoom: 4\r\nIterations: 1000\r\n";
    const std::string lf = "Re: -0.75\nIm: 0.1\nZoom: 4\nIterations: 1000\n";
    const std::string others =
        "\xEF\xBB\xBF"
        "Iterations: 1000\r\nColors: 255,255,255,128,0,64,\r\nIterDiv: 0.010000\r\n  Zoom:\t4  \r\n"
        "SmoothMethod: 0\r\na line with no key\r\n\r\nIm: 0.1\r\nRotate: 0\r\nRe: -0.75";
    const std::optional<View> first = readBack(crlf, 2);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->centerX, -0.75);
    EXPECT_EQ(first->centerY, 0.1);
    EXPECT_EQ(first->magText, "3");
    EXPECT_EQ(std::tuple(first->maxIter, first->drawMethod, first->isJulia), std::tuple(1000.0, 2, kNo));
    EXPECT_EQ(readBack(lf, 2), first);
    EXPECT_EQ(readBack(others, 2), first);
    // Without Iterations the limit is the caller's.
    EXPECT_EQ(readBack("Re: 0\nIm: 0\nZoom: 4\n", 0, 321)->maxIter, 321.0);
}

TEST(KfrFile, WhatIsNoLocationTheWindowCouldDrawIsRefused) {
    const auto with = [](const std::string& re, const std::string& im, const std::string& zoom,
                         const std::string& iterations = "500") {
        return "Re: " + re + "\r\nIm: " + im + "\r\nZoom: " + zoom + "\r\nIterations: " + iterations + "\r\n";
    };
    ASSERT_TRUE(readBack(with("-0.75", "0.1", "4")));
    const std::vector<std::pair<const char*, std::string>> refused = {
        {"no Zoom", "Re: -0.75\r\nIm: 0.1\r\nIterations: 500\r\n"},
        {"no Re", "Im: 0.1\r\nZoom: 4\r\n"},
        {"no Im", "Re: 0.1\r\nZoom: 4\r\n"},
        {"a key twice", with("-0.75", "0.1", "4") + "Re: 0.3\r\n"},
        {"no number", with("-0.75", "abc", "4")},
        {"a decimal comma", with("-0,75", "0.1", "4")},
        {"hexadecimal", with("0x1p-2", "0.1", "4")},
        {"an empty value", with("", "0.1", "4")},
        {"a number followed by more", with("-0.75 0.2", "0.1", "4")},
        {"Zoom 0", with("-0.75", "0.1", "0")},
        {"a negative Zoom", with("-0.75", "0.1", "-4")},
        // 0.13 * 3 / 4 = 0.0975, below the least magnification.
        {"a magnification below 0.1", with("-0.75", "0.1", "0.13")},
        {"a magnification beyond 1E+10000", with("-0.75", "0.1", "1.34E+10000")},
        {"a Zoom beyond every number", with("-0.75", "0.1", "1E+999999999999")},
        {"a fractional iteration limit", with("-0.75", "0.1", "4", "2.5")},
        {"an iteration limit 0", with("-0.75", "0.1", "4", "0")},
        {"a negative iteration limit", with("-0.75", "0.1", "4", "-5")},
        {"a centre beyond a double", with("1E400", "0.1", "4")},
        // Pixels of 0.0067 do not change 1E+300.
        {"a centre whose pixels coincide", with("1E300", "0.1", "4")},
        {"a deep centre off the plane the window shows", with("5", "0.1", "1E100")},
        {"a centre with 100,000 digits", with("-0.75" + std::string(100000, '3'), "0.1", "1E100")},
        {"binary bytes", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x03 ", 20)},
        {"nothing", ""},
    };
    for (const auto& [what, text] : refused) EXPECT_FALSE(readBack(text)) << what;
    // Just within the limits.
    EXPECT_TRUE(readBack(with("-0.75", "0.1", "0.13333333333333333334")));
    EXPECT_TRUE(readBack(with("-0.75", "0.1", "1.33E+10000")));
    EXPECT_TRUE(readBack(with("-0.75" + std::string(20000, '3'), "0.1", "1E100")));
}

TEST(KfrFile, AFileIsReadWholeUpToItsLimitAndNoFurther) {
    testing::TemporaryFolder folder;
    const std::string location = "Re: -0.75\r\nIm: 0.1\r\nZoom: 4\r\n";
    const auto fileOf = [&](const std::string& name, std::size_t padding) {
        std::ofstream(folder.file(name), std::ios::binary) << location << std::string(padding, '#');
        return folder.file(name);
    };
    const std::size_t fill = kLargestKfrFile - location.size();
    EXPECT_EQ(readKfrFile(fileOf("fits.kfr", fill)), location + std::string(fill, '#'));
    EXPECT_FALSE(readKfrFile(fileOf("one-byte-over.kfr", fill + 1)));
    EXPECT_FALSE(readKfrFile(folder.file("missing.kfr")));
    EXPECT_FALSE(readKfrFile(folder.folder()));

    EXPECT_TRUE(namesKfrFile("/a/b/place.kfr"));
    EXPECT_TRUE(namesKfrFile("PLACE.KFR"));
    EXPECT_FALSE(namesKfrFile("place.kfr.bmp"));
    EXPECT_FALSE(namesKfrFile("kfr"));
}

}  // namespace
}  // namespace qel
