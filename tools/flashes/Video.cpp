#include "Video.h"

#include "capture/FfmpegPipe.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <unistd.h>

namespace tolva::flashes {

namespace {

// Starts argv with its standard output on a pipe, whose reading end it returns in `output`;
// standard error into stderrFd.
Child startReading(const std::vector<std::string>& argv, int stderrFd, int& output)
{
    Pipe pipe;
    Launch launch;
    launch.argv = argv;
    launch.stdoutFd = pipe.writeFd;
    launch.stderrFd = stderrFd;
    Child child(launch);
    output = std::exchange(pipe.readFd, -1);
    return child;
}

// Reads up to size bytes; fewer only at the end of the output.
std::size_t readFully(int fd, void* data, std::size_t size)
{
    char* at = static_cast<char*>(data);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = read(fd, at + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool parseRate(const std::string& text, long& num, long& den)
{
    long n = 0, d = 0;
    char slash = 0;
    std::istringstream in(text);
    if (!(in >> n >> slash >> d) || slash != '/' || n <= 0 || d <= 0) {
        return false;
    }
    num = n;
    den = d;
    return true;
}

double number(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && std::isfinite(value) ? value : 0.0;
}

} // namespace

std::optional<VideoInfo> parseProbe(const std::string& text)
{
    VideoInfo info;
    std::string section;
    std::string realRate, averageRate;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.front() == '[') {
            section = line;
            if (line == "[CHAPTER]") {
                info.chapters.emplace_back();
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (section == "[STREAM]") {
            if (key == "width") {
                info.width = static_cast<int>(number(value));
            } else if (key == "height") {
                info.height = static_cast<int>(number(value));
            } else if (key == "r_frame_rate") {
                realRate = value;
            } else if (key == "avg_frame_rate") {
                averageRate = value;
            } else if (key == "start_time") {
                info.startTime = number(value);
            }
        } else if (section == "[CHAPTER]" && !info.chapters.empty()) {
            if (key == "start_time") {
                info.chapters.back().start = number(value);
            } else if (key == "TAG:title") {
                info.chapters.back().title = value;
            }
        } else if (section == "[FORMAT]" && key == "duration") {
            info.duration = number(value);
        }
    }
    // The stream's own rate (every frame's time is a whole multiple of it) unless it is a time
    // base rather than a frame rate; then the average.
    long num = 0, den = 1;
    const bool real = parseRate(realRate, num, den) && static_cast<double>(num) <= 1000.0 * static_cast<double>(den);
    if (!real && !parseRate(averageRate, num, den)) {
        return std::nullopt;
    }
    if (info.width <= 0 || info.height <= 0) {
        return std::nullopt;
    }
    info.rateNum = num;
    info.rateDen = den;
    for (Chapter& chapter : info.chapters) {
        chapter.start -= info.startTime;
    }
    return info;
}

std::optional<VideoInfo> probe(const std::string& ffprobe, const std::string& path)
{
    ChildMessages messages;
    int fd = -1;
    Child child = startReading(
        {ffprobe, "-hide_banner", "-loglevel", "error", "-select_streams", "v:0",
         "-show_entries", "stream=width,height,r_frame_rate,avg_frame_rate,start_time:"
                          "format=duration:chapter=start_time:chapter_tags=title",
         "-of", "default", ffmpegFile(path)},
        messages.fd(), fd);
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = readFully(fd, chunk, sizeof chunk)) > 0;) {
        text.append(chunk, got);
    }
    close(fd);
    const bool clean = child.wait() == 0;
    messages.relay();
    if (!clean) {
        return std::nullopt;
    }
    return parseProbe(text);
}

void analysisSize(const VideoInfo& info, int width, int& outWidth, int& outHeight)
{
    if (width <= 0 || width >= info.width) {
        outWidth = info.width;
        outHeight = info.height;
        return;
    }
    outWidth = width;
    const long height = (static_cast<long>(info.height) * width + info.width / 2) / info.width;
    outHeight = static_cast<int>(std::max(2L, height + height % 2));
}

Decoder::Decoder(const std::string& ffmpeg, const std::string& path, const VideoInfo& info,
                 int width, int height)
    : frameBytes_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3U)
{
    // Area averaging: detail finer than an analysis pixel blends, as a fine pattern does for the eye.
    const std::string filters =
        fmt::format("fps={}/{},scale={}:{}:flags=area,format=rgb24", info.rateNum, info.rateDen, width, height);
    child_ = startReading({ffmpeg, "-hide_banner", "-loglevel", "error", "-nostdin",
                        "-i", ffmpegFile(path), "-map", "0:v:0", "-an", "-sn", "-dn",
                        "-vf", filters, "-f", "rawvideo", "-pix_fmt", "rgb24", "pipe:1"},
                          messages_.fd(), fd_);
}

Decoder::~Decoder()
{
    if (child_) {
        child_->signal(SIGTERM);
    }
    finish();
}

bool Decoder::next(std::vector<std::uint8_t>& frame)
{
    frame.resize(frameBytes_);
    return fd_ >= 0 && readFully(fd_, frame.data(), frameBytes_) == frameBytes_;
}

bool Decoder::finish()
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!child_) {
        return false;
    }
    const bool clean = child_->wait() == 0;
    child_.reset();
    messages_.relay();
    return clean;
}

} // namespace tolva::flashes
