#include "files/picture_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include "app/view_texts.h"
#include "files/bitmap.h"
#include "files/file_name.h"
#include "files/kfr_file.h"
#include "view/previous_screen.h"
#include "platform/qt_picture_file.h"
#include "deep/deep_views.h"
#include "file_stand_ins.h"
#include "support/program_fixture.h"
#include "app/drawing.h"

namespace qel {
namespace {

using testing::FieldsDialog;
using testing::TemporaryFolder;

// A program after start-up whose folder is a temporary one, with a picture
// on the screen in which every pixel differs from its neighbours.
class PictureFiles : public ProgramOn<FieldsDialog> {
protected:
    void SetUp() override {
        ProgramOn::SetUp();
        p.s.appPath = dir.folder();
        layoutPicture(p.s, p.picture1);
        p.picture1.copyFrom(testing::pattern(1600, 1200, 1), 0, 0, 1600, 1200, 0, 0);
        platform.saveAnswer = [](const std::string& offered) { return offered; };
    }

    Surface visiblePart(int left, int top) const {
        Surface part(800, 600);
        part.copyFrom(p.picture1, left, top, 800, 600, 0, 0);
        return part;
    }
    void open(const std::string& path) { platform.openAnswer = path; mnuyomi_Click(p); }

    TemporaryFolder dir;
};

// The journeys save onto a full disk.
TEST_F(PictureFiles, SavingOffersTheViewsNameAndWritesTheVisibleQuadrantOnly) {
    for (auto [method, left, top] :
         {std::tuple{0, 0, 0}, std::tuple{1, 0, 0}, std::tuple{2, 800, 0}, std::tuple{3, 0, 600}, std::tuple{4, 800, 600}}) {
        // the screen as a drawing would leave it: live, layout and cur layer alike
        p.s.live.drawMethod = p.s.shownMethod = static_cast<Int16>(method);
        layoutPicture(p.s, p.picture1);
        snapshotView(p.s, dialog.mag);
        AppState before = p.s;
        const Surface screen = p.picture1;
        mnuhozon_Click(p);
        const std::string name = "M" + std::to_string(method) + "s1x0y0k500t1.bmp";
        EXPECT_EQ(platform.offeredNames.back(), dir.folder() + name);
        before.fileName = name;
        EXPECT_TRUE(p.s == before) << name;
        EXPECT_TRUE(p.picture1 == screen) << name;
        EXPECT_EQ(std::pair(p.picture1.left(), p.picture1.top()), std::pair(-left, -top)) << name;
        auto saved = platform.loadPicture(dir.file(name), 800, 600);
        ASSERT_TRUE(saved) << name;
        EXPECT_TRUE(*saved == visiblePart(left, top)) << name;
    }
    EXPECT_TRUE(platform.messages.empty());
}

// Installed under /usr/bin, the program's folder is no place to save in.
TEST_F(PictureFiles, AProgramFolderTheUserMayNotWriteOffersThePictureFolderMadeIfMissingElseHome) {
    platform.home = dir.file("home");
    platform.pictures = dir.file("home/Bilder");
    mnuhozon_Click(p);
    EXPECT_EQ(platform.offeredNames.back(), dir.folder() + "M0s1x0y0k500t1.bmp");
    EXPECT_TRUE(platform.madeFolders.empty());  // nothing made where the program's folder will do

    platform.readOnlyFolders = {dir.folder()};
    mnuhozon_Click(p);
    EXPECT_EQ(platform.offeredNames.back(), dir.file("home/Bilder/M0s1x0y0k500t1.bmp"));
    EXPECT_TRUE(testing::holdsPicture(dir.file("home/Bilder/M0s1x0y0k500t1.bmp"), visiblePart(0, 0)));

    // No picture folder, one that cannot be made (a file stands on its
    // path), one the user may not write to: the home folder.
    std::ofstream(dir.file("file")) << "x";
    for (const std::string& pictures : {std::string(), dir.file("file/Pictures"), dir.file("home/Bilder")}) {
        platform.pictures = pictures;
        platform.readOnlyFolders = {dir.folder(), dir.file("home/Bilder")};
        mnuhozon_Click(p);
        EXPECT_EQ(platform.offeredNames.back(), dir.file("home/M0s1x0y0k500t1.bmp")) << pictures;
    }
    EXPECT_TRUE(platform.messages.empty());
}

// A FIFO chosen as the file stays a FIFO (the saving tests try the other
// special files).
TEST_F(PictureFiles, ACancelledSaveAFailedWriteOrNoVisibleAreaSaysItFailed) {
    platform.saveAnswer = nullptr;  // the dialog gives back an empty name
    mnuhozon_Click(p);
    platform.saveAnswer = [&](const std::string&) { return dir.file("missing/M0s1x0y0k500t1.bmp"); };
    mnuhozon_Click(p);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    platform.saveAnswer = [&](const std::string&) { return dir.file("fifo"); };
    mnuhozon_Click(p);
    platform.saveAnswer = [](const std::string& offered) { return offered; };
    p.s.shownMethod = 7;
    mnuhozon_Click(p);
    ASSERT_EQ(platform.messages.size(), 4u);
    for (const ShownMessage& m : platform.messages) EXPECT_EQ(m.text, kSaveFailed);
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("fifo")));
    EXPECT_EQ(dir.entries(), 1);
}

