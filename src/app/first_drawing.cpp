#include "app/first_drawing.h"

#include "app/captions.h"

namespace qel {

int baseFontPoints(int twipsPerPixel) { return 9 * twipsPerPixel / 15; }

void setUpPictures(Program& p) {
    AppState& s = p.s;
    s.firstDrawing = true;
    s.picW = static_cast<Int16>(s.widthSetting / 4 * 4);
    s.picH = static_cast<Int16>(s.heightSetting / 4 * 4);
    p.picture1.resize(2 * s.picW, 2 * s.picH);
    p.picture2.resize(2 * s.picW, 2 * s.picH);
    p.picture1.move(0, 0);
    p.picture2.move(0, 0);
}

void captionFirstDrawing(Program& p) {
    AppState& s = p.s;
    s.viewInfo = firstViewInfo(s);
    s.drawingCaption = kFirstDrawingPrefix + s.viewInfo + kStopHint;
    p.platform.setMainCaption(s.drawingCaption);
}

std::string folderWithSeparator(const std::string& folder, const std::string& separator) {
    if (folder.size() >= separator.size() &&
        folder.compare(folder.size() - separator.size(), separator.size(), separator) == 0)
        return folder;
    return folder + separator;
}

}  // namespace qel
