// Films written by the video output and read back by FFmpeg's own decoders:
// every frame sent is in the file at its size and rate, a frame's pixels
// come back close to what was sent, a film ended midway holds the frames
// sent before, and files that cannot be written are refused with a reason.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "files/video_output.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace qel {
namespace {

namespace fs = std::filesystem;

struct Decoded {
    int frames = 0, width = 0, height = 0;
    AVRational rate{0, 1};
    std::string codec;
    int planes = -1;  // the stream's pixel format
    std::vector<std::uint32_t> frame;  // the frame asked for, as colour numbers
};

// Every frame of the file, decoded; frame `keep` converted back to colour
// numbers.
Decoded decode(const std::string& path, int keep) {
    Decoded d;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return d;
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        avformat_close_input(&format);
        return d;
    }
    AVStream* stream = format->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    avcodec_open2(decoder, codec, nullptr);
    d.width = stream->codecpar->width;
    d.height = stream->codecpar->height;
    d.rate = stream->avg_frame_rate;
    d.codec = codec->name;
    d.planes = stream->codecpar->format;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const auto take = [&] {
        while (avcodec_receive_frame(decoder, frame) == 0) {
            if (d.frames == keep) {
                d.frame.resize(static_cast<std::size_t>(d.width * d.height));
                SwsContext* toRgb = sws_getContext(d.width, d.height, static_cast<AVPixelFormat>(frame->format), d.width,
                                                   d.height, AV_PIX_FMT_RGB0, SWS_BILINEAR, nullptr, nullptr, nullptr);
                const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
                sws_setColorspaceDetails(toRgb, bt709, 0, bt709, 1, 0, 1 << 16, 1 << 16);
                std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(d.frame.data())};
                const int stride[1] = {4 * d.width};
                sws_scale(toRgb, frame->data, frame->linesize, 0, d.height, planes, stride);
                sws_freeContext(toRgb);
            }
            ++d.frames;
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index) {
            avcodec_send_packet(decoder, packet);
            take();
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    take();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return d;
}

// A frame of smooth colours that moves from frame to frame: red across,
// green down, blue with the frame.
std::vector<std::uint32_t> pattern(int w, int h, int i) {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[static_cast<std::size_t>(y * w + x)] = static_cast<std::uint32_t>(
                (40 + 170 * x / w) | (30 + 180 * y / h) << 8 | ((20 + 9 * i) & 0xFF) << 16);
    return p;
}

int largestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    int most = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
    return most;
}

class VideoFiles : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qel-video-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(VideoFiles, EveryFrameComesBackAtItsSizeAndRateWithItsPixels) {
    struct Case {
        const char* name;
        VideoFormat format;
        const char* codec;
    };
    const int w = 96, h = 64, frames = 40, fps = 24;
    for (const Case c : {Case{"film.mp4", VideoFormat::Mp4, "h264"}, Case{"film.mkv", VideoFormat::Matroska, "h264"},
                         Case{"film.webm", VideoFormat::WebM, "vp9"}}) {
        SCOPED_TRACE(c.name);
        std::string failure;
        std::unique_ptr<VideoOutput> out = VideoOutput::open(path(c.name), c.format, w, h, fps, failure);
        ASSERT_TRUE(out) << failure;
        for (int i = 0; i < frames; ++i) ASSERT_TRUE(out->putFrame(pattern(w, h, i).data())) << out->failure();
        ASSERT_TRUE(out->finish()) << out->failure();
        EXPECT_EQ(out->framesSent(), frames);
        EXPECT_EQ(out->framesKept(), frames);
        const Decoded d = decode(path(c.name), 17);
        EXPECT_EQ(d.frames, frames);
        EXPECT_EQ(d.width, w);
        EXPECT_EQ(d.height, h);
        EXPECT_EQ(d.rate.num, fps);
        EXPECT_EQ(d.rate.den, 1);
        EXPECT_EQ(d.codec, c.codec);
        // Smooth colours survive the encoder within a few levels; frame 17
        // is told from its neighbours by its blue.
        ASSERT_EQ(d.frame.size(), static_cast<std::size_t>(w * h));
        EXPECT_LE(largestDifference(d.frame, pattern(w, h, 17)), 12);
        EXPECT_GT(largestDifference(d.frame, pattern(w, h, 20)), 20);
    }
}

