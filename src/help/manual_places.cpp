#include "help/manual_places.h"

#include <filesystem>
#include <system_error>

namespace qel {

// QEL_MANUAL_FROM_PROGRAM, the install's manual folder seen from its program
// folder ("../share/qel/"), comes from the build, which installs both.
std::vector<std::string> manualFolders(const std::string& appPath) {
    return {appPath, appPath + QEL_MANUAL_FROM_PROGRAM};
}

std::optional<std::string> findManual(const std::string& appPath) {
    for (const std::string& folder : manualFolders(appPath)) {
        const std::filesystem::path manual = std::filesystem::path(folder + kManualFileName).lexically_normal();
        std::error_code error;
        if (std::filesystem::is_regular_file(manual, error)) return manual.string();
    }
    return std::nullopt;
}

}  // namespace qel
