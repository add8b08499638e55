#include "support/test_platform.h"

#include "platform/qt_picture_file.h"

namespace qel {

std::optional<Surface> TestPlatform::loadPicture(const std::string& path, int width, int height) {
    return readPictureFile(path, width, height);
}

std::optional<std::string> TestPlatform::readShiftJisFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

}  // namespace qel