// Saving and opening again is the journeys' round trip; this opens a Julia
// picture at full size over a screen that shows something else; a picture
// smaller than the screen gets a black margin.
TEST_F(PictureFiles, OpeningRestoresTheViewThePictureAndASingleColouringsTitle) {
    ASSERT_TRUE(writeBitmapFile(dir.file("my J2s64x0p25y-0p5z-0p8w0p156k1000t1p5.bmp"), testing::pattern(700, 500, 5)));
    Surface expected(800, 600);
    expected.copyFrom(testing::pattern(700, 500, 5), 0, 0, 700, 500, 0, 0);
    p.s.prevAvail = true;
    p.s.zoomEditable = false;
    open(dir.file("my J2s64x0p25y-0p5z-0p8w0p156k1000t1p5.bmp"));
    ASSERT_TRUE(platform.messages.empty());
    const AppState& s = p.s;
    EXPECT_EQ(std::tie(s.live.isJulia, s.live.juliaStarted, s.live.drawMethod, s.live.centerY, s.live.juliaRe, s.live.juliaIm),
              std::make_tuple(-1, -1, 2, -0.5, -0.8, 0.156));
    EXPECT_EQ(std::tie(s.live.maxIter, s.live.contourT, s.radius, dialog.mag), std::make_tuple(1000.0, 1.5f, 2.0 / 64, "64"));
    EXPECT_EQ(std::tie(s.live.singleImage, s.prevAvail, s.zoomEditable), std::make_tuple(kYes, false, true));
    // The snapshot took the restored view into the cur layer.
    EXPECT_EQ(std::tie(s.cur.maxIter, s.cur.magText, s.cur.singleImage), std::make_tuple(1000.0, "64", -1));
    // The file holds one colouring: the title offers no other screens.
    EXPECT_EQ(platform.caption, "J: 中心(0.25　,　-0.5): 倍率64:  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
    // The picture is where it is seen, pixel for pixel.
    EXPECT_EQ(std::pair(p.picture1.left(), p.picture1.top()), std::pair(-800, 0));
    EXPECT_TRUE(visiblePart(800, 0) == expected);
}

// A view at 10^100 saved from the window reopens in the window to the same
// centre digits and the same pixels.
TEST_F(PictureFiles, ADeepViewSavedFromTheWindowReopensToTheSameDigitsAndPixels) {
    // Beside the real axis's antenna, which crosses the picture 37 pixels
    // below its centre.
    const std::string x = "-1.99" + std::string("31415926535897932384626433832795028841971693993751") +
                          "05820974944592307816406286208998628034825342117067982";
    View deep{.maxIter = 2000};
    ASSERT_TRUE(placeFromTexts(deep, {"1E+100", x, "3.7E-101"}));
    ASSERT_FALSE(deep.deep.empty());
    putView(p.s, deep);
    Essence(p);
    const Surface drawn = visiblePart(0, 0);
    mnuhozon_Click(p);
    ASSERT_TRUE(platform.messages.empty());
    const std::string saved = platform.offeredNames.back();
    const std::string name = saved.substr(dir.folder().size());
    // The centre's digits tell pixels 1E-102 apart.
    EXPECT_TRUE(name.starts_with("M0s1E+100x-1p" + x.substr(3, 100))) << name;
    EXPECT_TRUE(name.ends_with("y3p7E-101k2000t1.bmp")) << name;
    ASSERT_TRUE(testing::holdsPicture(saved, drawn));
    // The picture has structure to compare: bands across the antenna.
    int changes = 0;
    for (int v = 1; v < 300; ++v) changes += drawn.pixel(600, v) != drawn.pixel(600, v - 1);
    EXPECT_GE(changes, 20);

    // Opened in the window: the same texts, and drawn again the same pixels.
    p.picture1.copyFrom(testing::pattern(1600, 1200, 3), 0, 0, 1600, 1200, 0, 0);
    open(saved);
    ASSERT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::tie(p.s.cur.deep, p.s.live.deep), std::tie(deep.deep, deep.deep));
    Essence(p);
    EXPECT_TRUE(visiblePart(0, 0) == drawn);
}

