#include "files/picture_output.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>

#include "files/bitmap.h"
#include "files/safe_file.h"

namespace qel {

namespace {

class BitmapSink : public PictureSink {
public:
    BitmapSink(std::string path, std::unique_ptr<SafeFile> file, std::int64_t width, std::int64_t height)
        : path_(std::move(path)), file_(std::move(file)), width_(width), height_(height),
          row_(static_cast<std::size_t>(bitmapRowBytes(width))) {}

    bool start(const BitmapViewNote* note) {
        const std::vector<std::uint8_t> header = bitmapHeader(width_, height_, note);
        headerSize_ = static_cast<std::int64_t>(header.size());
        return file_->write(header.data(), header.size()) || failed();
    }
    bool needsRowsInOrder() const override { return false; }
    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        encodeBitmapRow(pixels, width_, row_.data());
        const std::int64_t at = headerSize_ + (height_ - 1 - v) * static_cast<std::int64_t>(row_.size());
        return file_->writeAt(at, row_.data(), row_.size()) || failed();
    }
    bool finish() override { return file_->commit() || failed(); }
    std::string failure() const override { return failure_; }

private:
    bool failed() {
        failure_ = "cannot write \"" + path_ + "\": " + file_->why();
        return false;
    }

    std::string path_;
    std::unique_ptr<SafeFile> file_;
    std::int64_t width_, height_, headerSize_ = 0;
    std::string failure_;
    std::vector<std::uint8_t> row_;
};

// libpng reports errors by a long jump to the setjmp of the function that
// called it; each member that calls libpng sets one, and no object with a
// destructor lives between it and the calls.
class PngSink : public PictureSink {
public:
    PngSink(std::string path, std::unique_ptr<SafeFile> file, std::int64_t width, std::int64_t height)
        : path_(std::move(path)), file_(std::move(file)), width_(width), height_(height),
          row_(static_cast<std::size_t>(width) * 3) {}
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
        return writeHeader(chunks);
    }
    bool needsRowsInOrder() const override { return true; }
    bool putRow(std::int64_t v, const std::uint32_t* pixels) override {
        if (v != nextRow_) return failed("rows out of order");
        for (std::int64_t u = 0; u < width_; ++u) {
            const std::uint32_t c = pixels[u];
            png_byte* p = &row_[static_cast<std::size_t>(u) * 3];
            p[0] = static_cast<png_byte>(c);
            p[1] = static_cast<png_byte>(c >> 8);
            p[2] = static_cast<png_byte>(c >> 16);
        }
        if (setjmp(png_jmpbuf(png_))) return failed();
        png_write_row(png_, row_.data());
        ++nextRow_;
        return true;
    }
    bool finish() override {
        if (nextRow_ != height_) return failed("rows missing");
        if (setjmp(png_jmpbuf(png_))) return failed();
        png_write_end(png_, info_);
        return file_->commit() || failed();
    }
    std::string failure() const override { return failure_; }

private:
    bool writeHeader(std::vector<png_text>& chunks) {
        if (setjmp(png_jmpbuf(png_))) return failed();
        png_set_write_fn(png_, this, onWrite, nullptr);
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (!chunks.empty()) png_set_text(png_, info_, chunks.data(), static_cast<int>(chunks.size()));
        // Large flat areas and long bands: the quickest compression, runs
        // only, after the "up" filter, makes files a sixth to a third larger
        // than libpng's default, four times as fast (docs/ENGINE.md).
        png_set_compression_level(png_, 1);
        png_set_compression_strategy(png_, Z_RLE);
        png_set_filter(png_, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_compression_buffer_size(png_, 1 << 20);
        png_write_info(png_, info_);
        return true;
    }

    static void onWrite(png_structp png, png_bytep data, png_size_t size) {
        auto* self = static_cast<PngSink*>(png_get_io_ptr(png));
        if (!self->file_->write(data, size)) png_error(png, "write");
    }
    static void onError(png_structp png, png_const_charp message) {
        static_cast<PngSink*>(png_get_error_ptr(png))->pngMessage_ = message;
        png_longjmp(png, 1);
    }
    static void onWarning(png_structp, png_const_charp) {}

    // A failed write of the file gives the system's reason; anything else
    // libpng's or ours.
    bool failed(const char* what = nullptr) {
        failure_ = "cannot write \"" + path_ + "\": " +
                   (!file_->why().empty() ? file_->why() : std::string("PNG: ") + (what ? what : pngMessage_.c_str()));
        return false;
    }

    std::string path_;
    std::unique_ptr<SafeFile> file_;
    std::int64_t width_, height_, nextRow_ = 0;
    std::string failure_;
    std::vector<png_byte> row_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::string pngMessage_;
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
