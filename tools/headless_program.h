// The toolkit, the settings dialog and the main window as a program without
// a display needs them (qel-render, the benchmarks): nothing is shown, the
// dialog has every check box clear. Hooks let a benchmark act on the yields
// and see the captions.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/program.h"

namespace qel {

class HeadlessPlatform : public Platform {
public:
    void messageBox(const std::string&, const std::string&, int) override {}
    void setMainCaption(const std::string& c) override {
        caption_ = c;
        if (onCaption) onCaption(c);
    }
    std::string mainCaption() const override { return caption_; }
    void pictureChanged() override {}
    void showPictureNow() override {}
    // The clock stands still unless a hook tells the time.
    float timer() override { return 0.0f; }
    void doEvents() override {
        if (onDoEvents) onDoEvents();
    }
    void beep() override {}
    void setBusyPointer(bool) override {}
    void endProgram() override {}
    std::string showSave(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string showOpen(const std::string&, const std::string&, const std::string&) override { return {}; }
    // The tools open no pictures.
    std::optional<Surface> loadPicture(const std::string&, int, int) override { return std::nullopt; }
    std::string programFolder() const override { return {}; }
    // Nothing is saved through a dialog here.
    bool folderWritable(const std::string&) const override { return false; }
    std::string picturesFolder() const override { return {}; }
    std::string homeFolder() const override { return {}; }
    bool makeFolder(const std::string&) override { return false; }
    std::optional<std::string> readShiftJisFile(const std::string&) override { return std::nullopt; }

    std::function<void()> onDoEvents;
    std::function<void(const std::string&)> onCaption;

private:
    std::string caption_;
};

// The settings dialog, every check box clear unless a caller sets one.
class HeadlessDialog : public SettingsPort {
public:
    bool keepsOldPicture() const override { return keepOld; }
    bool simpleTitles() const override { return false; }
    bool keepsZoom() const override { return keepZoom; }
    std::string magText() const override { return mag; }
    void setMagText(const std::string& text) override { mag = text; }
    std::string contourText() const override { return {}; }
    void selectMethodOption(int) override {}
    void setPointCaptions(const std::string&, const std::string&) override {}
    void hideDialog() override {}

    bool keepOld = false;   // the old picture stays under the next drawing
    bool keepZoom = false;  // the zoom stays after a drawing
    std::string mag = "1";
};

class NoWindow : public WindowPort {
public:
    void showPopupMenu(bool) override {}
    void hidePopupMenu() override {}
    void openSettings() override {}
    void openHelp() override {}
};

// The whole program without a display, for a first drawing: the picture
// surface at the window's size (the history's picture is made when a second
// drawing needs it).
struct HeadlessProgram {
    HeadlessPlatform platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p{platform, dialog, window};

    HeadlessProgram() { p.picture1.resize(2 * p.s.picW, 2 * p.s.picH); }
};

}  // namespace qel