// Cancelled, unreadable, or named without a view a saved picture could
// carry (the picture reader's tests try every kind of broken file).
TEST_F(PictureFiles, AnOpeningThatIsCancelledOrRefusedLeavesScreenAndViewAsTheyWere) {
    auto expectRefused = [&](const std::string& name, const std::string* message) {
        AppState before = p.s;
        const Surface screen = p.picture1;
        platform.messages.clear();
        open(name.empty() ? "" : dir.file(name));
        before.fileNameOk = p.s.fileNameOk;
        before.fileName = p.s.fileName;
        EXPECT_TRUE(p.s == before) << name;
        EXPECT_TRUE(p.picture1 == screen) << name;
        ASSERT_EQ(platform.messages.size(), message ? 1u : 0u) << name;
        if (message) { EXPECT_EQ(platform.messages[0].text, *message) << name; }
    };
    std::ofstream(dir.file("M1s8x-0p75y0p1k1000t1.bmp")) << "BM but nothing more";
    std::filesystem::create_directory(dir.file("J0s1x0y0z0w0k500t1.bmp"));
    // cancelled, a truncated picture, a folder, a missing picture
    for (const char* name : {"", "M1s8x-0p75y0p1k1000t1.bmp", "J0s1x0y0z0w0k500t1.bmp", "M0s1x0y0k500t1.bmp"}) {
        expectRefused(name, *name ? &kPictureUnreadable : nullptr);
        EXPECT_EQ(p.s.fileNameOk, 1) << name;
    }
    // a name without a view, and views the window can neither reach nor save
    // (a radius beyond a double was found by fuzzing)
    for (const char* name : {"photo.bmp", "M0s1x0y0k-5t1.bmp", "M2s1E-320x0p5y0k500t1.bmp", "M0s1x0y0k500p5t1.bmp", "M0s1x0y0k500t-3.bmp",
                             "M0s1x0y0k500t9.bmp", "J0s1x0y0z1E+300w0k500t1.bmp", "M0s0p09x0y0k500t1.bmp",
                             // deep beyond the deepest magnification, or only for its large centre
                             "M0s1E+10001x-0p75y0k500t1.bmp", "M0s1E+16x99y0k500t1.bmp"}) {
        ASSERT_TRUE(writeBitmapFile(dir.file(name), Surface(800, 600)));
        expectRefused(name, &kNameWithoutView);
        EXPECT_EQ(p.s.fileNameOk, 0) << name;
    }
}

