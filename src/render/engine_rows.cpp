#include "render/engine_rows.h"

#include <algorithm>
#include <chrono>

namespace qel {

namespace {

// While the loop waits for a row, the window gets its events this often.
constexpr std::chrono::milliseconds kKeepAliveEvery{10};
// A loop that has to wait for a row is woken once this many rows from it are
// ready (or the drawing's last ones), not for every row: a wake-up costs
// about as much as computing a short row, and the woken loop takes a core
// from a worker for a moment. 32 rows of a quick view take well under a
// millisecond; a slow row is shown on its own after a keep-alive anyway.
constexpr int kRowsPerWake = 32;
// That is, a wake-up about every 32 of the window's rows of points: a loop
// waiting for the long rows of a larger picture is woken for fewer rows, and
// fewer rows wait for it (each of a poster's rows holds the colours of up to
// hundreds of thousands of points).
constexpr int kPointsPerWake = kRowsPerWake * 800;
// A worker takes up to this many rows at a time when rows are quick, so that
// the kernel's long loop runs on from one row into the next instead of
// idling at the end of each (about 5% of a quick view's time); a row that
// took longer than kQuickRow is taken on its own, so slow drawings still
// show row by row. Every drawing starts with single rows.
constexpr int kMostRowsAtOnce = 4;
constexpr std::chrono::microseconds kQuickRow{500};
// A run of the kernel takes at most this many points (or four rows of the
// window's 800): a longer row, of a picture larger than the window, is
// computed and coloured a part at a time, so that its orbits stay in the
// processor's cache between the kernel and the colours instead of going
// out to memory and back (a 25600-point row of orbits is 2.4 MB).
constexpr int kMostPointsAtOnce = 4096;

// Rows a worker may take at once: up to kMostRowsAtOnce short ones, one long one.
int mostRowsAtOnce(int pointsPerRow) {
    return std::clamp(kMostPointsAtOnce / std::max(pointsPerRow, 1), 1, kMostRowsAtOnce);
}

int rowsPerWake(int pointsPerRow) { return std::clamp(kPointsPerWake / std::max(pointsPerRow, 1), 1, kRowsPerWake); }

// Rows ahead: enough for every worker's rows twice over, the rows that
// wake the loop, and twice as many again, which the workers fill while the
// woken loop comes round to take them (a wake-up can take a tenth of a
// millisecond, as long as a few dozen of the window's rows take).
int ringRows(int threads, int pointsPerRow) {
    return 2 * threads * mostRowsAtOnce(pointsPerRow) + 3 * rowsPerWake(pointsPerRow);
}

int processorCount() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

}  // namespace

FastRowEngine::FastRowEngine(int threads, InstructionSet isa) : isa_(isa) {
    const int n = threads > 0 ? threads : processorCount();
    slots_.resize(static_cast<std::size_t>(ringRows(n, 1)));
    orbits_.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) workers_.emplace_back([this, i] { work(static_cast<std::size_t>(i)); });
}

FastRowEngine::~FastRowEngine() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        abandonRows(lock);
        quit_ = true;
    }
    workWaiting_.notify_all();
    for (std::thread& t : workers_) t.join();
}

bool FastRowEngine::rowsReadyFrom(int r) const {
    const int end = std::min(first_ + rows_, r + rowsPerWake_);
    for (int row = r; row < end; ++row)
        if (slots_[static_cast<std::size_t>(row) % slots_.size()].row != row) return false;
    return true;
}

bool FastRowEngine::rowWanted() const {
    return drawing_ && nextRow_ < endOfRows() && nextRow_ < taken_ + static_cast<int>(slots_.size());
}

void FastRowEngine::work(std::size_t id) {
    std::unique_lock<std::mutex> lock(mutex_);
    int drawing = -1;    // the drawing this worker took its last rows from
    int rowsAtOnce = 1;  // rows it takes next
    for (;;) {
        workWaiting_.wait(lock, [this] { return quit_ || rowWanted(); });
        if (quit_) return;
        if (drawing != drawingNumber_) {
            drawing = drawingNumber_;
            rowsAtOnce = 1;
        }
        const int r = nextRow_;
        // A row of the running drawing, or, past its last, of the queued one.
        const bool ahead = r >= first_ + rows_;
        const int which = ahead ? 1 - current_ : current_;
        const int top = ahead ? first_ + rows_ : first_;  // the row count of its top row
        const int end = ahead ? top + queuedRows_ : first_ + rows_;
        const int rows = std::min({rowsAtOnce, end - r, taken_ + static_cast<int>(slots_.size()) - r});
        nextRow_ += rows;
        ++computing_;
        std::vector<OrbitResult>& orbits = orbits_[id];
        const DrawingSetup& setup = setups_[which];  // fixed until every computing row is back
        const EscapeCountColours& countColours = countColours_[which];
        lock.unlock();

        const auto start = std::chrono::steady_clock::now();
        const int points = setup.pointsPerRow();
        const int part = std::min(points, kMostPointsAtOnce);
        // The slots of these rows are this worker's until they are marked ready.
        const auto orbitsNeeded = static_cast<std::size_t>(part) * static_cast<std::size_t>(rows);
        if (orbits.size() < orbitsNeeded) orbits.resize(orbitsNeeded);
        for (int i = 0; i < rows; ++i)
            slots_[static_cast<std::size_t>(r + i) % slots_.size()].colours.resize(static_cast<std::size_t>(points));
        bool whole = true;
        for (int k = 0; whole && k < points; k += part) {
            const RowPoints first{setup.halfH - (r - top), setup.xOf(k), setup.xStep, std::min(part, points - k)};
            whole = computeRowsExact(setup.orbit, first, rows, orbits.data(), isa_, &cancel_);
            for (int i = 0; whole && i < rows; ++i) {
                Slot& slot = slots_[static_cast<std::size_t>(r + i) % slots_.size()];
                pointColours(orbits.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(first.count),
                             first.count, setup.colours, countColours, slot.colours.data() + k, setup.colourings);
            }
        }
        rowsAtOnce = std::chrono::steady_clock::now() - start < rows * kQuickRow ? mostRowsAtOnce(points) : 1;

        lock.lock();
        --computing_;
        if (whole && drawing_)
            for (int i = 0; i < rows; ++i) slots_[static_cast<std::size_t>(r + i) % slots_.size()].row = r + i;
        if (!drawing_ || (awaited_ >= 0 && rowsReadyFrom(awaited_))) rowDone_.notify_all();
    }
}

