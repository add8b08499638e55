#include "files/picture_output.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "files/bitmap.h"
#include "files/run_deflate.h"
#include "files/safe_file.h"

namespace qel {

namespace {

// Bytewise a - b (mod 256) of the four bytes of two words at once.
inline std::uint32_t bytesMinus(std::uint32_t a, std::uint32_t b) {
    return ((a | 0x80808080u) - (b & 0x7F7F7F7Fu)) ^ ((a ^ ~b) & 0x80808080u);
}

// A scanline's bytes after its filter byte: each colour number 0xBBGGRR as
// the bytes R, G, B, less the pixel above's bytewise when there is a row
// above. Writes up to four bytes past the last pixel's three.
void filterPixelsPlain(std::uint8_t* out, const std::uint32_t* pixels, const std::uint32_t* above, std::size_t count) {
    for (std::size_t u = 0; u < count; ++u) {
        const std::uint32_t filtered = above ? bytesMinus(pixels[u], above[u]) : pixels[u];
        std::memcpy(out + 3 * u, &filtered, 4);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same four pixels at a time: a bytewise subtraction, and a shuffle
// that drops every fourth byte.
__attribute__((target("ssse3"))) void filterPixelsSsse3(std::uint8_t* out, const std::uint32_t* pixels,
                                                         const std::uint32_t* above, std::size_t count) {
    const __m128i dropFourth = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::size_t u = 0;
    for (; u + 4 <= count; u += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + u));
        if (above) v = _mm_sub_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + u)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * u), _mm_shuffle_epi8(v, dropFourth));
    }
    filterPixelsPlain(out + 3 * u, pixels + u, above ? above + u : nullptr, count - u);
}
#endif

void filterPixels(std::uint8_t* out, const std::uint32_t* pixels, const std::uint32_t* above, std::size_t count) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3) return filterPixelsSsse3(out, pixels, above, count);
#endif
    filterPixelsPlain(out, pixels, above, count);
}

// A bitmap written as its rows come: the header first, then each row in its
// place (the file holds the bottom row first). Rows that follow each other
// lie side by side in the file, the later one before: they are gathered,
// from the end of a buffer towards its start, and written in one go, a few
// hundred kilobytes at a time instead of a system call a row. A split
// picture's halves come side by side, so there are two such runs.
class BitmapSink : public PictureSink {
public:
    BitmapSink(std::string path, std::unique_ptr<SafeFile> file, std::int64_t width, std::int64_t height)
        : path_(std::move(path)), file_(std::move(file)), width_(width), height_(height),
          rowBytes_(static_cast<std::size_t>(bitmapRowBytes(width))),
          rowsAtOnce_(std::max<std::size_t>(1, kGatherBytes / rowBytes_)) {
        for (Run& run : runs_) run.bytes.resize(rowsAtOnce_ * rowBytes_);
    }

    bool start(const BitmapViewNote* note) {
        const std::vector<std::uint8_t> header = bitmapHeader(width_, height_, note);
        headerSize_ = static_cast<std::int64_t>(header.size());
        return file_->write(header.data(), header.size()) || failed();
    }
    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        Run* run = nullptr;
        for (Run& r : runs_)
            if (r.rows > 0 && v == r.first + static_cast<std::int64_t>(r.rows)) run = &r;
        if (!run) {
            // A new run takes the place of the one that has waited longer.
            run = runs_[0].rows == 0 || (runs_[1].rows > 0 && runs_[0].age < runs_[1].age) ? &runs_[0] : &runs_[1];
            if (!put(*run)) return false;
            run->first = v;
            run->age = ++runsStarted_;
        }
        encodeBitmapRow(pixels, width_, run->bytes.data() + (rowsAtOnce_ - 1 - run->rows) * rowBytes_);
        return ++run->rows < rowsAtOnce_ || put(*run);
    }
    bool finish() override { return (put(runs_[0]) && put(runs_[1]) && file_->commit()) || failed(); }
    std::string failure() const override { return failure_; }