// A location file is drawn as "描画開始" draws: a Mandelbrot view with the
// current method, the picture before it kept for going back.
TEST_F(PictureFiles, ALocationFileIsDrawnWithTheCurrentMethodAndThePictureBeforeItKept) {
    std::ofstream(dir.file("place.KFR"), std::ios::binary)
        << "Re: -0.75\r\nIm: 0.1\r\nZoom: 10.666666666666666667\r\nIterations: 60\r\nColors: 1,2,3\r\n";
    // After a first drawing; the Julia set chosen, its constant still to be
    // picked, the menu's mark set.
    p.s.firstDrawing = false;
    p.s.live.isJulia = kYes;
    p.s.live.drawMethod = 2;
    p.s.menuOpen = true;
    const AppState before = p.s;
    const Surface screen = p.picture1;
    open(dir.file("place.KFR"));
    ASSERT_TRUE(platform.messages.empty());
    const View& v = p.s.cur;
    EXPECT_EQ(std::tie(v.isJulia, v.juliaStarted, v.drawMethod, v.centerX, v.centerY, v.maxIter),
              std::make_tuple(kNo, kNo, 2, -0.75, 0.1, 60.0));
    EXPECT_EQ(std::tie(p.s.radius, dialog.mag, p.s.menuOpen, p.s.prevAvail), std::make_tuple(0.25, "8", false, true));
    EXPECT_EQ(platform.caption,
              "M: 中心(-0.75 , 0.1): 倍率8:  Clickするとそこを中心に8倍に拡大描画します: 右Clickで他画面: 右W-ClickでMenu:");
    EXPECT_TRUE(p.picture2 == screen);
    // Back to the picture and the view before it.
    mnuzen_Click(p);
    EXPECT_TRUE(p.picture1 == screen);
    EXPECT_EQ(std::tie(p.s.live.centerX, p.s.live.centerY, p.s.live.isJulia, p.s.radius),
              std::tie(before.cur.centerX, before.cur.centerY, before.cur.isJulia, before.radius));

    // A deep location comes with every digit.
    const testing::DeepTestView& deep = testing::kDeepViews[1];
    std::ofstream(dir.file("deep.kfr"), std::ios::binary)
        << "Re: " << deep.cx << "\nIm: " << deep.cy << "\nZoom: 1.3333333333333333333E+50\nIterations: 200\n";
    open(dir.file("deep.kfr"));
    ASSERT_TRUE(platform.messages.empty());
    const std::optional<View> expected = viewOfKfr(KfrLocation{deep.cx, deep.cy, "1.3333333333333333333E+50", "200"}, 2, 1.0f, 0);
    ASSERT_TRUE(expected && !expected->deep.empty());
    EXPECT_EQ(p.s.cur.deep, expected->deep);
    EXPECT_EQ(dialog.mag, "1E+50");
}

TEST_F(PictureFiles, ALocationFileWithoutADrawableViewIsRefusedAsUnreadable) {
    // The reader's tests try every kind of bad location.
    std::ofstream(dir.file("binary.kfr"), std::ios::binary) << std::string("\0\x01Re: \xff\xfe\0Zoom", 12);
    std::ofstream(dir.file("too-deep.kfr"), std::ios::binary) << "Re: 0\r\nIm: 0\r\nZoom: 1E+10001\r\n";
    for (const char* name : {"binary.kfr", "too-deep.kfr", "missing.kfr"}) {
        const AppState before = p.s;
        const Surface screen = p.picture1;
        platform.messages.clear();
        open(dir.file(name));
        EXPECT_TRUE(p.s == before) << name;
        EXPECT_TRUE(p.picture1 == screen) << name;
        ASSERT_EQ(platform.messages.size(), 1u) << name;
        EXPECT_EQ(std::tie(platform.messages[0].text, platform.messages[0].title, platform.messages[0].style),
                  std::make_tuple(kPictureUnreadable, kOpenTitle, int{kMsgQuestion}))
            << name;
    }
}

