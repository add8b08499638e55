#include "files/video_output.h"

#include <algorithm>
#include <cctype>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace qel {

namespace {

std::string lowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string errorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(code, text, sizeof text);
    return text;
}

struct Settings {
    const char* muxer;
    const char* encoder;
};

Settings settingsOf(VideoFormat format) {
    switch (format) {
    case VideoFormat::Mp4:
        return {"mp4", "libx264"};
    case VideoFormat::Matroska:
        return {"matroska", "libx264"};
    default:
        return {"webm", "libvpx-vp9"};
    }
}

class FfmpegOutput : public VideoOutput {
public:
    ~FfmpegOutput() override { close(); }

    bool start(const std::string& path, VideoFormat format, int width, int height, int fps, bool fullColour,
               std::string& failure) {
        width_ = width;
        const AVPixelFormat planes = fullColour ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P;
        height_ = height;
        const Settings settings = settingsOf(format);
        if (avformat_alloc_output_context2(&format_, nullptr, settings.muxer, path.c_str()) < 0 || !format_)
            return fail(failure, "this FFmpeg has no " + std::string(settings.muxer) + " writer");
        const AVCodec* codec = avcodec_find_encoder_by_name(settings.encoder);
        if (!codec) return fail(failure, "this FFmpeg has no " + std::string(settings.encoder) + " encoder");
        stream_ = avformat_new_stream(format_, nullptr);
        encoder_ = avcodec_alloc_context3(codec);
        if (!stream_ || !encoder_) return fail(failure, "out of memory");
        encoder_->width = width;
        encoder_->height = height;
        encoder_->pix_fmt = planes;
        encoder_->time_base = AVRational{1, fps};
        encoder_->framerate = AVRational{fps, 1};
        // A key frame every second: a cut-off file loses at most a second.
        encoder_->gop_size = fps;
        encoder_->color_range = AVCOL_RANGE_MPEG;
        encoder_->colorspace = AVCOL_SPC_BT709;
        encoder_->color_primaries = AVCOL_PRI_BT709;
        encoder_->color_trc = AVCOL_TRC_IEC61966_2_1;
        if (format_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* options = nullptr;
        if (format == VideoFormat::WebM) {
            // Realtime speed at a constant quality.
            av_dict_set(&options, "deadline", "realtime", 0);
            av_dict_set(&options, "cpu-used", "8", 0);
            av_dict_set(&options, "row-mt", "1", 0);
            av_dict_set(&options, "crf", "30", 0);
            encoder_->bit_rate = 0;
        } else {
            av_dict_set(&options, "preset", "veryfast", 0);
            av_dict_set(&options, "crf", "20", 0);
        }
        int code = avcodec_open2(encoder_, codec, &options);
        av_dict_free(&options);
        if (code < 0) return fail(failure, "cannot start the encoder: " + errorText(code));
        avcodec_parameters_from_context(stream_->codecpar, encoder_);
        stream_->time_base = encoder_->time_base;
        stream_->avg_frame_rate = encoder_->framerate;
        if ((code = avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0)
            return fail(failure, "cannot write \"" + path + "\": " + errorText(code));
        AVDictionary* muxing = nullptr;
        // Fragments that each play on their own, each starting at a key frame.
        if (format == VideoFormat::Mp4) av_dict_set(&muxing, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
        code = avformat_write_header(format_, &muxing);
        av_dict_free(&muxing);
        if (code < 0) return fail(failure, "cannot write \"" + path + "\": " + errorText(code));
        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        if (!frame_ || !packet_) return fail(failure, "out of memory");
        frame_->format = planes;
        frame_->width = width;
        frame_->height = height;
        if (av_frame_get_buffer(frame_, 0) < 0) return fail(failure, "out of memory");
        scaler_ = sws_getContext(width, height, AV_PIX_FMT_RGB0, width, height, planes, SWS_BILINEAR,
                                 nullptr, nullptr, nullptr);
        if (!scaler_) return fail(failure, "cannot convert the frames' colours");
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(scaler_, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
        return true;
    }

    bool putFrame(const std::uint32_t* pixels) override {
        if (!failure_.empty()) return false;
        if (av_frame_make_writable(frame_) < 0) return failWith("out of memory");
        // Colour numbers hold red in the low byte: in memory R, G, B, unused.
        const std::uint8_t* source[1] = {reinterpret_cast<const std::uint8_t*>(pixels)};
        const int stride[1] = {4 * width_};
        sws_scale(scaler_, source, stride, 0, height_, frame_->data, frame_->linesize);
        frame_->pts = sent_;
        ++sent_;
        return encode(frame_);
    }

    bool finish() override {
        if (!failure_.empty()) {
            close();
            return false;
        }
        bool ok = encode(nullptr);
        if (ok) {
            const int code = av_write_trailer(format_);
            if (code < 0 || (format_->pb && format_->pb->error < 0))
                ok = failWith("cannot finish the file: " + errorText(code < 0 ? code : format_->pb->error));
        }
        if (ok) kept_ = sent_;
        close();
        return ok && failure_.empty();
    }

    int framesSent() const override { return sent_; }
    int framesKept() const override { return kept_; }
    std::string failure() const override { return failure_; }

private:
    static bool fail(std::string& failure, const std::string& why) {
        failure = why;
        return false;
    }

    bool failWith(const std::string& why) {
        if (failure_.empty()) failure_ = why;
        return false;
    }

    // Sends a frame (none: the end) and writes every packet the encoder has
    // ready.
    bool encode(const AVFrame* frame) {
        int code = avcodec_send_frame(encoder_, frame);
        if (code < 0) return failWith("the encoder refused a frame: " + errorText(code));
        for (;;) {
            code = avcodec_receive_packet(encoder_, packet_);
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
            if (code < 0) return failWith("the encoder failed: " + errorText(code));
            const bool key = (packet_->flags & AV_PKT_FLAG_KEY) != 0;
            const std::int64_t index = packet_->pts;
            av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            code = av_interleaved_write_frame(format_, packet_);
            // A key frame starts a new piece: the pieces before it are
            // complete, and once on the disk, so are the frames before it.
            if (code >= 0 && key) avio_flush(format_->pb);
            if (code >= 0 && format_->pb->error < 0) code = format_->pb->error;
            if (code < 0) return failWith("cannot write the film: " + errorText(code));
            if (key) kept_ = std::max(kept_, static_cast<int>(index));
        }
    }

    void close() {
        if (encoder_) avcodec_free_context(&encoder_);
        if (format_) {
            // A file that failed keeps what reached the disk.
            if (format_->pb) avio_closep(&format_->pb);
            avformat_free_context(format_);
            format_ = nullptr;
        }
        if (frame_) av_frame_free(&frame_);
        if (packet_) av_packet_free(&packet_);
        if (scaler_) sws_freeContext(scaler_);
        scaler_ = nullptr;
    }

    int width_ = 0, height_ = 0;
    AVFormatContext* format_ = nullptr;
    AVStream* stream_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int sent_ = 0, kept_ = 0;
    std::string failure_;
};

}  // namespace

std::optional<VideoFormat> videoFormatOf(const std::string& path) {
    const std::string name = lowerCase(path);
    if (endsWith(name, ".mp4")) return VideoFormat::Mp4;
    if (endsWith(name, ".mkv")) return VideoFormat::Matroska;
    if (endsWith(name, ".webm")) return VideoFormat::WebM;
    return std::nullopt;
}

std::unique_ptr<VideoOutput> VideoOutput::open(const std::string& path, VideoFormat format, int width, int height,
                                               int fps, std::string& failure, bool fullColour) {
    // The reasons of failures are said by the caller, once.
    av_log_set_level(AV_LOG_QUIET);
    auto output = std::make_unique<FfmpegOutput>();
    if (!output->start(path, format, width, height, fps, fullColour, failure)) return nullptr;
    return output;
}

}  // namespace qel