private:
    static constexpr std::size_t kGatherBytes = std::size_t{256} << 10;

    struct Run {
        std::vector<std::uint8_t> bytes;
        std::int64_t first = 0;  // its top row
        std::size_t rows = 0;    // gathered, at the end of `bytes`
        std::int64_t age = 0;
    };

    // Writes the run's rows into their place and empties it.
    bool put(Run& run) {
        if (run.rows == 0) return true;
        const std::int64_t bottom = run.first + static_cast<std::int64_t>(run.rows) - 1;
        const std::int64_t at = headerSize_ + (height_ - 1 - bottom) * static_cast<std::int64_t>(rowBytes_);
        const std::size_t skip = (rowsAtOnce_ - run.rows) * rowBytes_;
        run.rows = 0;
        return file_->writeAt(at, run.bytes.data() + skip, run.bytes.size() - skip) || failed();
    }

    bool failed() {
        if (failure_.empty()) failure_ = "cannot write \"" + path_ + "\": " + file_->why();
        return false;
    }

    std::string path_;
    std::unique_ptr<SafeFile> file_;
    std::int64_t width_, height_, headerSize_ = 0;
    std::size_t rowBytes_, rowsAtOnce_;
    std::array<Run, 2> runs_;
    std::int64_t runsStarted_ = 0;
    std::string failure_;
};

// One run of a PNG's rows, top row first, as raw deflate: each row as the
// PNG's scanline, the first unfiltered, the others as their bytes' differences
// from the row above (the "up" filter), compressed by RunDeflater, which
// looks for runs only. Large flat areas and long bands leave rows of zeros
// after the filter, which runs shrink best; this makes files a sixth to a
// third larger than libpng's default, many times as fast (docs/ENGINE.md).
// The run's Adler-32 and length are kept, so that two runs can be joined
// into the one zlib stream of a picture.
class RowDeflater {
public:
    using Output = RunDeflater::Output;

    // The scanline has four bytes to spare at its end, which the filter
    // may write.
    RowDeflater(std::int64_t width, Output out)
        : deflater_(std::move(out)), width_(static_cast<std::size_t>(width)), above_(width_), scanline_(1 + 3 * width_ + 4) {}

    // The next row: colour numbers 0xBBGGRR, which are the bytes R, G, B.
    bool add(const std::uint32_t* pixels) {
        std::uint8_t* line = scanline_.data();
        const bool first = length_ == 0;
        line[0] = first ? kFilterNone : kFilterUp;
        filterPixels(line + 1, pixels, first ? nullptr : above_.data(), width_);
        std::copy(pixels, pixels + width_, above_.begin());
        const std::size_t size = 1 + 3 * width_;
        adler_ = adler32Of(adler_, line, size);
        length_ += size;
        return deflater_.add(line, size);
    }

    // Ends the run: the last of the stream (its final block), or one that
    // more raw deflate may follow (ending on a whole byte).
    bool end(bool last) { return deflater_.end(last); }

    std::uint32_t adler() const { return adler_; }
    std::uint64_t length() const { return length_; }

private:
    static constexpr std::uint8_t kFilterNone = 0, kFilterUp = 2;

    RunDeflater deflater_;
    std::size_t width_;
    std::vector<std::uint32_t> above_;  // the row above, as it came
    std::vector<std::uint8_t> scanline_;
    std::uint32_t adler_ = 1;
    std::uint64_t length_ = 0;
};

// A run of rows compressed on a thread of its own: the rows handed to it
// wait in a short line (copied, so the caller's row may change at once),
// and the thread filters and compresses them in turn, handing the bytes to
// `out`, which it alone calls. A split picture's lower half goes this way,
// so that its compression runs beside the upper half's and the engine's
// workers instead of after them on the one writing thread.
class RowDeflaterThread {
public:
    // `out` returns false, with its reason in `why`, when it cannot take
    // the bytes; the run then stops, and add() and end() return false.
    using Output = std::function<bool(const std::uint8_t*, std::size_t, std::string& why)>;

