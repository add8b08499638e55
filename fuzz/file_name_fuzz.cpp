// Fuzzes the reader of the view in a picture's file name. Whatever the name:
// decoding never crashes; an accepted name carries a usable view (finite
// values, a method 0..4, a positive magnification whose radius a double
// holds); the reader that writes the state record takes exactly the decoded
// views within the limits of a view and leaves the state alone on a refusal,
// as the tools' reader does; and the name the encoder writes
// for an accepted view reads back as that view, up to Str's 15 digits, and
// is written again unchanged.
#include <cfloat>
#include <cmath>
#include <string>

#include "app/number_text.h"
#include "app/view_texts.h"
#include "files/file_name.h"
#include "files/file_stand_ins.h"
#include "fuzz_support.h"

namespace {

using namespace qel;
using qel::fuzz::exactly;
using qel::fuzz::quoted;
using qel::fuzz::require;

void requireUsableView(const View& v, const std::string& name) {
    const std::string about = quoted(name);
    require(v.drawMethod >= 0 && v.drawMethod <= 4, "an accepted name has a method 0..4", about);
    require(std::isfinite(v.centerX) && std::isfinite(v.centerY), "an accepted centre is finite", about);
    require(std::isfinite(v.juliaRe) && std::isfinite(v.juliaIm), "an accepted Julia constant is finite", about);
    require(v.isJulia == kYes || (v.juliaRe == 0 && v.juliaIm == 0), "a Mandelbrot name has the constant 0, 0", about);
    require(std::isfinite(v.maxIter), "an accepted iteration limit is finite", about);
    require(std::isfinite(v.contourT), "an accepted contour interval is finite", about);
    const double magnification = magnificationOf(v);
    require(magnification > 0, "an accepted magnification is positive", about + " mag " + quoted(v.magText));
    AppState s;
    setStartValues(s);
    require(!v.deep.empty() || std::isnormal(s.initialRadius / magnification),
            "an accepted magnification gives a usable radius or a deep view", about + " mag " + quoted(v.magText));
}

// The state reader takes the openable names; a refused name changes nothing
// but the working text and the verdict.
void requireReaderAgrees(const std::optional<View>& view, const std::string& name) {
    AppState s;
    setStartValues(s);
    s.live.centerX = s.cur.centerX = 0.125;
    testing::FieldsDialog dialog;
    dialog.mag = "untouched";
    parseFileName(s, dialog, name);
    const std::string about = quoted(name);
    if (!view) {
        require(s.fileNameOk == 0, "a refused name gives fileNameOk 0", about);
        require(s.live.centerX == 0.125 && s.cur.centerX == 0.125 && s.live.maxIter == 500 && s.live.drawMethod == 0,
                "a refused name leaves the view alone", about);
        require(dialog.mag == "untouched", "a refused name leaves the magnification field alone", about);
        return;
    }
    require(s.fileNameOk == 1, "an accepted name gives fileNameOk 1", about);
    require(s.live.centerX == view->centerX && s.live.centerY == view->centerY && s.live.maxIter == view->maxIter &&
                s.live.drawMethod == view->drawMethod && s.live.contourT == view->contourT &&
                s.live.juliaRe == view->juliaRe && s.live.juliaIm == view->juliaIm && s.live.isJulia == view->isJulia &&
                s.live.deep == view->deep,
            "the state holds the decoded view", about);
    require(dialog.mag == view->magText && s.cur.magText == view->magText, "the magnification text is taken verbatim",
            about);

    AppState drawn;
    setStartValues(drawn);
    require(viewFromFileName(name, drawn), "an openable name can be drawn", about);
    require((std::isnormal(drawn.radius) && drawn.radius > 0) || !drawn.live.deep.empty(),
            "an opened view has a usable positive radius or is deep",
            about + " radius " + exactly(drawn.radius));
}

// The picture on the screen showing `v`, as the encoder sees it.
AppState screenShowing(const View& v) {
    AppState s;
    setStartValues(s);
    putView(s, v);
    return s;
}

// The name saved for `v`, with the dialog's fields as they would show it.
std::string savedName(const View& v) { return composeFileName(screenShowing(v), v.magText, numberText(v.contourT)); }

void requireSameNumber(double again, double first, const char* rule, const std::string& name) {
    require(fuzz::withinFifteenDigits(again, first), rule, quoted(name) + " " + exactly(first) + " -> " + exactly(again));
}

void requireSavedNameReadsBack(const View& first, const std::string& name) {
    const std::string saved = savedName(first);
    const std::optional<View> again = decodeFileName(saved);
    require(again.has_value(), "the saved name of an accepted view is accepted", quoted(name) + " -> " + quoted(saved));
    require(again->isJulia == first.isJulia && again->drawMethod == first.drawMethod, "the saved name keeps set and method",
            quoted(saved));
    require(magnificationOf(*again) == magnificationOf(first), "the saved name keeps the magnification",
            quoted(saved));
    requireSameNumber(again->centerX, first.centerX, "the saved name keeps the centre", saved);
    requireSameNumber(again->centerY, first.centerY, "the saved name keeps the centre", saved);
    requireSameNumber(again->juliaRe, first.juliaRe, "the saved name keeps the Julia constant", saved);
    requireSameNumber(again->juliaIm, first.juliaIm, "the saved name keeps the Julia constant", saved);
    requireSameNumber(again->maxIter, first.maxIter, "the saved name keeps the iteration limit", saved);
    require(fuzz::withinRounding(again->contourT, first.contourT, 7, FLT_EPSILON, FLT_TRUE_MIN),
            "the saved name keeps the contour interval", quoted(saved));
    require(savedName(*again) == saved, "saving the read-back view writes the same name",
            quoted(saved) + " -> " + quoted(savedName(*again)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name = fuzz::textOf(data, size);
    const std::optional<View> view = decodeFileName(name);
    requireReaderAgrees(openableView(name), name);
    if (view) {
        requireUsableView(*view, name);
        requireSavedNameReadsBack(*view, name);
    }
    return 0;
}
