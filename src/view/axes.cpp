#include "view/axes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/deep_place.h"

namespace qel {
namespace {

constexpr double kTickHalfLength = 8.0;

// Where the axes of the plane fall on the top-left picture.
struct AxisFrame {
    double halfW, halfH;
    double radius, halfHeight;  // plane half-width and half-height
    double cx, cy;              // plane centre of the pictures on the screen
    double axisX, axisY;        // surface x of the imaginary axis, y of the real axis
    double pixel;               // plane units per pixel
    // A deep picture spans less than a double tells apart: at most one whole
    // number per axis falls on it, at these offsets in pixels from the
    // centre (NaN: none but 0, or none in view).
    bool deep;
    double realTick, imaginaryTick;
};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Pixels from the centre coordinate `c` to the whole number nearest it,
// when that is not 0.
double tickOffset(const BigReal& c, ExtFloat pixel) {
    const BigReal k = nearestWhole(c);
    if (mpfr_zero_p(k.get())) return kNone;
    return unitsBetween(c, k, pixel);
}

// The axes of a deep picture: where 0 and the nearest whole numbers lie, in
// pixels from the centre, at the centre's precision.
void placeDeepAxes(const AppState& s, AxisFrame& f) {
    const ExtFloat pixel = shownPixelSize(s);
    const BigReal cx = shownCentre(s, false), cy = shownCentre(s, true);
    const BigReal zero(0.0, 64);
    f.deep = true;
    f.axisX = unitsBetween(cx, zero, pixel);
    f.axisY = unitsBetween(cy, zero, pixel);
    f.realTick = tickOffset(cx, pixel);
    f.imaginaryTick = tickOffset(cy, pixel);
}

AxisFrame axisFrameOf(const AppState& s) {
    AxisFrame f{};
    f.halfW = s.halfW;
    f.halfH = s.halfH;
    f.radius = s.radius;
    f.halfHeight = s.radius * 3 / 4;
    // A Julia set whose constant was not yet fixed is drawn around 0, 0.
    bool constantPicked = s.cur.isJulia == kYes && s.cur.juliaStarted == kNo;
    f.cx = constantPicked ? 0.0 : s.cur.centerX;
    f.cy = constantPicked ? 0.0 : s.cur.centerY;
    f.axisX = -f.cx * f.halfW / f.radius;
    f.axisY = -f.cy * f.halfH / f.halfHeight;
    f.pixel = s.radius / s.halfW;
    f.deep = false;
    f.realTick = f.imaginaryTick = kNone;
    if (!constantPicked && isDeep(s.cur)) placeDeepAxes(s, f);
    return f;
}

// Line positions go to the surface as 32-bit floats.
void lineOf(Surface& surface, double x1, double y1, double x2, double y2) {
    auto f = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    surface.line(f(x1), f(y1), f(x2), f(y2));
}

// Calls mark(k) for every whole number k from ceil(low) to floor(high)
// except 0. More whole numbers than pixels across a picture means a radius
// the screen does not show (a zoom-out the drawing request refused); then
// there is nothing sensible to mark and no tick is drawn.
template <typename Mark>
void forEachUnit(double low, double high, double pixelsAcross, Mark mark) {
    double first = std::ceil(low), last = std::floor(high);
    if (!(last - first <= pixelsAcross)) return;
    for (double k = first; k <= last; k += 1.0)
        if (k != 0.0) mark(k);
}

void drawRealAxis(Surface& surface, const AxisFrame& f) {
    if (!(-f.halfH <= f.axisY && f.axisY <= f.halfH)) return;
    double top = std::min(f.axisY + kTickHalfLength, f.halfH);
    double bottom = std::max(f.axisY - kTickHalfLength, 1 - f.halfH);
    for (int i = 0; i <= 1; ++i) {
        for (int j = 0; j <= 1; ++j) {
            double dx = 2 * f.halfW * i, dy = -2 * f.halfH * j;
            lineOf(surface, -f.halfW + dx, f.axisY + dy, f.halfW - 1 + dx, f.axisY + dy);
            if (f.deep) {
                if (-f.halfW <= f.realTick && f.realTick <= f.halfW - 1)
                    lineOf(surface, f.realTick + dx, top + dy, f.realTick + dx, bottom + dy);
                continue;
            }
            if (!(std::floor(f.cx - f.radius) < std::floor(f.cx + f.radius - f.pixel))) continue;
            forEachUnit(f.cx - f.radius, f.cx + f.radius - f.pixel, 2 * f.halfW, [&](double k) {
                double x = (k - f.cx) * f.halfW / f.radius + dx;
                lineOf(surface, x, top + dy, x, bottom + dy);
            });
        }
    }
}

void drawImaginaryAxis(Surface& surface, const AxisFrame& f) {
    if (!(-f.halfW <= f.axisX && f.axisX <= f.halfW)) return;
    double right = std::min(f.axisX + kTickHalfLength, f.halfW - 1);
    double left = std::max(f.axisX - kTickHalfLength, -f.halfW);
    // Here i picks the row of pictures and j the column.
    for (int i = 0; i <= 1; ++i) {
        for (int j = 0; j <= 1; ++j) {
            lineOf(surface, f.axisX + 2 * f.halfW * i, f.halfH - 2 * f.halfH * j, f.axisX + 2 * f.halfW * i,
                   1 - f.halfH - 2 * f.halfH * j);
            if (f.deep) {
                if (1 - f.halfH <= f.imaginaryTick && f.imaginaryTick <= f.halfH) {
                    double y = f.imaginaryTick - 2 * f.halfH * i;
                    lineOf(surface, right + 2 * f.halfW * j, y, left + 2 * f.halfW * j, y);
                }
                continue;
            }
            double low = f.cy - f.halfHeight + f.pixel, high = f.cy + f.halfHeight;
            if (!(std::floor(low) < std::floor(high))) continue;
            forEachUnit(low, high, 2 * f.halfH, [&](double k) {
                double y = (k - f.cy) * f.halfW / f.radius - 2 * f.halfH * i;
                lineOf(surface, right + 2 * f.halfW * j, y, left + 2 * f.halfW * j, y);
            });
        }
    }
}

}  // namespace

void mnuza_Click(Program& p) {
    AxisFrame frame = axisFrameOf(p.s);
    p.picture1.setDrawMode(DrawMode::Invert);
    drawRealAxis(p.picture1, frame);
    drawImaginaryAxis(p.picture1, frame);
    p.picture1.setDrawMode(DrawMode::CopyPen);
    p.platform.pictureChanged();
}

}  // namespace qel
