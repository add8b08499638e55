#include "files/picture_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/bitmap.h"
#include "file_stand_ins.h"
#include "platform/test_platform.h"
#include "render/layout.h"

namespace qel {
namespace {

using testing::FieldsDialog;
using testing::QuietWindow;
using testing::TemporaryFolder;

// A program after start-up whose folder is a temporary one, with a picture
// on the screen in which every pixel differs from its neighbours.
class PictureFiles : public ::testing::Test {
protected:
    PictureFiles() : p(platform, dialog, window) {
        setStartValues(p.s);
        p.s.appPath = dir.folder();
        p.picture1.resize(1600, 1200);
        layoutPicture(p.s, p.picture1);
        paintPattern(1);
        platform.saveAnswer = [](const std::string& offered) { return offered; };
    }

    void paintPattern(int seed) {
        for (int v = 0; v < p.picture1.height(); ++v)
            for (int u = 0; u < p.picture1.width(); ++u)
                p.picture1.setPixel(u, v, rgb((u * seed) % 256, (v * 3 + seed) % 256, (u + v) % 256));
    }

    // The screen as a drawing would have left it: live values, layout and
    // the cur layer all describe the view.
    void showDrawnView(int method) {
        p.s.drawMethod = static_cast<Int16>(method);
        layoutPicture(p.s, p.picture1);
        p.s.shownMethod = p.s.drawMethod;
        snapshotView(p.s, dialog.mag);
    }

    Surface visiblePart(int left, int top) const {
        Surface part(800, 600);
        part.copyFrom(p.picture1, left, top, 800, 600, 0, 0);
        return part;
    }

