// Where the manual readme.txt lies: beside the program, as in its build
// folder, or where an install puts it, share/qel beside the program's bin/.
// Plain C++.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qel {

inline const std::string kManualFileName = "readme.txt";

// The folders to look in, in this order, for a program folder `appPath`
// that ends in a separator; each ends in a separator too.
std::vector<std::string> manualFolders(const std::string& appPath);

// The first manual on the disk in those folders, as a plain path (no "..");
// nullopt when there is none.
std::optional<std::string> findManual(const std::string& appPath);

}  // namespace qel
