// The command line of qel: it reads nothing but a request for its version or
// its usage, which it prints instead of opening its window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qel {

// The version of qel and its tools, as the build sets it ("1.0.0").
const char* programVersion();

enum class CommandLineRequest { start, version, help };

// --version or --help (or -h) anywhere on the command line asks for that
// text; anything else starts the program as usual (Qt takes its own options).
CommandLineRequest readCommandLine(int argc, const char* const* argv);

// "qel 1.0.0", a line.
std::string versionText();

// What qel is, how it is used, and where its manual lies; without one, the
// folders where it was looked for.
std::string usageText(const std::optional<std::string>& manual, const std::vector<std::string>& searched);

}  // namespace qel
