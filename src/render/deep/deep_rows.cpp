#include "render/deep/deep_rows.h"

#include <algorithm>
#include <chrono>

namespace qel {
namespace {

constexpr std::chrono::milliseconds kKeepAliveEvery{10};
// Rows computed ahead of the one the caller waits for, per worker.
constexpr int kRowsAheadPerWorker = 4;

int processorCount() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

}  // namespace

DeepRowEngine::DeepRowEngine(int threads) : threads_(threads > 0 ? threads : processorCount()) {
    slots_.resize(static_cast<std::size_t>(threads_ * kRowsAheadPerWorker + 2));
}

DeepRowEngine::~DeepRowEngine() { endDrawing(); }

void DeepRowEngine::startDrawing(const DeepView& view, const DeepGrid& grid, DeepSkipping skipping) {
    endDrawing();
    grid_ = grid;
    skipping_ = skipping;
    reference_.reset();
    failed_ = false;
    nextRow_ = 0;
    taken_ = 0;
    stats_ = {};
    for (Slot& slot : slots_) slot.row = -1;
    stop_.store(false);
    auto shared = std::make_shared<const DeepView>(view);
    for (int i = 0; i < threads_; ++i) workers_.emplace_back([this, i, shared] { work(i, shared); });
}

void DeepRowEngine::endDrawing() {
    stop_.store(true);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        changed_.notify_all();
    }
    for (std::thread& t : workers_) t.join();
    workers_.clear();
}

std::shared_ptr<const DeepReference> DeepRowEngine::reference() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reference_;
}

DeepPointStats DeepRowEngine::stats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stats_;
}

bool DeepRowEngine::computeRow(int row, std::vector<OrbitResult>& out, DeepPointStats& stats) {
    out.resize(static_cast<std::size_t>(grid_.pointsPerRow()));
    const int y = grid_.yOfRow(row);
    for (int k = 0; k < grid_.pointsPerRow(); ++k)
        if (!deepPoint(*reference_, grid_.xOf(k), y, skipping_, out[static_cast<std::size_t>(k)], &stop_, &stats))
            return false;
    return true;
}

void DeepRowEngine::work(int id, const std::shared_ptr<const DeepView>& view) {
    if (id == 0) {
        auto ref = buildReference(*view, grid_, skipping_.blocks, &stop_);
        std::lock_guard<std::mutex> lock(mutex_);
        reference_ = std::move(ref);
        failed_ = reference_ == nullptr;
        changed_.notify_all();
    }
    std::vector<OrbitResult> orbits;
    std::unique_lock<std::mutex> lock(mutex_);
    const auto size = static_cast<int>(slots_.size());
    for (;;) {
        changed_.wait(lock, [&] {
            return stop_.load() || failed_ ||
                   (reference_ && nextRow_ < grid_.rows() && nextRow_ < taken_ + size) || nextRow_ >= grid_.rows();
        });
        if (stop_.load() || failed_ || nextRow_ >= grid_.rows()) return;
        const int row = nextRow_++;
        lock.unlock();
        DeepPointStats stats;
        const bool whole = computeRow(row, orbits, stats);
        lock.lock();
        stats_ += stats;
        if (!whole) return;
        Slot& slot = slots_[static_cast<std::size_t>(row % size)];
        slot.orbits.swap(orbits);
        slot.row = row;
        changed_.notify_all();
    }
}

bool DeepRowEngine::awaitRow(int row, std::vector<OrbitResult>& out, const std::function<bool()>& keepAlive) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (row != taken_ || row >= grid_.rows() || workers_.empty()) return false;
    Slot& slot = slots_[static_cast<std::size_t>(row) % slots_.size()];
    while (slot.row != row) {
        if (failed_ || stop_.load()) return false;
        if (changed_.wait_for(lock, kKeepAliveEvery, [&] { return slot.row == row || failed_ || stop_.load(); }))
            continue;
        lock.unlock();
        const bool goOn = keepAlive();
        if (!goOn) {
            endDrawing();
            return false;
        }
        lock.lock();
    }
    out.swap(slot.orbits);
    slot.row = -1;
    taken_ = row + 1;
    changed_.notify_all();
    return true;
}

}  // namespace qel
