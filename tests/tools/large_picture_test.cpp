// Pictures larger than the window: at scale 1 they are the window's saved
// picture byte for byte, every K-th pixel is the window's pixel, the fast
// engine draws the literal iteration's pixels, samples are averaged in
// linear light, and BMP and PNG files hold the same pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "headless_program.h"
#include "app/number_text.h"
#include "files/bitmap.h"
#include "files/file_stand_ins.h"
#include "files/picture_files.h"
#include "files/picture_output.h"
#include "render/engine_rows.h"
#include "render/large_picture.h"
#include "app/drawing.h"

namespace qel {
namespace {

struct TestView {
    const char* what;
    View view;
    double mag;
};

const TestView kViews[] = {
    {"start view, split", {}, 1},
    {"seahorse valley, upper left", {.centerX = -0.75, .centerY = 0.1, .maxIter = 300, .drawMethod = 1}, 8},
    {"Julia set, lower left",
     {.juliaRe = -0.8, .juliaIm = 0.156, .isJulia = kYes, .juliaStarted = kYes, .drawMethod = 3}, 1},
    {"t 0, split: colour numbers beyond the palette", {.centerX = -0.5, .maxIter = 100, .contourT = 0.0f}, 3},
    {"boundary, t 2.5, lower right",
     {.centerX = -0.7435669, .centerY = 0.1314023, .maxIter = 10000, .contourT = 2.5f, .drawMethod = 4}, 20000},
    {"five iterations, upper right", {.maxIter = 5, .contourT = 0.3f, .drawMethod = 2}, 1},
};

AppState viewOf(const TestView& v) {
    AppState s;
    setStartValues(s);
    View view = v.view;
    view.magText = strDouble(v.mag);
    putView(s, view);
    return s;
}

// The window's picture of the view: the render loop's drawing, the part
// of the surface a save writes.
Surface windowPicture(const AppState& view, RowEngine& engine) {
    HeadlessProgram program;
    Program& p = program.p;
    p.s = view;
    p.s.firstDrawing = true;
    p.engine = &engine;
    Essence(p);
    return visiblePicture(p);
}

// The rows a drawing put, as far as they were kept.
struct Kept {
    std::map<std::int64_t, std::vector<std::uint32_t>> rows;
};

// Keeps the rows `keep` picks, and refuses a row that comes out of order:
// top row first, a split picture's halves side by side.
class KeptRows : public PictureSink {
public:
    KeptRows(Kept& kept, const LargePicture& pic, std::function<bool(std::int64_t)> keep)
        : kept_(kept), width_(pic.width()), half_(pic.method == 0 ? pic.height() / 2 : pic.height()),
          keep_(std::move(keep)), next_{0, half_} {}
    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        std::int64_t& next = next_[v < half_ ? 0 : 1];
        if (v != next) return false;
        ++next;
        if (keep_(v)) kept_.rows[v].assign(pixels, pixels + width_);
        return true;
    }
    bool finish() override { return true; }

private:
    Kept& kept_;
    std::int64_t width_, half_;
    std::function<bool(std::int64_t)> keep_;
    std::int64_t next_[2];
};

Kept draw(const LargePicture& pic, RowEngine& engine, const std::function<bool(std::int64_t)>& keep) {
    Kept kept;
    RenderHooks hooks;
    hooks.open = [&](std::size_t) { return std::make_unique<KeptRows>(kept, pic, keep); };
    EXPECT_EQ(renderPictures({pic}, engine, hooks), RenderOutcome::Finished);
    return kept;
}

const auto kEveryRow = [](std::int64_t) { return true; };
auto everyKthRow(int k) {
    return [k](std::int64_t row) { return row % k == 0; };
}

// The pixels of the window's 800 x 600 picture that every K-th pixel of
// every K-th row kept at scale K does not repeat.
int differingFromWindow(const Kept& kept, const Surface& window, int k) {
    int differing = 0;
    for (int row = 0; row < 600; ++row)
        for (int u = 0; u < 800; ++u)
            differing += kept.rows.at(std::int64_t{row} * k)[static_cast<std::size_t>(u * k)] !=
                         static_cast<std::uint32_t>(window.pixel(u, row));
    return differing;
}

class LargePictures : public ::testing::Test {
protected:
    // Writes the picture to `name` in the test's folder.
    std::filesystem::path write(const LargePicture& pic, const std::string& name,
                                const BitmapViewNote* note = nullptr) {
        const std::filesystem::path path = dir.file(name);
        std::string failure;
        RenderHooks hooks;
        hooks.open = [&](std::size_t) {
            return openPictureFile(path.string(), *pictureFormatOf(name), pic.width(), pic.height(), {{"qel view", name}},
                                   failure, note);
        };
        EXPECT_EQ(renderPictures({pic}, fast, hooks, &failure), RenderOutcome::Finished) << failure;
        return path;
    }

