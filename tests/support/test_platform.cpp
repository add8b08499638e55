#include "support/test_platform.h"

#include <filesystem>

#include "platform/qt_picture_file.h"

namespace qel {

std::optional<Surface> TestPlatform::loadPicture(const std::string& path, int width, int height) {
    return readPictureFile(path, width, height);
}

bool TestPlatform::makeFolder(const std::string& f) {
    madeFolders.push_back(f);
    std::error_code ec;
    std::filesystem::create_directories(f, ec);
    return std::filesystem::is_directory(f, ec);
}

std::optional<std::string> TestPlatform::readShiftJisFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

}  // namespace qel
