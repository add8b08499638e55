#include "files/file_name.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <initializer_list>

#include "app/number_text.h"
#include "app/view_limits.h"
#include "app/view_texts.h"
#include "files/bitmap.h"
#include "render/deep/big_real.h"

namespace qel {
namespace {

const std::string kExtension = ".bmp";
constexpr int kMandelbrotPoints = 4;  // S, X, Y, T may carry a point
constexpr int kJuliaPoints = 6;       // and Z, W for a Julia name

// ".5" -> "0.5".
std::string withZeroBeforePoint(const std::string& text) { return text.rfind(".", 0) == 0 ? "0" + text : text; }

// ".5" -> "0.5" and "-.5" -> "-0.5".
std::string withBothZeros(const std::string& text) {
    if (text.rfind("-.", 0) == 0) return "-0" + text.substr(1);
    return withZeroBeforePoint(text);
}

std::string numberField(const std::string& strText) { return withBothZeros(trimBlanks(strText)); }

// 1-based position of the last occurrence of `letter`, 0 when absent.
std::size_t lastPosition(const std::string& text, char letter) {
    std::size_t at = text.rfind(letter);
    return at == std::string::npos ? 0 : at + 1;
}

// True when every position is greater than the one before it (and the
// first is not 0, so no tag is missing).
bool inOrder(std::initializer_list<std::size_t> positions) {
    std::size_t before = 0;
    for (std::size_t p : positions) {
        if (p <= before) return false;
        before = p;
    }
    return true;
}

// The text of the number after the 1-based position `pos`, to the end.
std::string textAfter(const std::string& text, std::size_t pos) { return text.substr(pos); }

// The value read from the characters after the 1-based position `pos`.
double valueAfter(const std::string& text, std::size_t pos) { return valueOfText(std::string_view(text).substr(pos)); }

// A number beyond the range of a double is no 0: a name holding one
// carries no view.
bool overflowsAfter(const std::string& text, std::size_t pos) {
    return numberOverflows(std::string_view(text).substr(pos));
}

// The destinations of a name's view in the state record, without the
// dialog: the view, but the cur layer keeps its maxIter (the open flow's
// history step copies it) and its single-picture flag, and its Julia
// constant is not yet fixed.
void applyFileView(AppState& s, const View& v) {
    const View before = s.cur;
    putView(s, v);
    s.cur.maxIter = before.maxIter;
    s.cur.singleImage = before.singleImage;
    s.cur.juliaStarted = kNo;
}

// The name of a view: the cur layer's set, its place in texts, the shown
// method and the field texts.
std::string nameOf(const AppState& s, const ViewTexts& place, const std::string& magText,
                   const std::string& contourText) {
    const bool julia = s.cur.isJulia != 0;
    std::string body = s.cur.isJulia == kYes ? "J" : "M";
    body += trimBlanks(strDouble(s.shownMethod));
    body += "s" + withZeroBeforePoint(trimBlanks(magText));
    body += "x" + numberField(place.centerX);
    body += "y" + numberField(place.centerY);
    if (julia) {
        body += "z" + numberField(place.juliaRe);
        body += "w" + numberField(place.juliaIm);
    }
    body += "k" + trimBlanks(strDouble(s.cur.maxIter));
    body += "t" + withBothZeros(trimBlanks(contourText));
    const int points = julia ? kJuliaPoints : kMandelbrotPoints;
    for (int i = 0; i < points; ++i) body = pointToP(body);
    return body + kExtension;
}

// The magnification a name carries: a deep view's own text.
std::string magTextOf(const View& cur, const std::string& magText) {
    return cur.deep.empty() ? magText : cur.deep.magnification;
}

// The place with its coordinates rounded to `digits` significant digits.
ViewTexts roundedTo(ViewTexts place, int digits) {
    for (std::string* text : {&place.centerX, &place.centerY, &place.juliaRe, &place.juliaIm})
        *text = BigReal::fromText(*text, 64).str(digits);
    return place;
}

}  // namespace

std::string pointToP(const std::string& text) {
    std::string out = text;
    std::size_t at = out.find('.');
    if (at != std::string::npos) out[at] = 'p';
    return out;
}

std::string pToPoint(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == 'p') c = '.';
    return out;
}

std::string composeFileName(const AppState& s, const std::string& magText, const std::string& contourText) {
    return nameOf(s, textsOfPlace(s.cur), magTextOf(s.cur, magText), contourText);
}

