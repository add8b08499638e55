// Pictures larger than the window: at scale 1 they are the window's saved
// picture byte for byte, every K-th pixel is the window's pixel, the fast
// engine draws the literal iteration's pixels, samples are averaged in
// linear light, and BMP and PNG files hold the same pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "headless_program.h"
#include "app/number_text.h"
#include "files/bitmap.h"
#include "files/picture_files.h"
#include "files/picture_output.h"
#include "render/engine_rows.h"
#include "render/large_picture.h"
#include "app/drawing.h"

namespace qel {
namespace {

struct TestView {
    const char* what;
    bool julia;
    double cx, cy, jre, jim, mag, maxIter;
    float t;
    int method;
};

const TestView kViews[] = {
    {"start view, split", false, 0, 0, 0, 0, 1, 500, 1.0f, 0},
    {"seahorse valley, upper left", false, -0.75, 0.1, 0, 0, 8, 300, 1.0f, 1},
    {"Julia set, lower left", true, 0, 0, -0.8, 0.156, 1, 500, 1.0f, 3},
    {"t 0, split: colour numbers beyond the palette", false, -0.5, 0, 0, 0, 3, 100, 0.0f, 0},
    {"boundary, t 2.5, lower right", false, -0.7435669, 0.1314023, 0, 0, 20000, 10000, 2.5f, 4},
    {"five iterations, upper right", false, 0, 0, 0, 0, 1, 5, 0.3f, 2},
};

AppState viewOf(const TestView& v) {
    AppState s;
    setStartValues(s);
    putView(s, View{.centerX = v.cx,
                    .centerY = v.cy,
                    .juliaRe = v.jre,
                    .juliaIm = v.jim,
                    .isJulia = v.julia ? kYes : kNo,
                    .juliaStarted = v.julia ? kYes : kNo,
                    .maxIter = v.maxIter,
                    .contourT = v.t,
                    .drawMethod = static_cast<Int16>(v.method),
                    .magText = strDouble(v.mag)});
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
    std::int64_t put = 0;
    bool finished = false;
};

class KeptRows : public PictureSink {
public:
    KeptRows(Kept& kept, std::int64_t width, std::function<bool(std::int64_t)> keep, bool inOrder)
        : kept_(kept), width_(width), keep_(std::move(keep)), inOrder_(inOrder) {}
    bool needsRowsInOrder() const override { return inOrder_; }
    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        if (inOrder_ && v != kept_.put) return false;
        ++kept_.put;
        if (keep_(v)) kept_.rows[v].assign(pixels, pixels + width_);
        return true;
    }
    bool finish() override {
        kept_.finished = true;
        return true;
    }

private:
    Kept& kept_;
    std::int64_t width_;
    std::function<bool(std::int64_t)> keep_;
    bool inOrder_;
};

Kept draw(const LargePicture& pic, RowEngine& engine, const std::function<bool(std::int64_t)>& keep,
          bool inOrder = false) {
    Kept kept;
    RenderHooks hooks;
    hooks.open = [&](std::size_t) { return std::make_unique<KeptRows>(kept, pic.width(), keep, inOrder); };
    EXPECT_EQ(renderPictures({pic}, engine, hooks), RenderOutcome::Finished);
    return kept;
}

const auto kEveryRow = [](std::int64_t) { return true; };

std::vector<char> bytesOf(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class LargePictures : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("qel-large-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Writes the picture to `name` in the test's folder.
    std::filesystem::path write(const LargePicture& pic, const std::string& name,
                                const BitmapViewNote* note = nullptr) {
        const std::filesystem::path path = dir / name;
        std::string failure;
        RenderHooks hooks;
        hooks.open = [&](std::size_t) {
            return openPictureFile(path.string(), *pictureFormatOf(name), pic.width(), pic.height(), {{"qel view", name}},
                                   failure, note);
        };
        EXPECT_EQ(renderPictures({pic}, fast, hooks, &failure), RenderOutcome::Finished) << failure;
        return path;
    }

    std::filesystem::path dir;
    FastRowEngine fast;
};

// With a note too, as a picture whose name had to be shortened is saved.
TEST_F(LargePictures, AtScaleOneTheBitmapIsTheWindowsSavedPictureByteForByte) {
    const BitmapViewNote note{"M1s1E+200x0y0k500t1.bmp", "M1s1E+200x" + std::string(300, '1') + "y0k500t1.bmp"};
    for (const TestView& v : kViews) {
        for (const BitmapViewNote* withNote : {static_cast<const BitmapViewNote*>(nullptr), &note}) {
            const std::vector<std::uint8_t> saved = encodeBitmap(windowPicture(viewOf(v), fast), withNote);
            const std::vector<char> written = bytesOf(write(largePictureOf(viewOf(v), 1), "one.bmp", withNote));
            EXPECT_TRUE(std::equal(saved.begin(), saved.end(), written.begin(), written.end(),
                                   [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }))
                << v.what;
        }
    }
    EXPECT_EQ(viewNoteOfBitmap((dir / "one.bmp").string())->wholeName, note.wholeName);
}

TEST_F(LargePictures, EveryKthPixelIsTheWindowsPixel) {
    for (const TestView& v : {kViews[0], kViews[1], kViews[2]}) {
        const Surface window = windowPicture(viewOf(v), fast);
        for (int k : {2, 4, 8}) {
            const LargePicture pic = largePictureOf(viewOf(v), k);
            ASSERT_EQ(pic.width(), 800 * k);
            ASSERT_EQ(pic.height(), 600 * k);
            const Kept kept = draw(pic, fast, [k](std::int64_t row) { return row % k == 0; });
            int differing = 0;
            for (int row = 0; row < 600; ++row)
                for (int u = 0; u < 800; ++u)
                    differing += kept.rows.at(std::int64_t{row} * k)[static_cast<std::size_t>(u * k)] !=
                                 static_cast<std::uint32_t>(window.pixel(u, row));
            EXPECT_EQ(differing, 0) << v.what << ", K " << k;
        }
    }
}

// The literal iteration on the rows it is asked for; other rows are left
// as they are.
class SampledReference : public RowEngine {
public:
    explicit SampledReference(std::function<bool(int)> sampled) : sampled_(std::move(sampled)) {}
    void startDrawing(const DrawingSetup& setup) override { reference_.startDrawing(setup); }
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override {
        if (sampled_(setup.halfH - y)) reference_.computeRow(setup, y, out);
    }

private:
    std::function<bool(int)> sampled_;
    ReferenceRowEngine reference_;
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

TEST_F(LargePictures, ASupersampledPixelIsTheLinearAverageOfThePointsFromItsOwnToTheLowerRight) {
    // S x S samples of the picture at scale K are the S x S pixels of the
    // picture at scale K * S that begin at the pixel's own point.
    for (int samples : {2, 3}) {
        const AppState view = viewOf(kViews[3]);
        const Kept averaged = draw(largePictureOf(view, 1, samples), fast, kEveryRow, true);
        const Kept finer = draw(largePictureOf(view, samples), fast, kEveryRow);
        int differing = 0;
        std::vector<std::uint32_t> block;
        for (int v = 0; v < 600; ++v) {
            for (int u = 0; u < 800; ++u) {
                block.clear();
                for (int i = 0; i < samples; ++i)
                    for (int j = 0; j < samples; ++j)
                        block.push_back(finer.rows.at(v * samples + i)[static_cast<std::size_t>(u * samples + j)]);
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
std::vector<std::uint32_t> pngPixels(const std::filesystem::path& path, std::string& text) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint32_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGBA;
    pixels.resize(PNG_IMAGE_SIZE(image) / 4);
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    for (std::uint32_t& p : pixels) p &= 0xFFFFFF;  // little-endian R, G, B; the opaque alpha goes
    // The text chunk, read the plain way.
    std::FILE* f = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_info(png, info);
    png_textp texts = nullptr;
    if (png_get_text(png, info, &texts, nullptr) > 0) text = std::string(texts[0].key) + "=" + texts[0].text;
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return pixels;
}

TEST_F(LargePictures, PngAndBitmapHoldTheSamePixelsAndThePngItsView) {
    // The split picture's PNG takes its rows in order, in two passes; the
    // bitmap takes both halves from one.
    const LargePicture pic = largePictureOf(viewOf(kViews[3]), 2, 2);
    std::string text;
    const std::vector<std::uint32_t> png = pngPixels(write(pic, "poster.png"), text);
    const std::string bmpPath = write(pic, "poster.bmp");
    ASSERT_EQ(png.size(), 1600u * 1200u);
    // The PNG's pixels, written as a bitmap, are the very bytes of the BMP.
    Surface fromPng(1600, 1200);
    for (int v = 0; v < 1200; ++v)
        std::copy_n(png.begin() + v * 1600, 1600, fromPng.rowToWrite(v, 0, 1600));
    const std::vector<std::uint8_t> expected = encodeBitmap(fromPng);
    EXPECT_TRUE(bytesOf(bmpPath) == std::vector<char>(expected.begin(), expected.end()));
    EXPECT_EQ(text, "qel view=poster.png");
}

TEST(RenderPictures, AStopOrAFailedRowGivesThePictureUpAndKeepsTheFinishedOnes) {
    FastRowEngine fast;
    const LargePicture pic = largePictureOf(viewOf(kViews[0]), 1);
    std::vector<Kept> kept(2);
    RenderHooks hooks;
    hooks.open = [&](std::size_t i) { return std::make_unique<KeptRows>(kept[i], pic.width(), kEveryRow, true); };
    hooks.keepGoing = [&] { return kept[1].put < 10; };
    EXPECT_EQ(renderPictures({pic, pic}, fast, hooks), RenderOutcome::Stopped);
    EXPECT_TRUE(kept[0].finished);  // finished beside the second one's drawing
    EXPECT_EQ(kept[1].put, 10);
    EXPECT_FALSE(kept[1].finished);

    // A row the sink cannot keep fails the drawing.
    kept.assign(2, Kept{});
    kept[0].put = -1;  // the sink takes row 0 for out of order
    hooks.keepGoing = [] { return true; };
    EXPECT_EQ(renderPictures({pic}, fast, hooks), RenderOutcome::Failed);
    EXPECT_FALSE(kept[0].finished);

    // The engine draws the next pictures as before.
    const Kept again = draw(pic, fast, kEveryRow);
    EXPECT_TRUE(again.finished);
    EXPECT_EQ(again.put, 600);
}

}  // namespace
}  // namespace qel
