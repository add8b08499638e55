// Films as video files, encoded by FFmpeg's libraries as the frames come:
// H.264 in fragmented MP4 (.mp4) or in Matroska (.mkv), VP9 in WebM
// (.webm). Nothing but the film itself touches the disk. A fragmented MP4
// and Matroska are written in pieces that each play on their own, so a file
// whose writing was cut off (a full disk, a killed process) plays up to the
// last piece that reached the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qel {

enum class VideoFormat { Mp4, Matroska, WebM };

// The format a file name asks for: ".mp4", ".mkv" or ".webm", in any case;
// none for another extension.
std::optional<VideoFormat> videoFormatOf(const std::string& path);

// The largest film and the frame rates a film may have.
constexpr int kMostFilmWidth = 3840;
constexpr int kMostFilmHeight = 2160;
constexpr int kMostFilmFps = 120;

class VideoOutput {
public:
    // The film `path` of width x height pixels (even numbers, for the
    // encoder's half-resolution colour planes) at `fps` frames a second;
    // none, with the reason in `failure`, when it cannot be started. The
    // colour is kept for every other pixel each way (4:2:0), as every player
    // plays it; with `fullColour` for every pixel (4:4:4: H.264's High 4:4:4
    // profile, VP9's profile 1), which keeps a fractal's fine colours but
    // which browsers and hardware decoders mostly do not play.
    static std::unique_ptr<VideoOutput> open(const std::string& path, VideoFormat format, int width, int height,
                                             int fps, std::string& failure, bool fullColour = false);
    virtual ~VideoOutput() = default;

    // The next frame: width x height colour numbers (0xBBGGRR, red in the
    // low byte), top row first. False once the file could not take it.
    virtual bool putFrame(const std::uint32_t* pixels) = 0;
    // Every frame is in: the encoder's held frames are written and the file
    // is closed. False when that failed.
    virtual bool finish() = 0;
    // Frames handed to putFrame.
    virtual int framesSent() const = 0;
    // The frames the file is sure to play after a failure: those before the
    // last key frame that reached the disk (the pieces before it are
    // complete); a Matroska file may play more.
    // After finish() succeeded, every frame sent.
    virtual int framesKept() const = 0;
    // Why the last call that returned false failed.
    virtual std::string failure() const = 0;
};

}  // namespace qel