    RowDeflaterThread(std::int64_t width, Output out)
        : out_(std::move(out)), width_(static_cast<std::size_t>(width)),
          rows_(width, [this](const std::uint8_t* d, std::size_t n) { return out_(d, n, why_); }),
          line_(kWaitingRows, std::vector<std::uint32_t>(width_)), thread_([this] { work(); }) {}

    ~RowDeflaterThread() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    bool add(const std::uint32_t* pixels) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return handed_ - compressed_ < kWaitingRows || !ok_; });
        if (!ok_) return false;
        std::vector<std::uint32_t>& row = line_[handed_ % kWaitingRows];
        lock.unlock();
        std::copy(pixels, pixels + width_, row.begin());
        lock.lock();
        ++handed_;
        changed_.notify_all();
        return true;
    }

    // Waits for every row handed, and ends the run as RowDeflater::end does.
    bool end(bool last) {
        std::unique_lock<std::mutex> lock(mutex_);
        ending_ = true;
        last_ = last;
        changed_.notify_all();
        changed_.wait(lock, [this] { return ended_; });
        return ok_;
    }

    // Valid once end() has returned.
    std::uint32_t adler() const { return rows_.adler(); }
    std::uint64_t length() const { return rows_.length(); }
    const std::string& why() const { return why_; }

private:
    static constexpr std::size_t kWaitingRows = 16;

    void work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stopping_ || compressed_ < handed_ || ending_; });
            if (stopping_) return;
            if (compressed_ < handed_ && ok_) {
                const std::vector<std::uint32_t>& row = line_[compressed_ % kWaitingRows];
                lock.unlock();
                const bool added = rows_.add(row.data());
                lock.lock();
                ok_ = ok_ && added;
                ++compressed_;
                changed_.notify_all();
                continue;
            }
            // Every row compressed and the run ending, or the run failed.
            if (ok_) {
                lock.unlock();
                const bool ended = rows_.end(last_);
                lock.lock();
                ok_ = ended;
            }
            ended_ = true;
            changed_.notify_all();
            return;
        }
    }

    Output out_;
    std::size_t width_;
    std::string why_;  // written by the thread, read once it has ended
    RowDeflater rows_;
    std::vector<std::vector<std::uint32_t>> line_;  // rows waiting, by number of the row handed mod kWaitingRows
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t handed_ = 0, compressed_ = 0;
    bool ok_ = true, ending_ = false, last_ = false, ended_ = false, stopping_ = false;
    std::thread thread_;  // last, so that it starts after everything it uses
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// A PNG written as its rows come. libpng writes the signature and the
// chunks; the image data is one zlib stream of the rows, compressed as they
// come. Rows come top row first, except that a split picture's two halves
// come side by side: the lower half's rows are then compressed as a run of
// their own, on a thread of their own, into a temporary file (a few
// megabytes where the picture's pixels take gigabytes) and joined to the
// upper half's at the end, so each point of the picture is computed once.
//
// libpng reports errors by a long jump to the setjmp of the function that
// called it; each member that calls libpng sets one, and no object with a
// destructor lives between it and the calls.
class PngSink : public PictureSink {
public:
    PngSink(std::string path, std::unique_ptr<SafeFile> file, std::int64_t width, std::int64_t height)
        : path_(std::move(path)), file_(std::move(file)), width_(width), height_(height),
          upper_(width, [this](const std::uint8_t* d, std::size_t n) { return putImageData(d, n); }) {
        imageData_.reserve(kImageChunk);
    }
    ~PngSink() override {
        if (png_) png_destroy_write_struct(&png_, &info_);
    }

