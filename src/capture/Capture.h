#pragma once

#include "capture/Chapters.h"
#include "capture/FfmpegPipe.h"
#include "worktime/FrameRange.h"
#include "worktime/WorkClock.h"

#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolva {

struct CaptureOptions {
    int fps = 60;
    double from = 0.0;            // seconds of video, from the show's first frame
    std::optional<double> to;     // end of the part written (exclusive); none: the show's end
    std::string out;              // video file, .mp4, .mkv or .mov (needs ffmpeg); empty: none
    AudioTrack audio = AudioTrack::aac;
    int scale = 1;                // the video's pixels: each of the show's as a scale x scale block
    std::string framesDir;        // PNG frames and sound.wav; empty: none
    std::string stillsDir;        // one PNG per scene and a contact sheet; empty: none
    std::string logPath;          // JSON lines: frames with their hashes, cues, a summary
    std::string wavPath;          // the mixed sound of the frames written, as a WAV file
    int progressFd = -1;          // the progress as JSON lines there (see ProgressFeed), not on stderr
    WorkModel model;
};

// The frames the options ask for.
FrameRange frameRange(const CaptureOptions& options);

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
    std::vector<Chapter> chapters;  // the scenes in the frames written
};

class Show;

// A capture, one step at a time, so that other tools can run the show on virtual time iteration
// by iteration: making it builds the show and opens the outputs, iterate() runs one iteration of
// the frame loop (rendering, writing and logging what the options ask for), finish() closes the
// outputs and joins the video with its sound. Needs an X display. Failures throw
// std::runtime_error naming the file; a capture destroyed unfinished (after a failure) removes the
// files it made, so that nothing half-written stays under a name that was asked for.
class Capture {
public:
    Capture(const CaptureOptions& options, const std::string& ffmpeg);
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    // Runs the next iteration; false, running none, once the options need no more of the show.
    bool iterate();
    // What was run so far, written out: the frames as a playable video, their sound, the log.
    CaptureResult finish(bool interrupted);

    Show& show();
    const WorkClock& clock() const;
    long iteration() const;  // the next iteration to run

private:
    struct ShowAndOutputs;
    std::unique_ptr<ShowAndOutputs> state_;
};

// A whole capture: iterations until the options are served or `stop` becomes nonzero (then what
// was captured so far is finished and playable).
CaptureResult runCapture(const CaptureOptions& options, const std::string& ffmpeg,
                         const volatile std::sig_atomic_t& stop);

// How to join the PNG frames, sound.wav and chapters.txt of a --frames folder into a video with
// ffmpeg, encoded as the capture encodes its own.
std::string joinNote(const std::string& dir, int fps, int scale);

// A 64-bit hash of a frame's RGBA bytes, as 16 hex digits (the log's frame identity).
std::string frameHash(const unsigned char* bytes, std::size_t size);

} // namespace tolva
