// Palette files: the stops and the interior colour of good files, and the
// refusal of empty, malformed, binary and oversized ones, each with a
// reason that names what is wrong.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "files/file_stand_ins.h"
#include "files/palette_file.h"

namespace qel {
namespace {

using testing::TemporaryFolder;

TEST(PaletteFile, GoodFilesGiveTheirStopsInOrder) {
    const PaletteReading r = parsePalette(
        "# sunset\n"
        "\n"
        "#FF8000\r\n"
        "  0 128 255   # a blue\n"
        "#00ff7f # spring green\n"
        "\t12\t34\t56\n"
        "#\n");
    ASSERT_TRUE(r.palette) << r.refusal;
    EXPECT_EQ(r.palette->stops, (std::vector<Colour>{rgb(255, 128, 0), rgb(0, 128, 255), rgb(0, 255, 127),
                                                     rgb(12, 34, 56)}));
    EXPECT_EQ(r.palette->interior, 0);

    const PaletteReading withInterior = parsePalette("interior 255 255 255\n0 0 0\n#ffffff");
    ASSERT_TRUE(withInterior.palette) << withInterior.refusal;
    EXPECT_EQ(withInterior.palette->interior, rgb(255, 255, 255));
    EXPECT_EQ(withInterior.palette->stops.size(), 2u);
    const PaletteReading hexInterior = parsePalette("0 0 0\n1 1 1\ninterior #102030 # dark\n");
    ASSERT_TRUE(hexInterior.palette) << hexInterior.refusal;
    EXPECT_EQ(hexInterior.palette->interior, rgb(16, 32, 48));
}

TEST(PaletteFile, TooFewOrTooManyStopsAreRefused) {
    for (const char* text : {"", "\n\n# nothing but comments\n", "#000000\n"}) {
        const PaletteReading r = parsePalette(text);
        EXPECT_FALSE(r.palette) << text;
        EXPECT_NE(r.refusal.find("at least 2"), std::string::npos) << r.refusal;
    }
    std::string many;
    for (std::size_t i = 0; i < kMostPaletteStops; ++i) many += std::to_string(i % 256) + " 0 0\n";
    EXPECT_TRUE(parsePalette(many).palette);
    const PaletteReading tooMany = parsePalette(many + "1 2 3\n");
    EXPECT_FALSE(tooMany.palette);
    EXPECT_NE(tooMany.refusal.find("more than 4096"), std::string::npos) << tooMany.refusal;
}

TEST(PaletteFile, BadLinesAreRefusedNamingTheLine) {
    const struct {
        const char* text;
        const char* says;
    } bad[] = {
        {"#000000\n#12345\n", "line 2"},          // five digits
        {"#000000\n#1234567\n", "line 2"},        // seven
        {"#000000\n#12345g\n", "line 2"},         // no hexadecimal digit
        {"0 0 0\n0 0 256\n", "line 2"},           // beyond 255
        {"0 0 0\n0 0\n", "line 2"},               // two components
        {"0 0 0\n0 0 0 0\n", "line 2"},           // four
        {"0 0 0\n-1 0 0\n", "line 2"},            // negative
        {"0 0 0\n1.5 0 0\n", "line 2"},           // fractional
        {"0 0 0\n1,2,3\n", "line 2"},             // commas
        {"0 0 0\n\n#comment\n", "line 3"},        // a comment wants a blank after '#'
        {"0 0 0\nred\n", "line 2"},               // a name
        {"interior #000000\ninterior #ffffff\n0 0 0\n1 1 1\n", "second time"},
        {"interior\n0 0 0\n1 1 1\n", "interior"},
    };
    for (const auto& b : bad) {
        const PaletteReading r = parsePalette(b.text);
        EXPECT_FALSE(r.palette) << b.text;
        EXPECT_NE(r.refusal.find(b.says), std::string::npos) << b.text << " -> " << r.refusal;
    }
}

TEST(PaletteFile, BinaryAndHugeFilesAreRefused) {
    const PaletteReading nul = parsePalette(std::string("0 0 0\n1 1 1\n\0\n", 14));
    EXPECT_FALSE(nul.palette);
    EXPECT_NE(nul.refusal.find("not text"), std::string::npos) << nul.refusal;
    const PaletteReading high = parsePalette("0 0 0\n1 1 1\n\xff\xfe\n");
    EXPECT_FALSE(high.palette);
    EXPECT_NE(high.refusal.find("not plain text"), std::string::npos) << high.refusal;

    TemporaryFolder dir;
    // A file of good lines, but over the limit: refused for its size.
    std::string lines;
    while (lines.size() <= kLargestPaletteFile) lines += "# " + std::string(60, 'x') + "\n";
    lines += "0 0 0\n255 255 255\n";
    std::ofstream(dir.file("huge.txt"), std::ios::binary) << lines;
    const PaletteReading huge = readPaletteFile(dir.file("huge.txt"));
    EXPECT_FALSE(huge.palette);
    EXPECT_NE(huge.refusal.find("larger than 1048576 bytes"), std::string::npos) << huge.refusal;

    std::ofstream(dir.file("good.txt"), std::ios::binary) << "#000764\n#206bcb\n#edffff\n";
    const PaletteReading good = readPaletteFile(dir.file("good.txt"));
    ASSERT_TRUE(good.palette) << good.refusal;
    EXPECT_EQ(good.palette->stops.size(), 3u);

    const PaletteReading missing = readPaletteFile(dir.file("missing.txt"));
    EXPECT_FALSE(missing.palette);
    EXPECT_NE(missing.refusal.find("No such file"), std::string::npos) << missing.refusal;
}

}  // namespace
}  // namespace qel