// A centre far outside the dialog's -4..4 is reached by clicking near the
// edge at magnification 0.1, and opens.
TEST_F(PictureFiles, AFarCentreAClickCanReachOpens) {
    ASSERT_TRUE(writeBitmapFile(dir.file("M0s0p8x99y-99k500t1.bmp"), Surface(800, 600)));
    open(dir.file("M0s0p8x99y-99k500t1.bmp"));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::pair(p.s.live.centerX, p.s.live.centerY), std::pair(99.0, -99.0));
}

// A deep view at 10^150 has a name of about 330 bytes: the file gets a
// shortened name and keeps the whole one, which opening prefers while the
// file is named as saved.
TEST_F(PictureFiles, ADeepViewTooLongForAFileNameIsSavedShortenedAndReopensToTheLastDigit) {
    View deep{.drawMethod = 1};
    const std::string digits = "7490512345678901234567890123456789012345678901234567890123456789012345678901234567"
                               "8901234567890123456789012345678901234567890123456789012345678901234567";
    ASSERT_TRUE(placeFromTexts(deep, {"1E+150", "-1." + digits, "0.0000" + digits}));
    ASSERT_FALSE(deep.deep.empty());
    putView(p.s, deep);
    layoutPicture(p.s, p.picture1);
    mnuhozon_Click(p);
    const std::string saved = platform.offeredNames.back();
    const std::string name = saved.substr(dir.folder().size());
    EXPECT_LE(name.size(), kShortenedFileName);
    EXPECT_GT(name.size(), kShortenedFileName - 10);
    EXPECT_EQ(name.substr(0, 8), "M1s1E+15");
    ASSERT_TRUE(platform.messages.empty());
    // The short name alone is the place to fewer digits, still a deep view.
    const std::optional<View> near = decodeFileName(name);
    ASSERT_TRUE(near);
    EXPECT_EQ(near->deep.magnification, deep.deep.magnification);
    EXPECT_EQ(near->deep.centerX.substr(0, 40), deep.deep.centerX.substr(0, 40));

    // Every reader sees the same picture; the file carries the whole name.
    const std::optional<Surface> read = readPictureFile(saved, 800, 600);
    ASSERT_TRUE(read);
    EXPECT_TRUE(*read == visiblePart(0, 0));
    const std::optional<BitmapViewNote> note = viewNoteOfBitmap(saved);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->name, name);
    EXPECT_GT(note->wholeName.size(), kLongestFileName);

    // A prefix keeps the whole view; another name is the view it names.
    std::filesystem::copy_file(saved, dir.file("my " + name));
    std::filesystem::copy_file(saved, dir.file("M1s8x-0p75y0p1k1000t1.bmp"));
    open(dir.file("my " + name));
    EXPECT_EQ(std::tie(p.s.cur.deep, p.s.live.deep), std::tie(deep.deep, deep.deep));
    open(dir.file("M1s8x-0p75y0p1k1000t1.bmp"));
    EXPECT_TRUE(p.s.cur.deep.empty());
    EXPECT_EQ(p.s.cur.centerX, -0.75);
    // Beyond a double's range too.
    std::filesystem::copy_file(saved, dir.file("M1s1E+400x-1p75y0k500t1.bmp"));
    open(dir.file("M1s1E+400x-1p75y0k500t1.bmp"));
    EXPECT_EQ(p.s.cur.deep.magnification, " 1E+400");
    EXPECT_GT(p.s.radius, 0);
    EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace qel
