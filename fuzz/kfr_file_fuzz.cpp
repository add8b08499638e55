// Fuzzes the reader of Kalles Fraktaler location files. Whatever the bytes:
// reading never crashes and takes no more than the digits it allows; an
// accepted location is a view the window can draw (finite values, a
// positive magnification no deeper than the deepest, a whole iteration
// limit above 0); and the file written for it reads back as exactly that
// view and is written again unchanged.
#include <cmath>
#include <string>

#include "app/view_limits.h"
#include "app/view_texts.h"
#include "files/file_name.h"
#include "files/kfr_file.h"
#include "fuzz_support.h"

namespace {

using namespace qel;
using qel::fuzz::quoted;
using qel::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::textOf(data, size);
    const std::optional<KfrLocation> location = parseKfr(text);
    if (!location) return 0;
    const std::string about = quoted(text.substr(0, 300));
    require(location->re.size() <= size && location->im.size() <= size, "values come from the text", about);
    const Int16 method = static_cast<Int16>(size % 5);
    const std::optional<View> view = viewOfKfr(*location, method, 1.0f, 500);
    if (!view) return 0;
    require(view->isJulia == kNo && view->drawMethod == method, "a location is a Mandelbrot view drawn by the method", about);
    require(std::isfinite(view->centerX) && std::isfinite(view->centerY), "an accepted centre is finite", about);
    require(magnificationOf(*view) > 0, "an accepted magnification is positive", about);
    require(viewFault(viewValuesOf(*view)) == ViewFault::none, "an accepted view is one the window can draw", about);

    const std::string written = kfrTextOf(*view);
    const std::optional<KfrLocation> again = parseKfr(written);
    require(again.has_value(), "the file written for a view is read", quoted(written));
    const std::optional<View> back = viewOfKfr(*again, method, 1.0f, 500);
    require(back.has_value() && *back == *view, "the file written for a view reads back as the same view",
            about + " -> " + quoted(written));
    require(kfrTextOf(*back) == written, "the view read back writes the same file", quoted(written));
    return 0;
}
