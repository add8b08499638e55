// Stand-ins for the settings dialog and the main window, a temporary folder
// and test pictures, for the tests of the file commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

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
    void selectMethodOption(int) override {}
    void setPointCaptions(const std::string&, const std::string&) override {}
    void hideDialog() override {}

    std::string mag = "1";
    std::string contour = "1";
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
        path_ = std::filesystem::temp_directory_path() / ("qel-files-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }

    // The folder with a trailing separator, as the program folder is kept.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    auto entries() const { return std::distance(std::filesystem::directory_iterator(path_), {}); }

private:
    std::filesystem::path path_;
};

// A picture in which every pixel differs from its neighbours; another seed
// gives another picture.
inline Surface pattern(int w, int h, int seed = 0) {
    Surface s(w, h);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) s.setPixel(u, v, rgb((u * 7 + seed) % 256, (v * 13 + seed) % 256, (u + v) % 256));
    return s;
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& b) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace qel::testing
