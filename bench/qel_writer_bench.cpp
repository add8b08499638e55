// qel-writer-bench: what writing a large picture's rows costs the writing
// thread, apart from the engine. Each view is drawn once into memory; then
// its rows are handed to the PNG and the BMP writer over and over, as
// qel-render hands them, and the bench prints nanoseconds a pixel (the
// quickest of the runs and their median) and the file's size.
//
//   build/qel-writer-bench [--runs N] [--folder DIR]
// --folder: where the files go (/dev/shm unless given, so that the disk's
// pace does not count).
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "figures.h"
#include "app/drawing.h"
#include "app/number_text.h"
#include "files/picture_output.h"
#include "render/engine_rows.h"
#include "render/large_picture.h"

namespace {

using namespace qel;
using namespace qel::bench;

struct Job {
    const char* name;
    double cx, cy, mag, maxIter;
    int method, scale;
};

const Job kJobs[] = {
    {"start view, full size, K 8 (6400 x 4800)", 0, 0, 1, 500, 1, 8},
    {"seahorse valley (-0.75, 0.1) mag 8 m 1000, split, K 4 (3200 x 2400)", -0.75, 0.1, 8, 1000, 0, 4},
};

// Keeps every row of a picture in memory, as it comes.
class KeptRows : public PictureSink {
public:
    explicit KeptRows(std::map<std::int64_t, std::vector<std::uint32_t>>& rows, std::int64_t width)
        : rows_(rows), width_(width) {}
    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        rows_[v].assign(pixels, pixels + width_);
        return true;
    }
    bool finish() override { return true; }

private:
    std::map<std::int64_t, std::vector<std::uint32_t>>& rows_;
    std::int64_t width_;
};

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::string folder = "/dev/shm";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--folder")) folder = argv[i + 1];
    }
    std::printf("qel-writer-bench: %d runs, files in %s; ns a pixel, quickest and median (each run)\n\n", runs,
                folder.c_str());
    FastRowEngine engine;
    for (const Job& job : kJobs) {
        AppState view;
        setStartValues(view);
        putView(view, View{.centerX = job.cx, .centerY = job.cy, .maxIter = job.maxIter,
                           .drawMethod = static_cast<Int16>(job.method), .magText = numberText(job.mag)});
        const LargePicture pic = largePictureOf(view, job.scale);
        std::map<std::int64_t, std::vector<std::uint32_t>> rows;
        RenderHooks hooks;
        hooks.open = [&](std::size_t) { return std::make_unique<KeptRows>(rows, pic.width()); };
        renderPictures({pic}, engine, hooks);
        // The rows in the order they come: a split picture's halves side by side.
        std::vector<std::pair<std::int64_t, const std::uint32_t*>> order;
        const std::int64_t half = job.method == kSplitScreen ? pic.height() / 2 : pic.height();
        for (std::int64_t v = 0; v < half; ++v) {
            order.emplace_back(v, rows[v].data());
            if (half < pic.height()) order.emplace_back(v + half, rows[v + half].data());
        }
        const double pixels = static_cast<double>(pic.width()) * static_cast<double>(pic.height());
        std::printf("%s: %lld x %lld pixels\n", job.name, static_cast<long long>(pic.width()),
                    static_cast<long long>(pic.height()));
        for (const char* name : {"writer.png", "writer.bmp"}) {
            const std::string path = folder + "/qel-" + name;
            std::vector<double> ns;
            for (int r = 0; r < runs; ++r) {
                std::string failure;
                const Clock::time_point start = Clock::now();
                auto sink = openPictureFile(path, *pictureFormatOf(path), pic.width(), pic.height(), {}, failure);
                bool ok = sink != nullptr;
                for (std::size_t i = 0; ok && i < order.size(); ++i) ok = sink->putRow(order[i].first, order[i].second);
                ok = ok && sink->finish();
                if (!ok) {
                    const std::string why = failure.empty() ? sink->failure() : failure;
                    std::fprintf(stderr, "qel-writer-bench: %s\n", why.c_str());
                    return 1;
                }
                ns.push_back(msSince(start) * 1e6 / pixels);
            }
            std::printf("  %s  %6.2f ns a pixel quickest, %6.2f median (%s), %ju bytes\n", name + 7,
                        *std::min_element(ns.begin(), ns.end()), median(ns), eachRun(ns, 2).c_str(),
                        static_cast<std::uintmax_t>(std::filesystem::file_size(path)));
            std::filesystem::remove(path);
        }
        std::printf("\n");
    }
    return 0;
}
