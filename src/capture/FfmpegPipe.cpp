#include "capture/FfmpegPipe.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include <unistd.h>

namespace tolva {

ChildPipe::ChildPipe(const std::vector<std::string>& argv)
{
    Pipe pipe;
    Launch launch;
    launch.argv = argv;
    launch.stdinFd = pipe.readFd;
    launch.stderrFd = messages_.fd();
    child_.emplace(launch);
    pipe.closeRead();
    fd_ = std::exchange(pipe.writeFd, -1);
}

ChildPipe::~ChildPipe() { finish(); }

bool ChildPipe::write(const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && fd_ >= 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;  // a Ctrl-C: the frame still goes out whole
            }
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return fd_ >= 0;
}

bool ChildPipe::finish()
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
    return clean;
}

ProgramOutcome runProgram(const std::vector<std::string>& argv)
{
    ChildMessages messages;
    Launch launch;
    launch.argv = argv;
    launch.stderrFd = messages.fd();
    ProgramOutcome outcome;
    outcome.succeeded = runToEnd(launch) == 0;
    outcome.spoke = messages.relay();
    return outcome;
}

const std::vector<std::string>& audioTrackNames()
{
    static const std::vector<std::string> names = {"aac", "lossless"};
    return names;
}

AudioTrack audioTrackNamed(const std::string& name)
{
    return name == "lossless" ? AudioTrack::lossless : AudioTrack::aac;
}

std::optional<Container> containerOf(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".mp4") {
        return Container::mp4;
    }
    if (extension == ".mkv") {
        return Container::mkv;
    }
    if (extension == ".mov") {
        return Container::mov;
    }
    return std::nullopt;
}

std::string ffmpegFile(const std::string& path)
{
    return "file:" + std::filesystem::absolute(path).string();
}

std::vector<std::string> videoEncoding(const VideoFormat& format)
{
    // HD video as players expect it: BT.709, limited range, 4:2:0.
    std::string filters = "scale=out_color_matrix=bt709:out_range=tv:flags=accurate_rnd+full_chroma_int";
    if (format.scale > 1) {
        // Each pixel's colour is converted once, at full chroma resolution, and then every plane is
        // enlarged by repeating samples, straight into 4:2:0. At an even scale a chroma sample
        // then covers 2x2 pixels of one block: it is that pixel's own colour, exactly, and the
        // brightness is the 1080p video's, block by block. Enlarging the RGB picture first and
        // converting after would not do: the 4:2:0 subsampling filters across the blocks.
        filters += fmt::format(",format=yuv444p,scale=iw*{0}:ih*{0}:flags=neighbor,format=yuv420p",
                               format.scale);
    }
    std::vector<std::string> encoding = {
        "-vf", filters, "-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_primaries", "bt709",
        "-color_trc", "bt709", "-color_range", "tv", "-c:v", "libx264"};
    const std::vector<std::string> x264 =
        format.scale == 1
            ? std::vector<std::string>{"-preset", "fast", "-crf", "18"}
            // The master for video sites, as YouTube asks for uploads: High profile, two B-frames
            // in a row, a closed GOP of half the frame rate (x264's GOPs are closed unless told
            // otherwise). The same quality, CRF 18; the preset medium, which at this size cost no
            // more than fast and spent 2 to 12 % fewer bits (README).
            : std::vector<std::string>{"-preset", "medium", "-crf", "18", "-profile:v", "high", "-bf", "2",
                                       "-g", fmt::format("{}", std::max(1, format.fps / 2))};
    encoding.insert(encoding.end(), x264.begin(), x264.end());
    return encoding;
}

std::vector<std::string> encodeVideoCommand(const std::string& ffmpeg, const VideoFormat& format,
                                            const std::string& videoPath)
{
    std::vector<std::string> command = {
        ffmpeg, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        // what we send: raw frames, one per iteration of the frame loop
        "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size", fmt::format("{}x{}", format.width, format.height),
        "-framerate", fmt::format("{}", format.fps), "-i", "pipe:0"};
    const std::vector<std::string> encoding = videoEncoding(format);
    command.insert(command.end(), encoding.begin(), encoding.end());
    command.insert(command.end(), {"-f", "mp4", ffmpegFile(videoPath)});
    return command;
}

std::vector<std::string> soundEncoding(Container container, AudioTrack audio)
{
    if (audio == AudioTrack::lossless) {
        return {"-c:a", container == Container::mkv ? "flac" : "alac"};
    }
    // ffmpeg's default AAC coder fills bands with noise (and more) around the sharp edges of
    // scene 1's voices: they decoded to +4.4 dBFS from a -4.5 dBFS mix. Its fast coder keeps the
    // decoded sound below full scale (-1.9 dBFS there, -1.3 at the loudest music) without
    // touching the level.
    return {"-c:a", "aac", "-aac_coder", "fast", "-b:a", "256k"};
}

std::vector<std::string> muxCommand(const std::string& ffmpeg, const std::string& videoPath,
                                    const std::string& wavPath, const std::string& chaptersPath,
                                    const std::string& outPath, Container container, AudioTrack audio)
{
    std::vector<std::string> command = {
        ffmpeg, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        "-i", ffmpegFile(videoPath), "-i", ffmpegFile(wavPath)};
    if (!chaptersPath.empty()) {
        command.insert(command.end(), {"-f", "ffmetadata", "-i", ffmpegFile(chaptersPath), "-map_chapters", "2"});
    }
    command.insert(command.end(), {"-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy"});
    const std::vector<std::string> sound = soundEncoding(container, audio);
    command.insert(command.end(), sound.begin(), sound.end());
    const std::vector<std::string> format =
        container == Container::mkv ? std::vector<std::string>{"-f", "matroska"}
        : container == Container::mov
            ? std::vector<std::string>{"-movflags", "+faststart", "-f", "mov"}
            : std::vector<std::string>{"-movflags", "+faststart", "-f", "mp4"};
    command.insert(command.end(), format.begin(), format.end());
    command.push_back(ffmpegFile(outPath));
    return command;
}

} // namespace tolva
