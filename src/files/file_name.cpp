#include "files/file_name.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <initializer_list>

#include "app/number_text.h"
#include "app/view_limits.h"

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

std::string numberField(double v) { return withBothZeros(trimBlanks(strDouble(v))); }

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

// The value read from the characters after the 1-based position `pos`.
double valueAfter(const std::string& text, std::size_t pos) { return valueOfText(std::string_view(text).substr(pos)); }

// A magnification that reads as nothing positive would make a radius of
// infinity or below zero, and one below about 1E-308 or above about 1E+308
// a radius beyond the range of a double or too fine for one; such a name
// carries no usable view.
bool givesUsableRadius(double magnification) {
    return magnification > 0 && std::isnormal(AppState{}.initialRadius / magnification);
}

// The destinations of a name's view in the state record, without the dialog.
void applyFileView(AppState& s, const FileView& v) {
    Flag set = v.julia ? kYes : kNo;
    s.isJulia = s.juliaStarted = s.curIsJulia = set;
    s.curMagText = v.magText;
    s.centerX = s.curCenterX = v.centerX;
    s.centerY = s.curCenterY = v.centerY;
    s.maxIter = v.maxIter;
    Int16 method = static_cast<Int16>(v.method);
    s.drawMethod = s.shownQuad = s.curMethod = s.shownMethod = method;
    s.juliaRe = s.curJuliaRe = v.juliaRe;
    s.juliaIm = s.curJuliaIm = v.juliaIm;
    s.contourT = s.curContourT = v.contourT;
    s.curJuliaStarted = kNo;
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
    const bool julia = s.curIsJulia != 0;
    std::string body = s.curIsJulia == kYes ? "J" : "M";
    body += trimBlanks(strDouble(s.shownMethod));
    body += "s" + withZeroBeforePoint(trimBlanks(magText));
    body += "x" + numberField(s.curCenterX);
    body += "y" + numberField(s.curCenterY);
    if (julia) {
        body += "z" + numberField(s.curJuliaRe);
        body += "w" + numberField(s.curJuliaIm);
    }
    body += "k" + trimBlanks(strDouble(s.curMaxIter));
    body += "t" + withBothZeros(trimBlanks(contourText));
    const int points = julia ? kJuliaPoints : kMandelbrotPoints;
    for (int i = 0; i < points; ++i) body = pointToP(body);
    return body + kExtension;
}

void makeFileName(AppState& s, const SettingsPort& dialog) {
    s.fileName = composeFileName(s, dialog.magText(), dialog.contourText());
}

std::optional<FileView> decodeFileName(const std::string& name) {
    std::string text = pToPoint(name);
    // The extension, whatever it is, goes unread.
    text.resize(text.size() > kExtension.size() ? text.size() - kExtension.size() : 0);

    const std::size_t m = lastPosition(text, 'M'), j = lastPosition(text, 'J');
    const std::size_t s = lastPosition(text, 's'), k = lastPosition(text, 'k');
    const std::size_t x = lastPosition(text, 'x'), y = lastPosition(text, 'y');
    const std::size_t z = lastPosition(text, 'z'), w = lastPosition(text, 'w');
    const std::size_t t = lastPosition(text, 't');
    if (m == 0 && j == 0) return std::nullopt;

    FileView v;
    v.julia = !(m > j);
    const std::size_t setPos = v.julia ? j : m;
    const bool ordered = v.julia ? inOrder({j, s, x, y, z, w, k, t}) : inOrder({m, s, x, y, k, t});
    if (!ordered) return std::nullopt;

    const double method = valueAfter(text, setPos);
    if (!isDrawingMethod(method)) return std::nullopt;
    v.method = static_cast<int>(method);

    v.magText = text.substr(s, x - s - 1);
    if (!givesUsableRadius(valueOfText(v.magText))) return std::nullopt;

    v.centerX = valueAfter(text, x);
    v.centerY = valueAfter(text, y);
    if (v.julia) {
        v.juliaRe = valueAfter(text, z);
        v.juliaIm = valueAfter(text, w);
    }
    v.maxIter = valueAfter(text, k);
    // The contour interval is kept in a 32-bit float; a value beyond its
    // range would become an infinity there.
    const double contour = valueAfter(text, t);
    if (std::fabs(contour) > FLT_MAX) return std::nullopt;
    v.contourT = static_cast<float>(contour);
    return v;
}

ViewValues viewValuesOf(const FileView& v) {
    return {.julia = v.julia,
            .method = static_cast<double>(v.method),
            .magnification = valueOfText(v.magText),
            .centerX = v.centerX,
            .centerY = v.centerY,
            .juliaRe = v.juliaRe,
            .juliaIm = v.juliaIm,
            .maxIter = v.maxIter,
            .contourT = v.contourT};
}

std::optional<FileView> openableView(const std::string& name) {
    std::optional<FileView> view = decodeFileName(name);
    if (view && viewFault(viewValuesOf(*view)) != ViewFault::none) return std::nullopt;
    return view;
}

void parseFileName(AppState& s, SettingsPort& dialog, const std::string& name) {
    s.fileName = pToPoint(name);
    std::optional<FileView> view = openableView(name);
    if (!view) {
        s.fileNameOk = 0;
        return;
    }
    s.fileNameOk = 1;
    applyFileView(s, *view);
    dialog.setMagText(view->magText);
}

bool viewFromFileName(const std::string& name, AppState& s) {
    std::optional<FileView> view = openableView(name);
    if (!view) return false;
    applyFileView(s, *view);
    s.juliaStarted = s.isJulia;
    s.radius = s.initialRadius / valueOfText(view->magText);
    s.curJuliaStarted = s.juliaStarted;
    s.curMaxIter = s.maxIter;
    return true;
}

}  // namespace qel