TEST_F(VideoFiles, FullColourKeepsTheColourOfEveryPixel) {
    // Red and blue in a checkerboard: at half colour resolution the two
    // share their colour and come back alike; at full, each keeps its own.
    const int w = 64, h = 48, frames = 6;
    std::vector<std::uint32_t> board(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) board[static_cast<std::size_t>(y * w + x)] = (x + y) % 2 ? 0xC00000u : 0x0000C0u;
    for (const char* name : {"colour.mp4", "colour.webm"}) {
        for (const bool full : {false, true}) {
            SCOPED_TRACE(testing::Message() << name << (full ? " full" : " half"));
            std::string failure;
            std::unique_ptr<VideoOutput> out =
                VideoOutput::open(path(name), *videoFormatOf(name), w, h, 24, failure, full);
            ASSERT_TRUE(out) << failure;
            for (int i = 0; i < frames; ++i) ASSERT_TRUE(out->putFrame(board.data())) << out->failure();
            ASSERT_TRUE(out->finish()) << out->failure();
            const Decoded d = decode(path(name), frames - 1);
            EXPECT_EQ(d.frames, frames);
            EXPECT_EQ(d.planes, full ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P);
            ASSERT_EQ(d.frame.size(), board.size());
            if (full) EXPECT_LE(largestDifference(d.frame, board), 40);
            else EXPECT_GT(largestDifference(d.frame, board), 80);
        }
    }
}

TEST_F(VideoFiles, AFilmEndedMidwayHoldsTheFramesSentBeforeTheEnd) {
    // A stop after k frames finishes the file at once: it plays k frames,
    // whether k falls on a key frame (one a second) or not.
    const int w = 64, h = 48;
    for (const int k : {1, 24, 37}) {
        for (const char* name : {"stop.mp4", "stop.mkv"}) {
            SCOPED_TRACE(testing::Message() << name << " after " << k);
            std::string failure;
            std::unique_ptr<VideoOutput> out = VideoOutput::open(path(name), *videoFormatOf(name), w, h, 24, failure);
            ASSERT_TRUE(out) << failure;
            for (int i = 0; i < k; ++i) ASSERT_TRUE(out->putFrame(pattern(w, h, i).data()));
            ASSERT_TRUE(out->finish());
            EXPECT_EQ(out->framesKept(), k);
            EXPECT_EQ(decode(path(name), 0).frames, k);
        }
    }
}

TEST_F(VideoFiles, FilesThatCannotBeWrittenAreRefusedWithAReason) {
    std::string failure;
    EXPECT_FALSE(VideoOutput::open(path("no/such/folder/film.mp4"), VideoFormat::Mp4, 64, 48, 30, failure));
    EXPECT_NE(failure.find("cannot write"), std::string::npos) << failure;
    // A full disk: every write fails once the encoder's first pieces go out.
    fs::create_symlink("/dev/full", path("full.mkv"));
    failure.clear();
    std::unique_ptr<VideoOutput> out = VideoOutput::open(path("full.mkv"), VideoFormat::Matroska, 64, 48, 30, failure);
    bool refused = !out;
    for (int i = 0; out && !refused && i < 200; ++i) refused = !out->putFrame(pattern(64, 48, i).data());
    if (out && !refused) refused = !out->finish();
    EXPECT_TRUE(refused);
    if (out) {
        EXPECT_FALSE(out->failure().empty());
        EXPECT_EQ(out->framesKept(), 0);
    } else {
        EXPECT_FALSE(failure.empty());
    }
}

TEST(VideoFormats, TheNameSaysTheFormat) {
    EXPECT_EQ(videoFormatOf("zoom.mp4"), VideoFormat::Mp4);
    EXPECT_EQ(videoFormatOf("ZOOM.MKV"), VideoFormat::Matroska);
    EXPECT_EQ(videoFormatOf("a/b.webm"), VideoFormat::WebM);
    EXPECT_EQ(videoFormatOf("zoom.png"), std::nullopt);
    EXPECT_EQ(videoFormatOf(".mp4"), std::nullopt);
    EXPECT_EQ(videoFormatOf("mp4"), std::nullopt);
}

}  // namespace
}  // namespace qel
