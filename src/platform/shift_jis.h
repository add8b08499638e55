// Conversion of Shift-JIS (code page 932) bytes into UTF-8 text.
#pragma once

#include <optional>
#include <string>

namespace qel {

// Nothing when the bytes are not valid Shift-JIS.
std::optional<std::string> shiftJisToUtf8(const std::string& bytes);
std::optional<std::string> utf8ToShiftJis(const std::string& text);

// Reads a whole file and converts it from Shift-JIS, a byte that starts no
// valid character shown as U+FFFD; nothing when the file cannot be opened
// or read (a folder, a missing file).
std::optional<std::string> readShiftJisFile(const std::string& path);

}  // namespace qel
