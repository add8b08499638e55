// The deep engines behind the render loop's row interface: the rows of a
// deep view, each point's orbit coloured by exactly the rules of any other
// drawing, so the loop that writes, yields and stops is the same for all.
#pragma once

#include <functional>
#include <vector>

#include "render/deep/deep_rows.h"
#include "render/row_engine.h"

namespace qel {

// The deep view a drawing iterates, for the drawing's setup (whose doubles
// are only its approximation; its half width sets the pixel size).
using DeepViewFor = std::function<DeepView(const DrawingSetup&)>;

// The fast deep engine: perturbation on every processor.
class DeepColourRows : public RowEngine {
public:
    // threads <= 0: one per processor.
    explicit DeepColourRows(DeepViewFor viewFor, int threads = 0, DeepSkipping skipping = {});

    void startDrawing(const DrawingSetup& setup) override;
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override;
    bool awaitRow(const DrawingSetup& setup, int y, RowColours& out, const KeepAlive& keepAlive) override;
    void endDrawing() override;

    const DeepRowEngine& engine() const { return engine_; }

private:
    DeepViewFor viewFor_;
    DeepSkipping skipping_;
    DeepRowEngine engine_;
    EscapeCountColours byCount_;
    std::vector<OrbitResult> orbits_;
};

// The slow standard: every point iterated directly in MPFR at the view's
// precision, one after another on the caller's thread.
class MpfrColourRows : public RowEngine {
public:
    explicit MpfrColourRows(DeepViewFor viewFor);

    void startDrawing(const DrawingSetup& setup) override;
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override;

private:
    DeepViewFor viewFor_;
    DeepView view_;
    long precision_ = 64;
};

}  // namespace qel
