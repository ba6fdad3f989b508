#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <spawn.h>

namespace tolva {

// Spawn attributes for a child in a process group of its own, so that a Ctrl-C in the terminal
// reaches only us and we decide what the child gets, with the default reaction to the signals we
// handle.
void setOwnProcessGroup(posix_spawnattr_t& attributes);

// The full path of a program found on PATH, if it is there. Empty entries are skipped: the
// current folder is searched only when PATH names it.
std::optional<std::string> findProgram(const std::string& name);

// What a child process writes on its standard error, kept until it has ended and then passed on
// to ours, so that a failure can say whether the child explained it.
class ChildMessages {
public:
    ChildMessages();
    ~ChildMessages();
    ChildMessages(const ChildMessages&) = delete;
    ChildMessages& operator=(const ChildMessages&) = delete;

    int fd() const { return fd_; }
    // Copies what was written so far to our standard error; true if there was anything.
    bool relay();

private:
    int fd_ = -1;
};

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
    // Passes on what the child said (see ChildMessages); true if it said anything.
    bool relayMessages() { return messages_.relay(); }

private:
    ChildMessages messages_;
    int fd_ = -1;
    int pid_ = -1;
};

// Waits for child `pid` to end (through interrupted waits); whether it exited with status 0.
bool exitedCleanly(int pid);

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
