// Opening a picture file through Qt's image reader, with the program's own
// rules around it: bitmap files only, a bounded allocation, a file that
// ends before its picture does counts as unreadable, and the picture lands
// at the top-left corner of a black buffer of the wanted size.
#pragma once

#include <optional>
#include <string>

#include "render/surface.h"

namespace qel {

// The most memory the reader may take for one decoded picture. Qt counts at
// least four bytes a pixel: about 52 million pixels.
constexpr int kPictureMemoryLimitMB = 200;

// The bitmap at `path` in a width x height picture: its top-left part,
// clipped at the right and bottom, and black where it does not reach.
// Nothing when the file is missing or a folder, no bitmap, of a kind Qt's
// reader does not read, larger than the memory limit, or shorter than its
// picture. Read: every bitmap Qt reads (1-, 4-, 8-, 16-, 24- and 32-bit,
// run-length encoded 4- and 8-bit, colour masks, OS/2 and Windows headers,
// rows from the bottom or the top). Colours are taken as they are written,
// whatever the transparency; the pixels a run-length picture skips keep
// the first colour of its table.
std::optional<Surface> readPictureFile(const std::string& path, int width, int height);

}  // namespace qel