SavedName savedNameOf(const AppState& s, const std::string& magText, const std::string& contourText) {
    SavedName saved{composeFileName(s, magText, contourText), ""};
    if (saved.name.size() <= kLongestFileName) return saved;
    // Only a deep view's digits make a name this long; fewer of them fit.
    const ViewTexts place = textsOfPlace(s.cur);
    const int coordinates = s.cur.isJulia != 0 ? 4 : 2;
    int digits = static_cast<int>(place.centerX.size());
    std::string shortened = saved.name;
    while (shortened.size() > kShortenedFileName && digits > 1) {
        const auto excess = static_cast<int>(shortened.size() - kShortenedFileName);
        digits = std::max(1, digits - std::max(1, (excess + coordinates - 1) / coordinates));
        shortened = nameOf(s, roundedTo(place, digits), magTextOf(s.cur, magText), contourText);
    }
    saved.wholeName = std::move(saved.name);
    saved.name = std::move(shortened);
    return saved;
}

void makeFileName(AppState& s, const SettingsPort& dialog) {
    s.fileName = savedNameOf(s, dialog.magText(), dialog.contourText()).name;
}

std::optional<View> decodeFileName(const std::string& name) {
    std::string text = pToPoint(name);
    // The extension, whatever it is, goes unread.
    text.resize(text.size() > kExtension.size() ? text.size() - kExtension.size() : 0);

    const std::size_t m = lastPosition(text, 'M'), j = lastPosition(text, 'J');
    const std::size_t s = lastPosition(text, 's'), k = lastPosition(text, 'k');
    const std::size_t x = lastPosition(text, 'x'), y = lastPosition(text, 'y');
    const std::size_t z = lastPosition(text, 'z'), w = lastPosition(text, 'w');
    const std::size_t t = lastPosition(text, 't');
    if (m == 0 && j == 0) return std::nullopt;

    const bool julia = !(m > j);
    const std::size_t setPos = julia ? j : m;
    const bool ordered = julia ? inOrder({j, s, x, y, z, w, k, t}) : inOrder({m, s, x, y, k, t});
    if (!ordered) return std::nullopt;

    for (std::size_t at : {setPos, k, t})
        if (overflowsAfter(text, at)) return std::nullopt;

    const double method = valueAfter(text, setPos);
    if (!isDrawingMethod(method)) return std::nullopt;

    View v;
    v.isJulia = v.juliaStarted = julia ? kYes : kNo;
    v.drawMethod = static_cast<Int16>(method);
    ViewTexts place{text.substr(s, x - s - 1), textAfter(text, x), textAfter(text, y), "0", "0"};
    if (julia) {
        place.juliaRe = textAfter(text, z);
        place.juliaIm = textAfter(text, w);
    }
    if (!placeFromTexts(v, place)) return std::nullopt;
    v.maxIter = valueAfter(text, k);
    // The contour interval is kept in a 32-bit float; a value beyond its
    // range would become an infinity there.
    const double contour = valueAfter(text, t);
    if (std::fabs(contour) > FLT_MAX) return std::nullopt;
    v.contourT = static_cast<float>(contour);
    return v;
}

ViewValues viewValuesOf(const View& v) {
    return {.julia = v.isJulia != 0,
            .method = static_cast<double>(v.drawMethod),
            .magnification = magnificationOf(v),
            .centerX = v.centerX,
            .centerY = v.centerY,
            .juliaRe = v.juliaRe,
            .juliaIm = v.juliaIm,
            .maxIter = v.maxIter,
            .contourT = v.contourT,
            .deep = !v.deep.empty()};
}

std::optional<View> openableView(const std::string& name) {
    std::optional<View> view = decodeFileName(name);
    if (view && viewFault(viewValuesOf(*view)) != ViewFault::none) return std::nullopt;
    return view;
}

std::string viewNameOfFile(const std::string& path) {
    const std::optional<BitmapViewNote> note = viewNoteOfBitmap(path);
    const bool stillSoNamed = note && path.size() >= note->name.size() &&
                              path.compare(path.size() - note->name.size(), note->name.size(), note->name) == 0;
    return stillSoNamed ? note->wholeName : path;
}

void parseFileName(AppState& s, SettingsPort& dialog, const std::string& name) {
    s.fileName = pToPoint(name);
    std::optional<View> view = openableView(name);
    if (!view) {
        s.fileNameOk = 0;
        return;
    }
    s.fileNameOk = 1;
    applyFileView(s, *view);
    dialog.setMagText(view->magText);
}

bool viewFromFileName(const std::string& name, AppState& s) {
    std::optional<View> view = openableView(name);
    if (!view) return false;
    putView(s, *view);
    return true;
}

}  // namespace qel
