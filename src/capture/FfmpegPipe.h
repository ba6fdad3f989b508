#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "process/Child.h"

namespace tolva {

// A child process fed through its standard input (see process/Child.h): we decide when its
// input ends.
class ChildPipe {
public:
    explicit ChildPipe(const std::vector<std::string>& argv);
    ~ChildPipe();
    ChildPipe(const ChildPipe&) = delete;
    ChildPipe& operator=(const ChildPipe&) = delete;

    // False once the child has stopped reading (it failed or went away).
    bool write(const void* data, std::size_t size);
    // Ends the child's input and waits for it; true if it exited with status 0.
    bool finish();
    // Passes on what the child said (see ChildMessages); true if it said anything.
    bool relayMessages() { return messages_.relay(); }

private:
    ChildMessages messages_;
    int fd_ = -1;
    std::optional<Child> child_;
};

// Runs a program to its end; its messages go to our standard error afterwards.
struct ProgramOutcome {
    bool succeeded = false;  // exited with status 0
    bool spoke = false;      // wrote something on its standard error
};
ProgramOutcome runProgram(const std::vector<std::string>& argv);

// The video files the capture writes, by the extension of their name.
enum class Container { mp4, mkv, mov };
std::optional<Container> containerOf(const std::string& path);

// The sound track: AAC, or lossless (FLAC in Matroska, ALAC in MP4 and QuickTime) for archives.
enum class AudioTrack { aac, lossless };
// The tools' --audio words, "aac" and "lossless", and their meaning.
const std::vector<std::string>& audioTrackNames();
AudioTrack audioTrackNamed(const std::string& name);

// The video written when no other output is asked for.
inline constexpr const char* defaultVideoName = "tolva.mp4";

// A path as ffmpeg can only read it as a file: absolute, behind its file: protocol, so that a
// name such as "-x.mp4" or "pipe:1" is not taken for an option or another protocol.
std::string ffmpegFile(const std::string& path);

// The ffmpeg command lines of the capture.
struct VideoFormat {
    unsigned width = 1920;
    unsigned height = 1080;
    int fps = 60;
    int scale = 1;  // each pixel written as a scale x scale block
};
// How the video is encoded from RGBA frames: its filters, pixel format, colour tags and x264
// settings (for the capture's own encoder and for the command join.txt suggests).
std::vector<std::string> videoEncoding(const VideoFormat& format);
// Raw RGBA frames on standard input to H.264 (yuv420p, BT.709) in an MP4 file without sound.
std::vector<std::string> encodeVideoCommand(const std::string& ffmpeg, const VideoFormat& format,
                                            const std::string& videoPath);
// How the sound is encoded into the video's container.
std::vector<std::string> soundEncoding(Container container, AudioTrack audio);
// The silent video and a WAV file into the final file: the video copied, the sound encoded, the
// chapters taken from an ffmetadata file (none if its path is empty).
std::vector<std::string> muxCommand(const std::string& ffmpeg, const std::string& videoPath,
                                    const std::string& wavPath, const std::string& chaptersPath,
                                    const std::string& outPath, Container container, AudioTrack audio);

} // namespace tolva