    bool start(const std::vector<PictureText>& texts) {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, onError, onWarning);
        if (!png_) return failed("cannot start the PNG");
        info_ = png_create_info_struct(png_);
        if (!info_) return failed("cannot start the PNG");
        std::vector<png_text> chunks(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
            chunks[i].key = const_cast<char*>(texts[i].keyword.c_str());
            chunks[i].text = const_cast<char*>(texts[i].text.c_str());
            chunks[i].text_length = texts[i].text.size();
        }
        if (!writeHeader(chunks)) return false;
        // The zlib stream's header: deflate with a 32 KB window, the quickest level.
        const std::uint8_t zlibHeader[] = {0x78, 0x01};
        return putImageData(zlibHeader, sizeof zlibHeader);
    }

    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        if (v == nextUpper_ && (!lower_ || v < lowerStart_)) {
            ++nextUpper_;
            return upper_.add(pixels) || failed("cannot compress");
        }
        if (!lower_ && v > nextUpper_ && v < height_ && !startLowerRun(v)) return false;
        if (!lower_ || v != nextLower_) return failed("rows out of order");
        ++nextLower_;
        return lower_->add(pixels) || failedLower();
    }

    bool finish() override {
        const bool allRows = lower_ ? nextUpper_ == lowerStart_ && nextLower_ == height_ : nextUpper_ == height_;
        if (!allRows) return failed("rows missing");
        if (!upper_.end(!lower_)) return failed("cannot compress");
        uLong adler = upper_.adler();
        if (lower_) {
            if (!lower_->end(true)) return failedLower();
            if (!putLowerRun()) return false;
            adler = adler32_combine64(adler, lower_->adler(), static_cast<z_off64_t>(lower_->length()));
        }
        const std::uint8_t trailer[] = {static_cast<std::uint8_t>(adler >> 24), static_cast<std::uint8_t>(adler >> 16),
                                        static_cast<std::uint8_t>(adler >> 8), static_cast<std::uint8_t>(adler)};
        if (!putImageData(trailer, sizeof trailer) || !writeChunk("IDAT", imageData_.data(), imageData_.size()) ||
            !writeChunk("IEND", nullptr, 0))
            return false;
        return (writePending() && file_->commit()) || failed();
    }
    std::string failure() const override { return failure_; }

