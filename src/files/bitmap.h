// Windows bitmap files as the program writes them: uncompressed 24-bit
// BMPs. They are read back through the platform (Platform::loadPicture).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/surface.h"

namespace qel {

// The whole surface as the bytes of a 24-bit bottom-up bitmap file.
std::vector<std::uint8_t> encodeBitmap(const Surface& picture);

// Writes the whole surface to `path` as a 24-bit bitmap. The bytes go to a
// temporary file in the same folder, which replaces `path` only once it is
// completely written and flushed; on any failure the temporary is removed,
// `path` is left as it was and the result is false.
bool writeBitmapFile(const std::string& path, const Surface& picture);

}  // namespace qel
