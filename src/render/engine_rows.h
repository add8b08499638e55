// The fast row engine: worker threads compute rows ahead of the render loop
// with the exact vector kernel, while the user-interface thread takes them
// in scan order, top row first, and writes them. Gives exactly the colours
// of the reference engine.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "render/engine_kernel.h"
#include "render/row_engine.h"

namespace qel {

class FastRowEngine : public RowEngine {
public:
    // threads <= 0: one per processor.
    explicit FastRowEngine(int threads = 0, InstructionSet isa = bestInstructionSet());
    ~FastRowEngine() override;
    FastRowEngine(const FastRowEngine&) = delete;
    FastRowEngine& operator=(const FastRowEngine&) = delete;

    void startDrawing(const DrawingSetup& setup) override;
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override;
    bool awaitRow(const DrawingSetup& setup, int y, RowColours& out, const KeepAlive& keepAlive) override;
    void endDrawing() override;
    // Once every row of the running drawing is under way the workers go on
    // into the queued one's, in the same ring. Only one drawing waits at a
    // time, and only one whose rows are as long as the running one's.
    void queueDrawing(const DrawingSetup& next) override;

    int threads() const { return static_cast<int>(workers_.size()); }
    InstructionSet instructionSet() const { return isa_; }
    // Rows that may be computed ahead of the one the loop waits for (for
    // the drawing started last; fewer for longer rows).
    int rowsAhead() const { return static_cast<int>(slots_.size()); }

private:
    struct Slot {
        int row = -1;  // the row whose colours are here, -1: none ready
        RowColours colours;
    };

    void work(std::size_t id);
    bool rowWanted() const;
    bool rowsReadyFrom(int r) const;
    void abandonRows(std::unique_lock<std::mutex>& lock);

    int endOfRows() const { return first_ + rows_ + (queued_ ? queuedRows_ : 0); }

    const InstructionSet isa_;
    std::mutex mutex_;
    std::condition_variable workWaiting_;  // a row may be taken, or quit
    std::condition_variable rowDone_;      // the awaited rows are ready, or the drawing was given up
    std::atomic<bool> cancel_{false};      // read inside long orbits
    bool quit_ = false;
    bool drawing_ = false;
    // The running drawing's setup and colours, and the queued one's: each
    // fixed while rows of it are computed.
    DrawingSetup setups_[2];
    EscapeCountColours countColours_[2];
    int current_ = 0;  // which of the two is running
    bool queued_ = false;
    // Rows are counted on from drawing to drawing while drawings follow a
    // queue: the running drawing's top row is row first_, the queued one's
    // first_ + rows_.
    int first_ = 0;
    int rows_ = 0;        // rows of the running drawing
    int queuedRows_ = 0;  // rows of the queued one
    int nextRow_ = 0;     // the next row a worker takes
    int taken_ = 0;       // the next row the loop takes
    int computing_ = 0;   // runs of rows being computed right now
    int drawingNumber_ = 0;  // counts the drawings started
    int awaited_ = -1;   // the row the loop waits for, -1: none
    int rowsPerWake_ = 1;  // rows ready from the awaited one that wake the loop
    std::vector<Slot> slots_;                      // row r lives in slot r mod size
    std::vector<std::vector<OrbitResult>> orbits_;  // a few rows of orbits per worker
    std::vector<std::thread> workers_;
};

}  // namespace qel
