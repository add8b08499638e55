// What the program outside the settings dialog needs of it: the check boxes
// read while drawing and titling, the magnification and contour fields, the
// method buttons and hiding. The Qt dialog implements it; tests of the
// renderer and of the titles use a plain stand-in.
#pragma once

#include <string>

namespace qel {

class SettingsPort {
public:
    virtual ~SettingsPort() = default;
    virtual bool keepsOldPicture() const = 0;   // Check2 "画面消去せずに描画"
    virtual bool simpleTitles() const = 0;      // Check3 "Title説明の単純化"
    virtual bool keepsZoom() const = 0;         // Check5 "次以降もこの倍率で拡大"
    virtual std::string magText() const = 0;    // Text2
    virtual void setMagText(const std::string& text) = 0;
    virtual std::string contourText() const = 0;  // Text9
    // Selects the method button of `method` (0..4); its handler runs when
    // the button was not selected before.
    virtual void selectMethodOption(int method) = 0;
    // Captions of the two point rows (Label4, Label5).
    virtual void setPointCaptions(const std::string& first, const std::string& second) = 0;
    virtual void hideDialog() = 0;
};

}  // namespace qel
