// Late binding of the ports: the program record is made before the windows
// that implement its ports, since those windows work on the record. A link
// forwards to its window once the window exists.
#pragma once

#include "app/program.h"

namespace qel {

class SettingsLink : public SettingsPort {
public:
    void bind(SettingsPort* target) { t_ = target; }
    bool keepsOldPicture() const override { return t_->keepsOldPicture(); }
    bool simpleTitles() const override { return t_->simpleTitles(); }
    bool keepsZoom() const override { return t_->keepsZoom(); }
    std::string magText() const override { return t_->magText(); }
    void setMagText(const std::string& text) override { t_->setMagText(text); }
    std::string contourText() const override { return t_->contourText(); }
    void selectMethodOption(int method) override { t_->selectMethodOption(method); }
    void setPointCaptions(const std::string& a, const std::string& b) override { t_->setPointCaptions(a, b); }
    void hideDialog() override { t_->hideDialog(); }

private:
    SettingsPort* t_ = nullptr;
};

class WindowLink : public WindowPort {
public:
    void bind(WindowPort* target) { t_ = target; }
    void showPopupMenu(bool previousEnabled, bool minibrotEnabled) override {
        t_->showPopupMenu(previousEnabled, minibrotEnabled);
    }
    void hidePopupMenu() override { t_->hidePopupMenu(); }
    void openSettings() override { t_->openSettings(); }
    void openHelp() override { t_->openHelp(); }

private:
    WindowPort* t_ = nullptr;
};

}  // namespace qel
