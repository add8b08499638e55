#include "files/picture_files.h"

#include "app/captions.h"
#include "app/drawing_request.h"
#include "files/bitmap.h"
#include "files/file_name.h"
#include "files/kfr_file.h"
#include "app/drawing.h"
#include "app/first_drawing.h"
#include "render/layout.h"
#include "view/titles.h"

namespace qel {
namespace {

void reportSaveFailure(Program& p) { p.platform.messageBox(kSaveFailed, kSaveTitle, kMsgQuestion); }

void reportOpenFailure(Program& p, const std::string& why) { p.platform.messageBox(why, kOpenTitle, kMsgQuestion); }

// Where the file's picture goes in picture1, in its user coordinates after
// the layout for drawMethod; nothing for another method.
std::optional<std::pair<double, double>> openedPictureCorner(const AppState& s) {
    const double w = s.halfW, h = s.halfH;
    switch (s.live.drawMethod) {
    case kSplitScreen:
    case kUpperLeft:
        return std::pair{-w, h};
    case kUpperRight:
        return std::pair{w, h};
    case kLowerLeft:
        return std::pair{-w, -h};
    case kLowerRight:
        return std::pair{w, -h};
    default:
        return std::nullopt;
    }
}

// Paints picture3 onto the visible part of picture1, neither scaled nor flipped.
void paintOpenedPicture(Program& p) {
    const auto corner = openedPictureCorner(p.s);
    if (!corner) return;
    const int u = p.picture1.columnOf(corner->first), v = p.picture1.rowOf(corner->second);
    p.picture1.copyFrom(p.picture3, 0, 0, kFilePictureWidth, kFilePictureHeight, u, v);
}

// The name's view is in the state now: the screen follows it.
void showOpenedView(Program& p) {
    p.s.live.juliaStarted = p.s.live.isJulia;
    p.s.shownMethod = p.s.live.drawMethod;
    p.s.prevAvail = false;
    // The title must not offer the other colourings: a file holds only one.
    p.s.live.singleImage = -1;
    retitle(p);
    layoutPicture(p.s, p.picture1);
    paintOpenedPicture(p);
    p.s.zoomEditable = true;
    p.s.prevAvail = false;
    p.s.live.singleImage = -1;
    snapshotView(p.s, p.dialog.magText());
    p.platform.pictureChanged();
}

}  // namespace

std::optional<std::pair<int, int>> visibleAreaOrigin(const AppState& s) {
    const Int16 right = static_cast<Int16>(2 * s.halfW), down = static_cast<Int16>(2 * s.halfH);
    switch (s.shownMethod) {
    case kSplitScreen:
    case kUpperLeft:
        return std::pair{0, 0};
    case kUpperRight:
        return std::pair{int{right}, 0};
    case kLowerLeft:
        return std::pair{0, int{down}};
    case kLowerRight:
        return std::pair{int{right}, int{down}};
    default:
        return std::nullopt;
    }
}

Surface visiblePicture(const Program& p) {
    Surface shown(kFilePictureWidth, kFilePictureHeight);
    if (const auto origin = visibleAreaOrigin(p.s))
        shown.copyFrom(p.picture1, origin->first, origin->second, kFilePictureWidth, kFilePictureHeight, 0, 0);
    return shown;
}

std::string saveFolder(Platform& platform, const std::string& appPath) {
    if (platform.folderWritable(appPath)) return appPath;
    const std::string pictures = platform.picturesFolder();
    if (!pictures.empty() && platform.makeFolder(pictures) && platform.folderWritable(pictures))
        return folderWithSeparator(pictures, platform.folderSeparator());
    return folderWithSeparator(platform.homeFolder(), platform.folderSeparator());
}

void mnuhozon_Click(Program& p) {
    makeFileName(p.s, p.dialog);
    const SavedName saved = savedNameOf(p.s, p.dialog.magText(), p.dialog.contourText());
    const std::string offered = saveFolder(p.platform, p.s.appPath) + p.s.fileName;
    const std::string chosen = p.platform.showSave(kSaveDialogTitle, offered, kBitmapFilter);
    const auto origin = visibleAreaOrigin(p.s);
    // A method without a visible area would save nothing: that is a failure
    // too, not a silent success.
    if (chosen.empty() || !origin) {
        reportSaveFailure(p);
        return;
    }
    p.picture3.resize(kFilePictureWidth, kFilePictureHeight);
    p.picture3.copyFrom(p.picture1, origin->first, origin->second, kFilePictureWidth, kFilePictureHeight, 0, 0);
    // A shortened name: the bitmap keeps the whole one.
    const BitmapViewNote note{saved.name, saved.wholeName};
    if (!writeBitmapFile(chosen, p.picture3, nullptr, saved.wholeName.empty() ? nullptr : &note))
        reportSaveFailure(p);
}

void mnuyomi_Click(Program& p) {
    const std::string chosen = p.platform.showOpen(kOpenDialogTitle, "", kBitmapFilter + "|" + kLocationFilter);
    if (chosen.empty()) return;
    if (namesKfrFile(chosen)) return openLocation(p, chosen);
    const std::string viewName = viewNameOfFile(chosen);
    if (!openableView(viewName)) {
        parseFileName(p.s, p.dialog, viewName);  // records the refusal, writes no view
        reportOpenFailure(p, kNameWithoutView);
        return;
    }
    // The picture is read before anything changes, so that a file that is
    // no readable bitmap leaves the screen and the view as they were.
    std::optional<Surface> picture = p.platform.loadPicture(chosen, kFilePictureWidth, kFilePictureHeight);
    if (!picture) {
        reportOpenFailure(p, kPictureUnreadable);
        return;
    }
    parseFileName(p.s, p.dialog, viewName);
    p.picture3 = std::move(*picture);
    showOpenedView(p);
}

void openLocation(Program& p, const std::string& path) {
    AppState& s = p.s;
    const std::optional<std::string> text = readKfrFile(path);
    const std::optional<KfrLocation> location = text ? parseKfr(*text) : std::nullopt;
    const std::optional<View> view =
        location ? viewOfKfr(*location, s.live.drawMethod, s.live.contourT, s.live.maxIter) : std::nullopt;
    if (!view) return reportOpenFailure(p, kPictureUnreadable);
    putLiveView(s, *view);
    // What "描画開始" leaves: the menu's mark gone, the dialog's rows those
    // of the Mandelbrot set.
    s.menuOpen = false;
    p.dialog.setPointCaptions(kNewCentreCaption, kCurrentCentreCaption);
    redrw(p);
}

void mnuowli_Click(Program& p) { p.platform.endProgram(); }

}  // namespace qel