    TemporaryFolder dir;
    TestPlatform platform;
    FieldsDialog dialog;
    QuietWindow window;
    Program p;
};

TEST_F(PictureFiles, SavingTheStartViewOffersItsNameInTheProgramFolder) {
    mnuhozon_Click(p);
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_EQ(platform.dialogs[0].title, kSaveDialogTitle);
    EXPECT_EQ(platform.dialogs[0].fileName, dir.folder() + "M0s1x0y0k500t1.bmp");
    EXPECT_EQ(platform.dialogs[0].filter, "bitmap file(*.bmp)|*.bmp");
    EXPECT_TRUE(platform.messages.empty());
    auto saved = readBitmapFile(dir.file("M0s1x0y0k500t1.bmp"), 800, 600);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(*saved == visiblePart(0, 0));
}

TEST_F(PictureFiles, SavingAFullSizeColouringWritesItsQuadrant) {
    showDrawnView(4);
    ASSERT_EQ(p.s.halfW, 400);
    mnuhozon_Click(p);
    auto saved = readBitmapFile(dir.file("M4s1x0y0k500t1.bmp"), 800, 600);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(*saved == visiblePart(800, 600));

    EXPECT_EQ(visibleAreaOrigin(p.s), (std::pair{800, 600}));
    p.s.shownMethod = 2;
    EXPECT_EQ(visibleAreaOrigin(p.s), (std::pair{800, 0}));
    p.s.shownMethod = 3;
    EXPECT_EQ(visibleAreaOrigin(p.s), (std::pair{0, 600}));
}

TEST_F(PictureFiles, SavingChangesNothingButTheFileAndItsName) {
    showDrawnView(2);
    AppState before = p.s;
    Surface screen = p.picture1;
    mnuhozon_Click(p);
    before.fileName = "M2s1x0y0k500t1.bmp";
    EXPECT_TRUE(p.s == before);
    EXPECT_TRUE(p.picture1 == screen);
    EXPECT_EQ(p.picture1.left(), -800);
}

TEST_F(PictureFiles, AFailedSaveSaysSoAndLeavesNoFile) {
    const ShownMessage failed{kSaveFailed, kSaveTitle, kMsgQuestion};
    auto saysFailed = [&] {
        return platform.messages.size() == 1 && platform.messages[0].text == failed.text &&
               platform.messages[0].title == failed.title && platform.messages[0].style == failed.style;
    };
    platform.saveAnswer = nullptr;  // the dialog gives back an empty name
    mnuhozon_Click(p);
    EXPECT_TRUE(saysFailed());

    platform.messages.clear();
    platform.saveAnswer = [&](const std::string&) { return dir.file("missing/M0s1x0y0k500t1.bmp"); };
    mnuhozon_Click(p);
    EXPECT_TRUE(saysFailed());

    platform.messages.clear();
    std::ofstream(dir.file("afile")) << "x";
    platform.saveAnswer = [&](const std::string&) { return dir.file("afile/M0s1x0y0k500t1.bmp"); };
    mnuhozon_Click(p);
    EXPECT_TRUE(saysFailed());

    platform.messages.clear();
    platform.saveAnswer = [](const std::string& offered) { return offered; };
    p.s.shownMethod = 7;  // no visible area to save
    mnuhozon_Click(p);
    EXPECT_TRUE(saysFailed());
    EXPECT_EQ(dir.entries(), 1u);  // only "afile"
}

TEST_F(PictureFiles, SaveThenOpenRestoresTheViewAndThePicture) {
    p.s.isJulia = p.s.juliaStarted = -1;
    p.s.centerX = 0.25;
    p.s.centerY = -0.5;
    p.s.juliaRe = -0.8;
    p.s.juliaIm = 0.156;
    p.s.maxIter = 1000;
    p.s.contourT = 1.5f;
    dialog.mag = "64";
    dialog.contour = "1.5";
    showDrawnView(2);
    const Surface shown = visiblePart(800, 0);
    platform.saveAnswer = [&](const std::string&) { return dir.folder() + "my " + p.s.fileName; };
    mnuhozon_Click(p);
    ASSERT_TRUE(platform.messages.empty());
    const std::string saved = dir.folder() + "my J2s64x0p25y-0p5z-0p8w0p156k1000t1p5.bmp";
    ASSERT_TRUE(std::filesystem::exists(saved));

    // Back to the start view, with another picture on the screen.
    setStartValues(p.s);
    p.s.appPath = dir.folder();
    p.s.prevAvail = -1;
    p.s.zoomEditable = 0;
    dialog.mag = "1";
    layoutPicture(p.s, p.picture1);
    paintPattern(5);

    platform.openAnswer = saved;
    mnuyomi_Click(p);
    ASSERT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.dialogs.back().title, kOpenDialogTitle);
    EXPECT_EQ(platform.dialogs.back().fileName, "");
    const AppState& s = p.s;
    EXPECT_EQ(s.isJulia, -1);
    EXPECT_EQ(s.juliaStarted, -1);
    EXPECT_EQ(s.centerX, 0.25);
    EXPECT_EQ(s.centerY, -0.5);
    EXPECT_EQ(s.juliaRe, -0.8);
    EXPECT_EQ(s.juliaIm, 0.156);
    EXPECT_EQ(s.maxIter, 1000);
    EXPECT_EQ(s.contourT, 1.5f);
    EXPECT_EQ(s.drawMethod, 2);
    EXPECT_EQ(s.shownMethod, 2);
    EXPECT_EQ(s.radius, 2.0 / 64);
    EXPECT_EQ(dialog.mag, "64");
    EXPECT_EQ(s.singleImage, -1);
    EXPECT_EQ(s.prevAvail, 0);
    EXPECT_EQ(s.zoomEditable, -1);
    // The snapshot took the restored view into the cur layer.
    EXPECT_EQ(s.curMaxIter, 1000);
    EXPECT_EQ(s.curMagText, "64");
    EXPECT_EQ(s.curJuliaStarted, -1);
    EXPECT_EQ(s.curSingleImage, -1);
    // The picture is back, pixel for pixel, where it is seen.
    EXPECT_EQ(p.picture1.left(), -800);
    EXPECT_EQ(p.picture1.top(), 0);
    EXPECT_TRUE(visiblePart(800, 0) == shown);
    EXPECT_GT(platform.pictureUpdates, 0);
}

TEST_F(PictureFiles, OpeningInTheSplitLayoutFillsTheTopLeftAndFramesSmallPictures) {
    Surface small(100, 50);
    small.setPixel(99, 49, rgb(1, 2, 3));
    ASSERT_TRUE(writeBitmapFile(dir.file("M0s8x-0p75y0p1k1000t1.bmp"), small));
    platform.openAnswer = dir.file("M0s8x-0p75y0p1k1000t1.bmp");
    mnuyomi_Click(p);
    ASSERT_TRUE(platform.messages.empty());
    EXPECT_EQ(p.s.centerX, -0.75);
    EXPECT_EQ(p.s.centerY, 0.1);
    EXPECT_EQ(p.picture1.pixel(99, 49), rgb(1, 2, 3));
    EXPECT_EQ(p.picture1.pixel(100, 0), 0);  // black margin
    EXPECT_EQ(p.picture1.pixel(799, 599), 0);
    EXPECT_NE(p.picture1.pixel(800, 0), 0);  // outside the visible part: untouched
}

TEST_F(PictureFiles, CancellingTheOpenDialogDoesNothing) {
    AppState before = p.s;
    Surface screen = p.picture1;
    platform.openAnswer = "";
    mnuyomi_Click(p);
    EXPECT_TRUE(p.s == before);
    EXPECT_TRUE(p.picture1 == screen);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PictureFiles, ANameWithoutAViewIsRefusedWithThreeLines) {
    ASSERT_TRUE(writeBitmapFile(dir.file("photo.bmp"), Surface(800, 600)));
    AppState before = p.s;
    Surface screen = p.picture1;
    platform.openAnswer = dir.file("photo.bmp");
    mnuyomi_Click(p);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "この画像には中心や倍率のデータがないので\r読み込んで拡大縮小処理をすることができません．\r"
              "他のソフトで表示してください.");
    EXPECT_EQ(platform.messages[0].title, "fileの入力");
    EXPECT_EQ(platform.messages[0].style, 32);
    EXPECT_EQ(p.s.fileNameOk, 0);
    before.fileNameOk = 0;
    before.fileName = p.s.fileName;
    EXPECT_TRUE(p.s == before);
    EXPECT_TRUE(p.picture1 == screen);
}

TEST_F(PictureFiles, AnUnreadablePictureLeavesScreenAndViewAsTheyWere) {
    std::ofstream(dir.file("M1s8x-0p75y0p1k1000t1.bmp")) << "BM but nothing more";
    std::filesystem::create_directory(dir.file("J0s1x0y0z0w0k500t1.bmp"));
    for (const char* name : {"M1s8x-0p75y0p1k1000t1.bmp", "J0s1x0y0z0w0k500t1.bmp", "M0s1x0y0k500t1.bmp"}) {
        platform.messages.clear();
        AppState before = p.s;
        Surface screen = p.picture1;
        platform.openAnswer = dir.file(name);
        mnuyomi_Click(p);
        ASSERT_EQ(platform.messages.size(), 1u) << name;
        EXPECT_EQ(platform.messages[0].text, kPictureUnreadable);
        EXPECT_EQ(platform.messages[0].title, "fileの入力");
        EXPECT_EQ(platform.messages[0].style, 32);
        EXPECT_TRUE(p.s == before) << name;
        EXPECT_TRUE(p.picture1 == screen) << name;
    }
}

TEST_F(PictureFiles, QuittingEndsTheProgram) {
    mnuowli_Click(p);
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace qel
