#include "platform/test_platform.h"

namespace qel {

std::optional<std::string> TestPlatform::readShiftJisFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

}  // namespace qel