void FastRowEngine::startDrawing(const DrawingSetup& setup) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (queued_ && taken_ == first_ + rows_ && setup == setups_[1 - current_]) {
        // The queued drawing, whose first rows may be ready already.
        current_ = 1 - current_;
        first_ += rows_;
        rows_ = queuedRows_;
        queued_ = false;
        ++drawingNumber_;
        lock.unlock();
        workWaiting_.notify_all();
        return;
    }
    abandonRows(lock);
    setups_[current_] = setup;
    countColours_[current_] = EscapeCountColours(setup.colours, interiorStopCount(setup.orbit.maxIter));
    first_ = 0;
    rows_ = 2 * setup.halfH;
    nextRow_ = 0;
    taken_ = 0;
    // The slots' buffers are sized by the workers that fill them (work),
    // beside each other, not here before any row can start.
    rowsPerWake_ = rowsPerWake(setup.pointsPerRow());
    slots_.resize(static_cast<std::size_t>(ringRows(threads(), setup.pointsPerRow())));
    for (Slot& slot : slots_) slot.row = -1;
    cancel_.store(false);
    drawing_ = true;
    ++drawingNumber_;
    lock.unlock();
    workWaiting_.notify_all();
}

void FastRowEngine::computeRow(const DrawingSetup& setup, int y, RowColours& out) {
    awaitRow(setup, y, out, [] { return true; });
}

bool FastRowEngine::awaitRow(const DrawingSetup&, int y, RowColours& out, const KeepAlive& keepAlive) {
    std::unique_lock<std::mutex> lock(mutex_);
    const int r = first_ + setups_[current_].halfH - y;
    // Rows come in scan order; any other request has nothing to wait for.
    if (r != taken_ || r >= first_ + rows_) return false;
    Slot& slot = slots_[static_cast<std::size_t>(r) % slots_.size()];
    if (slot.row != r) {
        // Woken for a batch of rows; after a keep-alive the row alone will do.
        awaited_ = r;
        bool waited = false;
        while (!rowsReadyFrom(r) && !(waited && slot.row == r)) {
            if (!drawing_) {
                awaited_ = -1;
                return false;
            }
            if (rowDone_.wait_for(lock, kKeepAliveEvery, [&] { return !drawing_ || rowsReadyFrom(r); })) continue;
            waited = true;
            lock.unlock();
            const bool goOn = keepAlive();
            lock.lock();
            if (!goOn) {
                awaited_ = -1;
                abandonRows(lock);
                return false;
            }
        }
        awaited_ = -1;
    }
    if (out.size() == slot.colours.size())
        out.swap(slot.colours);  // no copy, no allocation
    else
        out = slot.colours;
    slot.row = -1;
    taken_ = r + 1;
    // Workers that wait for a free slot are woken once a quarter of the
    // ring is free, not for every row taken: where rows are written slower
    // than they are computed, a wake-up a row kept both processors switching
    // between the workers and this thread.
    const std::size_t free = slots_.size() - static_cast<std::size_t>(nextRow_ - taken_);
    lock.unlock();
    if (free >= std::max<std::size_t>(1, slots_.size() / 4)) workWaiting_.notify_all();
    return true;
}

void FastRowEngine::queueDrawing(const DrawingSetup& next) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!drawing_ || queued_ || next.pointsPerRow() != setups_[current_].pointsPerRow()) return;
    setups_[1 - current_] = next;
    countColours_[1 - current_] = EscapeCountColours(next.colours, interiorStopCount(next.orbit.maxIter));
    queuedRows_ = 2 * next.halfH;
    queued_ = true;
    lock.unlock();
    workWaiting_.notify_all();
}

void FastRowEngine::endDrawing() {
    std::unique_lock<std::mutex> lock(mutex_);
    abandonRows(lock);
}

// Stops the workers' rows of the running drawing and waits until none is
// computing, so that a new setup can take the place of the old one.
void FastRowEngine::abandonRows(std::unique_lock<std::mutex>& lock) {
    drawing_ = false;
    queued_ = false;
    cancel_.store(true);
    rowDone_.wait(lock, [this] { return computing_ == 0; });
}

}  // namespace qel
