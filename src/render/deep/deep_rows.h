// The rows of a deep drawing on every processor. A drawing starts with its
// reference orbit, computed on one worker; then the workers compute rows
// top row first, a bounded number ahead of the row the caller waits for,
// while the caller takes them in scan order and may let its window events
// run while it waits. A stop reaches a row being computed within a few
// thousand steps of any of its points.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "render/deep/perturbation.h"

namespace qel {

class DeepRowEngine {
public:
    // threads <= 0: one per processor.
    explicit DeepRowEngine(int threads = 0);
    ~DeepRowEngine();
    DeepRowEngine(const DeepRowEngine&) = delete;
    DeepRowEngine& operator=(const DeepRowEngine&) = delete;

    // Gives up any drawing still running and starts this one.
    void startDrawing(const DeepView& view, const DeepGrid& grid, DeepSkipping skipping = {});
    // The orbits of row `row` (0 = top, pixel offset y = grid.halfH - row),
    // asked for in scan order. While it waits it runs `keepAlive` every
    // 10 ms; when that returns false the drawing is given up and so is the
    // row (false, `out` not written).
    bool awaitRow(int row, std::vector<OrbitResult>& out, const std::function<bool()>& keepAlive);
    // Stops the drawing's work and waits until no worker computes any more.
    void endDrawing();

    int threads() const { return threads_; }
    // The drawing's reference once it is computed, else nullptr.
    std::shared_ptr<const DeepReference> reference() const;
    // What the points of the drawing's computed rows took so far.
    DeepPointStats stats() const;

private:
    struct Slot {
        int row = -1;  // the row whose orbits are here, -1: none ready
        std::vector<OrbitResult> orbits;
    };

    void work(int id, const std::shared_ptr<const DeepView>& view);
    bool computeRow(int row, std::vector<OrbitResult>& out, DeepPointStats& stats);

    const int threads_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;  // a row is ready, a row may be taken, the reference is there, or stop
    std::atomic<bool> stop_{false};
    DeepGrid grid_;
    DeepSkipping skipping_;
    std::shared_ptr<const DeepReference> reference_;
    bool failed_ = false;  // the reference was given up
    int nextRow_ = 0;      // the next row a worker takes
    int taken_ = 0;        // rows the caller has taken
    DeepPointStats stats_;
    std::vector<Slot> slots_;  // row r lives in slot r mod size
    std::vector<std::thread> workers_;
};

}  // namespace qel