private:
    static constexpr std::size_t kImageChunk = std::size_t{1} << 18;
    static constexpr std::size_t kPendingBytes = std::size_t{1} << 16;

    bool writeHeader(std::vector<png_text>& chunks) {
        if (setjmp(png_jmpbuf(png_))) return failed();
        png_set_write_fn(png_, this, onWrite, nullptr);
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (!chunks.empty()) png_set_text(png_, info_, chunks.data(), static_cast<int>(chunks.size()));
        png_write_info(png_, info_);
        return true;
    }

    bool writeChunk(const char* type, const std::uint8_t* data, std::size_t size) {
        if (setjmp(png_jmpbuf(png_))) return failed();
        png_write_chunk(png_, reinterpret_cast<png_const_bytep>(type), data, size);
        return true;
    }

    // Bytes of the zlib stream, written as IDAT chunks of kImageChunk bytes.
    bool putImageData(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const std::size_t n = std::min(size, kImageChunk - imageData_.size());
            imageData_.insert(imageData_.end(), data, data + n);
            data += n;
            size -= n;
            if (imageData_.size() == kImageChunk) {
                if (!writeChunk("IDAT", imageData_.data(), imageData_.size())) return false;
                imageData_.clear();
            }
        }
        return true;
    }

    bool startLowerRun(std::int64_t v) {
        spill_.reset(std::tmpfile());
        if (!spill_) return failed(std::string("cannot keep the lower half aside: ") + std::strerror(errno));
        std::FILE* spill = spill_.get();
        lower_ = std::make_unique<RowDeflaterThread>(width_, [spill](const std::uint8_t* d, std::size_t n, std::string& why) {
            if (std::fwrite(d, 1, n, spill) == n) return true;
            why = std::string("cannot keep the lower half aside: ") + std::strerror(errno);
            return false;
        });
        lowerStart_ = nextLower_ = v;
        return true;
    }

    // The lower half's compressed run, from its temporary file into the stream.
    bool putLowerRun() {
        std::FILE* f = spill_.get();
        if (std::fflush(f) != 0 || std::fseek(f, 0, SEEK_SET) != 0)
            return failed(std::string("cannot keep the lower half aside: ") + std::strerror(errno));
        std::vector<std::uint8_t> buffer(kImageChunk);
        for (;;) {
            const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), f);
            if (n > 0 && !putImageData(buffer.data(), n)) return false;
            if (n < buffer.size()) break;
        }
        return !std::ferror(f) || failed("cannot read the lower half back");
    }

    // libpng writes a chunk's length, type, data and check apart: the small
    // pieces are gathered, so that a frame of a film is a few calls to the
    // system, not a score of them.
    bool putBytes(const std::uint8_t* data, std::size_t size) {
        if (pending_.size() + size > kPendingBytes) {
            if (!writePending()) return false;
            if (size >= kPendingBytes) return file_->write(data, size);
        }
        pending_.insert(pending_.end(), data, data + size);
        return true;
    }
    bool writePending() {
        const bool ok = pending_.empty() || file_->write(pending_.data(), pending_.size());
        pending_.clear();
        return ok;
    }
    static void onWrite(png_structp png, png_bytep data, png_size_t size) {
        if (!static_cast<PngSink*>(png_get_io_ptr(png))->putBytes(data, size)) png_error(png, "write");
    }
    static void onError(png_structp png, png_const_charp message) {
        static_cast<PngSink*>(png_get_error_ptr(png))->pngMessage_ = message;
        png_longjmp(png, 1);
    }
    static void onWarning(png_structp, png_const_charp) {}

    bool failedLower() { return failed(lower_->why().empty() ? "cannot compress" : lower_->why()); }

    // A failed write of the file gives the system's reason; anything else
    // libpng's or ours. The first reason stays.
    bool failed(const std::string& what = {}) {
        if (!failure_.empty()) return false;
        failure_ = "cannot write \"" + path_ + "\": " +
                   (!file_->why().empty() ? file_->why() : "PNG: " + (what.empty() ? pngMessage_ : what));
        return false;
    }

    std::string path_;
    std::unique_ptr<SafeFile> file_;
    std::int64_t width_, height_;
    std::string failure_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::string pngMessage_;
    std::vector<std::uint8_t> imageData_;  // of the next IDAT chunk
    std::vector<std::uint8_t> pending_;    // small pieces not yet written to the file
    RowDeflater upper_;                    // the rows from the top
    std::int64_t nextUpper_ = 0;
    // A split picture's lower half, compressed aside while the upper half comes.
    std::unique_ptr<std::FILE, FileCloser> spill_;
    std::unique_ptr<RowDeflaterThread> lower_;  // after spill_, so that its thread ends first
    std::int64_t lowerStart_ = 0, nextLower_ = 0;
};

bool endsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    return std::equal(end.rbegin(), end.rend(), text.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

}  // namespace

std::optional<PictureFormat> pictureFormatOf(const std::string& path) {
    if (endsWith(path, ".bmp")) return PictureFormat::Bitmap;
    if (endsWith(path, ".png")) return PictureFormat::Png;
    return std::nullopt;
}

std::unique_ptr<PictureSink> openPictureFile(const std::string& path, PictureFormat format, std::int64_t width,
                                             std::int64_t height, const std::vector<PictureText>& texts,
                                             std::string& failure, const BitmapViewNote* note) {
    auto file = std::make_unique<SafeFile>(path);
    if (!file->isOpen()) {
        failure = "cannot write \"" + path + "\": " + file->why();
        return nullptr;
    }
    if (format == PictureFormat::Bitmap) {
        auto sink = std::make_unique<BitmapSink>(path, std::move(file), width, height);
        if (sink->start(note)) return sink;
        failure = sink->failure();
        return nullptr;
    }
    auto sink = std::make_unique<PngSink>(path, std::move(file), width, height);
    if (sink->start(texts)) return sink;
    failure = sink->failure();
    return nullptr;
}

}  // namespace qel
