// The farm's plan: hosts as parallel reads them, parts that join into exactly the frames of one
// run, and the parts' logs joined into the log of one run.

#include "../Plan.h"

#include "capture/Capture.h"
#include "capture/Mixer.h"

#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace tolva;
using namespace tolva::farm;

TEST(FarmPlan, HostsAsParallelReadsThem)
{
    const std::vector<Host> hosts = parseHosts(
        "# the rack\n"
        ":\n"
        "  2/user@host  \n"
        "\n"
        "@rack+fast/8/ssh -p 2222 -i key root@10.0.0.2\n"
        "//usr/local/bin/myssh -p 2200 other\n");
    ASSERT_EQ(hosts.size(), 4u);
    EXPECT_EQ(hosts[0].line(), ":");
    EXPECT_EQ(hosts[0].name(), "this machine");
    EXPECT_EQ(hosts[1].slots, 2);
    EXPECT_EQ(hosts[1].line(), "2/user@host");
    EXPECT_EQ(hosts[2].groups, "@rack+fast/");
    EXPECT_EQ(hosts[2].line(), "@rack+fast/8/ssh -p 2222 -i key root@10.0.0.2");
    EXPECT_EQ(hosts[2].name(), "root@10.0.0.2 port 2222");
    // "//path" gives no slot count; the path stays whole when the farm adds one.
    EXPECT_FALSE(hosts[3].slots);
    EXPECT_EQ(hosts[3].line(), "//usr/local/bin/myssh -p 2200 other");
    Host counted = hosts[3];
    counted.slots = 6;
    EXPECT_EQ(counted.line(), "6//usr/local/bin/myssh -p 2200 other");

    EXPECT_THROW(parseHosts("0/host\n"), std::invalid_argument);
    EXPECT_THROW(parseHosts("3/\n"), std::invalid_argument);
    EXPECT_THROW(parseHosts("@group\n"), std::invalid_argument);
}

TEST(FarmPlan, PartsJoinIntoTheFramesOfOneRun)
{
    for (const int fps : {1, 24, 30, 60, 144, 240}) {
        for (const int count : {1, 2, 3, 7, 40}) {
            CaptureOptions whole;
            whole.fps = fps;
            whole.from = 59.0;
            whole.to = 65.0;
            const FrameRange range = frameRange(whole);
            const std::vector<Part> parts = cutParts(range.first, range.last, false, count);
            ASSERT_EQ(parts.size(), static_cast<std::size_t>(std::min<long>(count, range.last - range.first)));
            long next = range.first;
            for (const Part& part : parts) {
                // The capture, given the part's seconds, draws exactly the part's frames.
                CaptureOptions options = whole;
                options.from = std::stod(secondsOf(part.first, fps));
                options.to = std::stod(secondsOf(part.last, fps));
                const FrameRange cut = frameRange(options);
                EXPECT_EQ(cut.first, next) << fps << " fps, part " << part.number;
                EXPECT_EQ(cut.last, part.last);
                EXPECT_GT(part.last, part.first);
                EXPECT_LE(part.last - part.first, (range.last - range.first) / count + 1);
                next = part.last;
            }
            EXPECT_EQ(next, range.last);
        }
    }
    // Far into the show and at high rates the seconds still round back to the frame.
    for (long frame = 82000; frame < 82900; ++frame) {
        CaptureOptions options;
        options.fps = 240;
        options.from = std::stod(secondsOf(frame, 240));
        ASSERT_EQ(frameRange(options).first, frame);
    }
    const std::vector<Part> open = cutParts(100, 200, true, 4);
    EXPECT_FALSE(open[2].openEnd);
    EXPECT_TRUE(open[3].openEnd);
}