    testing::TemporaryFolder dir;
    FastRowEngine fast;
};

// With a note too, as a picture whose name had to be shortened is saved.
TEST_F(LargePictures, AtScaleOneTheBitmapIsTheWindowsSavedPictureByteForByte) {
    const BitmapViewNote note{"M1s1E+200x0y0k500t1.bmp", "M1s1E+200x" + std::string(300, '1') + "y0k500t1.bmp"};
    for (const TestView& v : kViews) {
        for (const BitmapViewNote* withNote : {static_cast<const BitmapViewNote*>(nullptr), &note}) {
            const std::vector<std::uint8_t> saved = encodeBitmap(windowPicture(viewOf(v), fast), withNote);
            const std::string written = testing::contentOf(write(largePictureOf(viewOf(v), 1), "one.bmp", withNote));
            EXPECT_TRUE(written == std::string(saved.begin(), saved.end())) << v.what;
        }
    }
    EXPECT_EQ(viewNoteOfBitmap(dir.file("one.bmp"))->wholeName, note.wholeName);
}

TEST_F(LargePictures, EveryKthPixelIsTheWindowsPixel) {
    for (const TestView& v : {kViews[0], kViews[1], kViews[2]}) {
        const Surface window = windowPicture(viewOf(v), fast);
        for (int k : {2, 4, 8}) {
            const LargePicture pic = largePictureOf(viewOf(v), k);
            ASSERT_EQ(pic.width(), 800 * k);
            ASSERT_EQ(pic.height(), 600 * k);
            EXPECT_EQ(differingFromWindow(draw(pic, fast, everyKthRow(k)), window, k), 0) << v.what << ", K " << k;
        }
    }
}

// An engine computing only the rows it is asked for (the literal iteration
// unless told otherwise); other rows are left as they are.
class SampledReference : public RowEngine {
public:
    explicit SampledReference(std::function<bool(int)> sampled, RowEngine* engine = nullptr)
        : sampled_(std::move(sampled)), engine_(engine ? *engine : reference_) {}
    void startDrawing(const DrawingSetup& setup) override { engine_.startDrawing(setup); }
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override {
        if (sampled_(setup.halfH - y)) engine_.computeRow(setup, y, out);
    }

private:
    std::function<bool(int)> sampled_;
    ReferenceRowEngine reference_;
    RowEngine& engine_;
};

TEST_F(LargePictures, TheFastEngineDrawsTheLiteralIterationsPixelsOnSampledRows) {
    struct Case {
        TestView view;
        int scale, samples;
    };
    for (const Case& c : {Case{kViews[4], 8, 1}, Case{kViews[2], 3, 2}, Case{kViews[5], 3, 3}}) {
        const LargePicture pic = largePictureOf(viewOf(c.view), c.scale, c.samples);
        const int every = 97;
        // Point rows come S to a pixel row; the split's lower half repeats the upper one's.
        const std::int64_t half = pic.method == 0 ? pic.height() / 2 : pic.height();
        const auto sampledRow = [&](std::int64_t row) { return (row % half) % every == 0; };
        SampledReference reference([&](int pointRow) { return sampledRow(pointRow / c.samples); });
        const Kept fastRows = draw(pic, fast, sampledRow);
        const Kept referenceRows = draw(pic, reference, sampledRow);
        ASSERT_FALSE(fastRows.rows.empty());
        EXPECT_TRUE(fastRows.rows == referenceRows.rows) << c.view.what << ", K " << c.scale << ", S " << c.samples;
    }
}

// The spiral of a Misiurewicz point at 1E+20, where only the texts tell
// its pixels apart.
AppState deepView() {
    AppState s = viewOf({"deep spiral, upper left",
                         {.centerX = -0.22815549365396182, .centerY = 1.1151425080399374, .maxIter = 1000,
                          .drawMethod = 1},
                         1e20});
    s.live.deep = {"-.2281554936539618192145720140991", " 1.1151425080399373597457646363150", " 0", " 0", " 1E+20"};
    return s;
}

TEST_F(LargePictures, ADeepViewIsDrawnAsTheWindowDrawsItAndAsTheIterationAtFullPrecision) {
    const AppState view = deepView();
    const Surface window = windowPicture(view, fast);
    ViewRowEngines deep({view}, fast);
    const LargePicture pic = largePictureOf(view, 2);
    EXPECT_EQ(differingFromWindow(draw(pic, deep, everyKthRow(2)), window, 2), 0);

    const LargePicture one = largePictureOf(view, 1);
    const auto sampledRow = [](std::int64_t row) { return row % 250 == 0; };
    ViewRowEngines slowStandard({view}, fast, true);
    SampledReference mpfr(sampledRow, &slowStandard);
    const Kept standardRows = draw(one, mpfr, sampledRow);
    const Kept deepRows = draw(one, deep, sampledRow);
    ASSERT_EQ(deepRows.rows.size(), 3u);
    EXPECT_TRUE(deepRows.rows == standardRows.rows);
}

TEST_F(LargePictures, ASupersampledPixelIsTheLinearAverageOfTheFinerPointsCentredOnItsOwn) {
    const AppState view = viewOf(kViews[3]);
    const LargePicture window = largePictureOf(view, 1);
    for (int samples : {2, 3, 4}) {
        // The mean of a pixel's S x S sample points is the pixel's point.
        const LargePicture pic = largePictureOf(view, 1, samples);
        const OrbitParams& fine = pic.points.orbit;
        const double mid = (samples - 1) / 2.0, x = -window.points.halfW, y = window.points.halfH;
        EXPECT_NEAR(fine.centerX + (samples * x + mid) * fine.pixelSize,
                    window.points.orbit.centerX + x * window.points.orbit.pixelSize, 1e-15) << "S " << samples;
        EXPECT_NEAR(fine.centerY + (samples * y - mid) * fine.pixelSize,
                    window.points.orbit.centerY + y * window.points.orbit.pixelSize, 1e-15) << "S " << samples;
    }
    for (int samples : {2, 3}) {
        // Each pixel averages its S x S block of those points drawn one a pixel.
        const LargePicture pic = largePictureOf(view, 1, samples);
        LargePicture finer = pic;
        finer.samples = 1;
        const Kept averaged = draw(pic, fast, kEveryRow);
        const Kept points = draw(finer, fast, kEveryRow);
        int differing = 0;
        std::vector<std::uint32_t> block;
        for (int v = 0; v < 600; ++v) {
            for (int u = 0; u < 800; ++u) {
                block.clear();
                for (int i = 0; i < samples; ++i)
                    for (int j = 0; j < samples; ++j)
                        block.push_back(points.rows.at(v * samples + i)[static_cast<std::size_t>(u * samples + j)]);
                differing += averaged.rows.at(v)[static_cast<std::size_t>(u)] !=
                             averageInLinearLight(block.data(), samples * samples);
            }
        }
        EXPECT_EQ(differing, 0) << "S " << samples;
    }
}

TEST(LinearLight, AveragesLightNotSrgbNumbersAndKeepsAFlatColour) {
    // One white sample of four gives a quarter of the light: sRGB 137, where
    // the average of the numbers would be 64.
    const std::uint32_t quarter[] = {0xFFFFFF, 0, 0, 0};
    EXPECT_EQ(averageInLinearLight(quarter, 4), 0x898989u);
    for (int c = 0; c < 256; ++c) {
        const std::uint32_t colour = rgb(c, 255 - c, c / 2);
        const std::uint32_t flat[] = {colour, colour, colour};
        EXPECT_EQ(averageInLinearLight(flat, 3), colour) << c;
    }
}

// The pixels of a PNG file, read with libpng.
std::vector<std::uint32_t> pngPixels(const std::filesystem::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint32_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGBA;
    pixels.resize(PNG_IMAGE_SIZE(image) / 4);
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    for (std::uint32_t& p : pixels) p &= 0xFFFFFF;  // little-endian R, G, B; the opaque alpha goes
    return pixels;
}

// The view's name in the PNG is qel-render's to show (its command-line test).
TEST_F(LargePictures, PngAndBitmapHoldTheSamePixels) {
    // The split picture's halves come side by side, so its PNG joins two
    // compressed runs; a picture of one colouring is one run.
    for (const TestView& v : {kViews[3], kViews[1]}) {
        const LargePicture pic = largePictureOf(viewOf(v), 2, 2);
        const std::vector<std::uint32_t> png = pngPixels(write(pic, "poster.png"));
        const std::string bmpPath = write(pic, "poster.bmp");
        ASSERT_EQ(png.size(), 1600u * 1200u) << v.what;
        // The PNG's pixels, written as a bitmap, are the very bytes of the BMP.
        Surface fromPng(1600, 1200);
        for (int row = 0; row < 1200; ++row)
            std::copy_n(png.begin() + row * 1600, 1600, fromPng.rowToWrite(row, 0, 1600));
        EXPECT_TRUE(testing::holdsPicture(bmpPath, fromPng)) << v.what;
    }
}

// The rows' filter goes four pixels at a time: every width's last pixels,
// and the first row, which has none above it, come back as they went in.
TEST(PngRows, AnyWidthReadsBackAsItsPixels) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "qel-png-widths";
    std::filesystem::create_directories(folder);
    std::uint32_t seed = 12345;
    for (std::int64_t width = 1; width <= 9; ++width) {
        const std::int64_t height = 3;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
        for (std::uint32_t& p : pixels) p = (seed = seed * 1664525u + 1013904223u) >> 8;
        const std::string path = (folder / ("w" + std::to_string(width) + ".png")).string();
        std::string failure;
        std::unique_ptr<PictureSink> sink = openPictureFile(path, PictureFormat::Png, width, height, {}, failure);
        ASSERT_TRUE(sink) << failure;
        for (std::int64_t v = 0; v < height; ++v) ASSERT_TRUE(sink->putRow(v, pixels.data() + v * width));
        ASSERT_TRUE(sink->finish()) << sink->failure();
        EXPECT_EQ(pngPixels(path), pixels) << "width " << width;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace qel

namespace qel {
namespace {

// A picture of the view in the smooth colouring, with its palette and the
// range its coarse grid gives.
LargePicture smoothPictureOf(const AppState& view, int scale, int samples, RowEngine& engine,
                             std::shared_ptr<const SmoothPalette> palette) {
    LargePicture pic = largePictureOf(view, scale, samples);
    const std::optional<std::vector<Colour>> counts =
        smoothCountsOf(coarseSmoothGrid(largePictureOf(view, 1).points, 4), engine, [] { return true; });
    EXPECT_TRUE(counts.has_value());
    pic.method = kSmoothCounts;
    pic.points.colourings = kSmoothCounts;
    pic.palette = std::move(palette);
    if (counts) pic.smoothRange = smoothRangeOf(counts->data(), counts->size());
    return pic;
}

TEST_F(LargePictures, ASmoothPictureMapsEachPointsCountAndAveragesTheColours) {
    const AppState view = viewOf(kViews[1]);
    auto palette = std::make_shared<SmoothPalette>();
    palette->stops = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)};
    palette->interior = rgb(10, 20, 30);
    const LargePicture pic = smoothPictureOf(view, 1, 1, fast, palette);
    EXPECT_EQ(pic.width(), 800);
    EXPECT_EQ(pic.height(), 600);
    const SmoothMap map(*palette, pic.smoothRange);
    // Every pixel of sampled rows is the palette's colour of the literal
    // iteration's count at its point.
    ReferenceRowEngine reference;
    const Kept drawn = draw(pic, fast, everyKthRow(50));
    reference.startDrawing(pic.points);
    RowColours row(static_cast<std::size_t>(pic.points.pointsPerRow()));
    int differing = 0, interior = 0;
    std::set<std::uint32_t> colours;
    for (int v = 0; v < 600; ++v) {
        reference.computeRow(pic.points, pic.points.halfH - v, row);
        if (v % 50 != 0) continue;
        for (std::size_t u = 0; u < 800; ++u) {
            const std::uint32_t pixel = drawn.rows.at(v)[u];
            differing += pixel != static_cast<std::uint32_t>(map.colour(row[u].upperLeft));
            interior += row[u].interior && pixel == static_cast<std::uint32_t>(palette->interior);
            colours.insert(pixel);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(interior, 0);
    EXPECT_GT(colours.size(), 500u);

    // With 2 x 2 samples a pixel is the linear average of its points'
    // colours: mapped first, then averaged.
    LargePicture sampled = smoothPictureOf(view, 1, 2, fast, palette);
    EXPECT_EQ(sampled.smoothRange.lo, pic.smoothRange.lo);
    EXPECT_EQ(sampled.smoothRange.hi, pic.smoothRange.hi);
    LargePicture finer = sampled;
    finer.samples = 1;
    const Kept averaged = draw(sampled, fast, everyKthRow(30));
    const Kept points = draw(finer, fast, kEveryRow);
    differing = 0;
    for (int v = 0; v < 600; v += 30) {
        for (int u = 0; u < 800; ++u) {
            std::uint32_t block[4];
            for (int i = 0; i < 4; ++i) block[i] = points.rows.at(2 * v + i / 2)[static_cast<std::size_t>(2 * u + i % 2)];
            differing += averaged.rows.at(v)[static_cast<std::size_t>(u)] != averageInLinearLight(block, 4);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(LargePictures, TheCoarseGridCoversTheViewAndStopsWhenAsked) {
    const AppState view = viewOf(kViews[1]);
    const DrawingSetup window = largePictureOf(view, 1).points;
    const DrawingSetup grid = coarseSmoothGrid(window, 4);
    EXPECT_EQ(grid.halfW, window.halfW / 4);
    EXPECT_EQ(grid.halfH, window.halfH / 4);
    EXPECT_DOUBLE_EQ(grid.halfW * grid.orbit.pixelSize, window.halfW * window.orbit.pixelSize);
    EXPECT_EQ(grid.orbit.centerX, window.orbit.centerX);
    EXPECT_EQ(grid.colourings, kSmoothCounts);
    const std::optional<std::vector<Colour>> counts = smoothCountsOf(grid, fast, [] { return true; });
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(counts->size(), static_cast<std::size_t>(grid.pointsPerRow() * 2 * grid.halfH));
    // The top-left point's count is the literal iteration's there.
    OrbitRing ring;
    const OrbitResult corner = computePoint(grid.orbit, ring, -grid.halfW, grid.halfH);
    EXPECT_EQ(decodeCount(counts->front()), continuousCount(corner));
    int asked = 0;
    EXPECT_FALSE(smoothCountsOf(grid, fast, [&asked] { return ++asked < 10; }).has_value());
}

}  // namespace
}  // namespace qel
