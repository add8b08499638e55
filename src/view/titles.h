// Window titles that the picture logic composes: the cursor read-out on a
// mouse move and the retitling of a restored or opened view.
#pragma once

#include "app/program.h"

namespace qel {

// Recomposes point label, view text, click hint and the title for a view
// that was restored (previous screen) or read from a file.
void retitle(Program& p);

}  // namespace qel
