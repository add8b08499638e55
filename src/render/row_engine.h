// The computation of one row of a drawing, behind one interface: the render
// loop asks an engine for the four colours of every point of a row and
// writes them. The reference engine computes point by point, left to right,
// with one orbit ring that survives from point to point; any faster engine
// must give exactly its colours.
#pragma once

#include <functional>
#include <vector>

#include "render/colouring.h"
#include "render/orbit.h"

namespace qel {

// Everything a row needs, fixed before the first row of a drawing.
struct DrawingSetup {
    OrbitParams orbit;
    ColourConstants colours;
    int halfW = 200;
    int halfH = 150;
    int xStep = 1;  // 1, or 10 for the coarse preview
    // The colours wanted: kSplitScreen all four of every point (what the
    // window's surface holds); a method of one quadrant lets an engine make
    // only that quadrant's colour, for a picture that shows nothing else.
    int colourings = kSplitScreen;
    // Which picture of a sequence (a film's frames) the rows belong to.
    int picture = 0;

    // Points computed per row: x = -halfW, -halfW + xStep, ... < halfW.
    int pointsPerRow() const { return (2 * halfW + xStep - 1) / xStep; }
    int xOf(int k) const { return -halfW + k * xStep; }
    bool operator==(const DrawingSetup&) const = default;
};

// The colours of one row, point k at x = setup.xOf(k).
using RowColours = std::vector<PointColours>;

// Lets queued window events run while the loop waits for a row; returns
// false when the drawing is to stop.
using KeepAlive = std::function<bool()>;

class RowEngine {
public:
    virtual ~RowEngine() = default;
    // Called once before the first row of every drawing.
    virtual void startDrawing(const DrawingSetup& setup) = 0;
    // Fills `out` (already sized to setup.pointsPerRow()) for row y.
    virtual void computeRow(const DrawingSetup& setup, int y, RowColours& out) = 0;
    // Row y as computeRow gives it, for an engine that computes rows
    // elsewhere while the loop waits: it runs `keepAlive` at least every
    // 20 ms of waiting, and gives the row up (returns false, `out` not
    // written) once that asks to stop. Rows are asked for top row first.
    virtual bool awaitRow(const DrawingSetup& setup, int y, RowColours& out, const KeepAlive& keepAlive) {
        (void)keepAlive;
        computeRow(setup, y, out);
        return true;
    }
    // Called once after the last row, or after a stop: nothing more of this
    // drawing is wanted.
    virtual void endDrawing() {}
    // The drawing that follows the running one (a film's next frame): an
    // engine may compute its first rows while the loop takes the running
    // one's last, and uses them once startDrawing is given this setup.
    virtual void queueDrawing(const DrawingSetup& next) { (void)next; }
};

class ReferenceRowEngine : public RowEngine {
public:
    void startDrawing(const DrawingSetup& setup) override;
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override;

private:
    OrbitRing ring_;
};

// Writes a computed row into the four quadrants of the surface.
void writeRow(Surface& picture, const DrawingSetup& setup, int y, const RowColours& row);

// Writes rows as writeRow does, pixel for pixel, with the pixel columns of a
// row's points (and of their right-hand copies) worked out once for every
// row of a drawing, while the surface's size and scale stay as they were.
class RowWriter {
public:
    void write(Surface& picture, const DrawingSetup& setup, int y, const RowColours& row);

private:
    struct Key {
        Surface::Scale scale{};
        int width = -1, height = -1, halfW = 0, halfH = 0, xStep = 0;
        bool operator==(const Key&) const = default;
    };
    Key key_;
    std::vector<int> columns_;  // per point its left and its right column, -1 outside the surface
    int firstColumn_ = 0, endColumn_ = 0;  // the columns written lie in first..end-1
};

}  // namespace qel
