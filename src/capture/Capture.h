#pragma once

#include "capture/WorkClock.h"

#include <csignal>
#include <optional>
#include <string>

namespace tolva {

struct CaptureOptions {
    int fps = 60;
    double from = 0.0;            // seconds of video, from the show's first frame
    std::optional<double> to;     // end of the part written (exclusive); none: the show's end
    std::string out;              // MP4 file (needs ffmpeg); empty: none
    std::string framesDir;        // PNG frames and sound.wav; empty: none
    std::string stillsDir;        // one PNG per scene and a contact sheet; empty: none
    std::string logPath;          // JSON lines: frames with their hashes, cues, a summary
    std::string wavPath;          // the mixed sound of the frames written, as a WAV file
    WorkModel model;
};

// The frames written: iterations [first, last) of the frame loop, one video frame each.
struct FrameRange {
    long first;
    long last;  // LONG_MAX: up to the show's end
};
FrameRange frameRange(const CaptureOptions& options);

// Seconds of video the show lasts at most (its lead-in counts frames, the rest seconds).
double showLengthBound(int fps);

// What is wrong with the options, in one line, before any work starts (ffmpeg: its path, empty
// if it is not on PATH).
std::optional<std::string> checkOptions(const CaptureOptions& options, const std::string& ffmpeg);

struct CaptureResult {
    long frames = 0;        // video frames written
    long iterations = 0;    // iterations of the frame loop run
    long overruns = 0;      // iterations whose modelled work ran past the next head
    bool interrupted = false;
    bool showEnded = false;
    double wallSeconds = 0;
};

// Runs the show offscreen on virtual time and writes what the options ask for. Needs an X
// display. Stops early, keeping what it has written playable, once `stop` becomes nonzero.
// Throws std::runtime_error on failure.
CaptureResult runCapture(const CaptureOptions& options, const std::string& ffmpeg,
                         const volatile std::sig_atomic_t& stop);

// How to join the PNG frames and sound.wav of a --frames folder into a video with ffmpeg.
std::string joinNote(const std::string& dir, int fps);

// A 64-bit hash of a frame's RGBA bytes, as 16 hex digits (the log's frame identity).
std::string frameHash(const unsigned char* bytes, std::size_t size);

} // namespace tolva