TEST(FarmPlan, HostsThatDrawOtherwiseAreFound)
{
    const std::string version = R"j({"program":"tolva-capture","version":"1.0.0","renderer":"llvmpipe (LLVM 15.0.6, 256 bits)",)j"
                                R"j("opengl":"4.5 (Compatibility Profile) Mesa 22.3.6"})j" "\n";
    const std::string identity = "tolva-capture 1.0.0\nrenderer: llvmpipe (LLVM 15.0.6, 256 bits)\n"
                                 "OpenGL: 4.5 (Compatibility Profile) Mesa 22.3.6\nffmpeg version 5.1.6\n";
    const Probe ok = readProbe(version + "ffmpeg version 5.1.6\n4\n", "", 0, true);
    ASSERT_TRUE(ok.answered);
    EXPECT_EQ(ok.processors, 4);
    EXPECT_EQ(ok.identity, identity);

    // What failed, in the host's own words where it gave some, or what its answer lacks.
    EXPECT_EQ(readProbe("", "ssh: connect to host 10.0.0.9 port 22: Connection refused\n", 255, true).problem,
              "ssh: connect to host 10.0.0.9 port 22: Connection refused");
    EXPECT_EQ(readProbe("2\n", "", 127, true).problem,
              "tolva-capture --version failed there (status 127) without a message");
    const std::string blind = R"({"program":"tolva-capture","version":"1.0.0","renderer":null,"opengl":null})" "\n";
    EXPECT_EQ(readProbe(blind + "2\n", "", 0, false).problem, "tolva-capture --version found no X display there to draw on");
    EXPECT_FALSE(readProbe("tolva-capture 1.0.0\nrenderer: llvmpipe\n2\n", "", 0, false).answered)
        << "a version report that is not the capture's JSON";
    // A video needs the encoder; a log alone does not.
    EXPECT_EQ(readProbe(version + "2\n", "", 0, true).problem, "ffmpeg is not on its PATH");
    EXPECT_TRUE(readProbe(version + "2\n", "", 0, false).answered);

    const std::vector<Host> hosts = parseHosts("a\nb\n:\nc\n");
    Probe other = ok;
    other.identity = "tolva-capture 1.0.0\nrenderer: NVIDIA GeForce\n";
    // This machine decides, even outnumbered; without it, the most hosts do.
    EXPECT_EQ(oddHosts(hosts, {other, other, ok, ok}), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(oddHosts(parseHosts("a\nb\nc\n"), {ok, other, ok}), (std::vector<std::size_t>{1}));
    EXPECT_TRUE(oddHosts(hosts, {ok, ok, ok, ok}).empty());
}

namespace {

// A log as one capture of iterations [first, last) writes it, with `cues` (iterations) heard.
std::string captureLog(long first, long last, const std::vector<long>& cues, int fps)
{
    std::string log;
    std::vector<Chapter> chapters;
    for (long k = first; k < last; ++k) {
        // Scene 1 hands over to scene 2 at iteration 1840.
        const std::vector<int> scenes = k < 1840 ? std::vector<int>{1} : k == 1840 ? std::vector<int>{1, 2} : std::vector<int>{2};
        noteFrame(chapters, k - first, scenes);
        log += fmt::format("{{\"frame\":{},\"iteration\":{},\"time\":{},\"scenes\":[{}],\"presents\":1,\"hash\":\"{:016x}\"}}\n",
                           k - first, k, static_cast<double>(k) / fps, fmt::join(scenes, ","), k * 7919);
    }
    for (const long cue : cues) {
        if (cue < last) {
            log += fmt::format("{{\"cue\":\"voiceOne\",\"action\":\"play\",\"iteration\":{},\"frame\":{},\"sample\":{},\"time_us\":{}}}\n",
                               cue, cue - first, static_cast<long>(sampleAt(cue, fps) - sampleAt(first, fps)), cue * 1000);
        }
    }
    log += fmt::format("{{\"summary\":true,\"fps\":{},\"frames\":{},\"first_iteration\":{},\"iterations\":{},"
                       "\"samples\":{},\"overruns\":0,\"interrupted\":false,\"show_ended\":false}}\n",
                       fps, last - first, first, last, static_cast<long>(sampleAt(last, fps) - sampleAt(first, fps)));
    for (std::size_t n = 0; n < chapters.size(); ++n) {
        log += chapterLogLine(chapters, n, last - first, first, fps).str() + "\n";
    }
    return log;
}

} // namespace

TEST(FarmPlan, PartsLogsJoinIntoOneRunsLog)
{
    const int fps = 30;
    const std::vector<long> cues = {12, 400, 1775, 1790, 1900};
    const std::vector<Part> parts = cutParts(1770, 1950, false, 3);
    std::vector<PartLog> logs;
    for (const Part& part : parts) {
        logs.push_back(splitLog(captureLog(part.first, part.last, cues, fps)));
    }
    EXPECT_EQ(joinLogs(logs, parts, fps), captureLog(1770, 1950, cues, fps));
    const std::vector<Chapter> chapters = chaptersOf(logs);  // the hand-over inside part 2
    ASSERT_EQ(chapters.size(), 2u);
    EXPECT_EQ(chapters[1].scene, 2);
    EXPECT_EQ(chapters[1].firstFrame, 70);

    // Up to the show's end: the last part ends wherever the show does, before the cut or after.
    for (const long end : {1937L, 1950L, 1961L}) {
        const std::vector<Part> open = cutParts(1770, 1950, true, 3);
        std::vector<PartLog> openLogs;
        for (const Part& part : open) {
            openLogs.push_back(splitLog(captureLog(part.first, part.openEnd ? end : part.last, cues, fps)));
        }
        EXPECT_EQ(joinLogs(openLogs, open, fps), captureLog(1770, end, cues, fps));
    }

    // Parts that do not fit together are not joined.
    std::vector<PartLog> missing = logs;
    missing[1].frames.pop_back();
    EXPECT_THROW(joinLogs(missing, parts, fps), std::runtime_error);
    std::vector<PartLog> deaf = logs;
    deaf[0].cues.erase(deaf[0].cues.begin() + 1);
    EXPECT_THROW(joinLogs(deaf, parts, fps), std::runtime_error);
    std::vector<PartLog> stopped = logs;
    stopped[2].summary["frames"] = 3;
    stopped[2].summary["interrupted"] = true;
    EXPECT_THROW(joinLogs(stopped, parts, fps), std::runtime_error);
    std::vector<PartLog> unnumbered = logs;
    unnumbered[1].frames[4].erase("iteration");
    EXPECT_THROW(joinLogs(unnumbered, parts, fps), std::runtime_error);
    EXPECT_THROW(splitLog("{\"frame\":0}\nnot json\n"), std::runtime_error);
    EXPECT_THROW(splitLog("{\"frame\":0}\n[1,2]\n"), std::runtime_error);
}

// The joined log is written as the capture writes its own, whatever a JSON library would make of
// its numbers and strings.
TEST(FarmPlan, LogLinesAreWrittenAsTheCaptureWritesThem)
{
    for (const std::string line :
         {R"({"frame":-392,"iteration":1770,"time":59,"scenes":[1,2],"presents":2,"hash":"00ff00ff00ff00ff"})",
          R"({"frame":0,"iteration":1771,"time":59.03333333333333,"scenes":[],"presents":0,"hash":"a"})",
          R"({"chapter":1,"scene":1,"title":"Spiral circle grid, credits, title","frame":0,"start":1e-05,"end":0.1})",
          R"({"summary":true,"fps":30,"interrupted":false,"show_ended":false,"note":"a \"quoted\" \\ word"})"}) {
        EXPECT_EQ(logLineText(nlohmann::ordered_json::parse(line)), line);
    }
}
