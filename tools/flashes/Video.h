#pragma once

// A video as ffprobe describes it and ffmpeg decodes it, each run as a child process with its
// arguments as they are (no shell), the file behind ffmpeg's file: protocol.

#include "capture/FfmpegPipe.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolva::flashes {

struct Chapter {
    double start = 0.0;   // seconds from the video's first frame
    std::string title;
};

struct VideoInfo {
    int width = 0, height = 0;
    long rateNum = 0, rateDen = 1;   // frames a second, as a fraction
    double duration = 0.0;           // seconds; 0 if not known
    double startTime = 0.0;          // of the video stream, in the file's time
    std::vector<Chapter> chapters;
};

// Parses ffprobe's default output (sections [STREAM], [CHAPTER], [FORMAT] of key=value lines).
// Nothing if it names no video stream with a size and a frame rate.
std::optional<VideoInfo> parseProbe(const std::string& text);

// Runs ffprobe on the file; nothing if it cannot (its message is passed on to our stderr).
std::optional<VideoInfo> probe(const std::string& ffprobe, const std::string& path);

// The analysis size: the picture scaled down to `width` pixels across (never up; 0 keeps it),
// the height in proportion and even.
void analysisSize(const VideoInfo& info, int width, int& outWidth, int& outHeight);

// The first video stream, at a constant frame rate, scaled, as rgb24 frames on a pipe.
class Decoder {
public:
    Decoder(const std::string& ffmpeg, const std::string& path, const VideoInfo& info, int width,
            int height);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // The next frame; false at the end.
    bool next(std::vector<std::uint8_t>& frame);
    // Waits for ffmpeg; true if it exited cleanly. Its messages go to our stderr.
    bool finish();

private:
    std::size_t frameBytes_;
    int fd_ = -1;
    std::optional<Child> child_;
    ChildMessages messages_;
};

} // namespace tolva::flashes
