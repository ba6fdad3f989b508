#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tolva {

// The full path of a program found on PATH, if it is there.
std::optional<std::string> findProgram(const std::string& name);

// A child process fed through its standard input. It runs in a process group of its own, so a
// Ctrl-C in the terminal reaches only us, and we decide when its input ends.
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

private:
    int fd_ = -1;
    int pid_ = -1;
};

// Runs a program to its end (its output goes to ours); true if it exited with status 0.
bool runProgram(const std::vector<std::string>& argv);

// The ffmpeg command lines of the capture.
struct VideoFormat {
    unsigned width = 1920;
    unsigned height = 1080;
    int fps = 60;
};
// Raw RGBA frames on standard input to H.264 (yuv420p, BT.709) in an MP4 file without sound.
std::vector<std::string> encodeVideoCommand(const std::string& ffmpeg, const VideoFormat& format,
                                            const std::string& videoPath);
// The silent video and a WAV file into the final MP4: the video copied, the sound in AAC.
std::vector<std::string> muxCommand(const std::string& ffmpeg, const std::string& videoPath,
                                    const std::string& wavPath, const std::string& outPath);

} // namespace tolva
