// Stand-ins for the settings dialog and the main window, and a temporary
// folder, for the tests of the file commands.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "app/program.h"
#include "app/settings_port.h"

namespace qel::testing {

// The dialog's fields as plain texts.
class FieldsDialog : public SettingsPort {
public:
    bool keepsOldPicture() const override { return false; }
    bool simpleTitles() const override { return false; }
    bool keepsZoom() const override { return false; }
    std::string magText() const override { return mag; }
    void setMagText(const std::string& text) override { mag = text; }
    std::string contourText() const override { return contour; }
    void selectMethodOption(int method) override { selectedMethod = method; }
    void setPointCaptions(const std::string&, const std::string&) override {}
    void hideDialog() override {}

    std::string mag = "1";
    std::string contour = "1";
    int selectedMethod = -1;
};

class QuietWindow : public WindowPort {
public:
    void showPopupMenu(bool) override {}
    void hidePopupMenu() override {}
    void openSettings() override {}
    void openHelp() override {}
};

// A fresh folder under the system's temporary folder, removed at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("qel-files-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder with a trailing separator, as the program folder is kept.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // How many entries the folder holds.
    std::size_t entries() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_)) ++n;
        return n;
    }

private:
    std::filesystem::path path_;
};

}  // namespace qel::testing
