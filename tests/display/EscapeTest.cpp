// Ending the show from outside: a short Escape tap in any scene, or the window manager's request.

#include "Processes.h"

#include <gtest/gtest.h>

#include <memory>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tolva {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr unsigned width = 960, height = 540;

using XDisplay = std::unique_ptr<Display, int (*)(Display*)>;
XDisplay openDisplay(const std::string& name) { return {XOpenDisplay(name.c_str()), XCloseDisplay}; }

// When anything but black first shows on the screen: the lead-in is black, scene 1's first frame
// is not.
std::optional<Clock::time_point> waitForColour(const std::string& name, std::chrono::seconds limit)
{
    const XDisplay display = openDisplay(name);
    for (const auto end = Clock::now() + limit; display != nullptr && Clock::now() < end;) {
        XImage* image = XGetImage(display.get(), DefaultRootWindow(display.get()), 0, 0, width, height, AllPlanes, ZPixmap);
        bool colour = false;
        for (unsigned k = 0; image != nullptr && k < width * height && !colour; k += 3) {
            colour = (XGetPixel(image, static_cast<int>(k % width), static_cast<int>(k / width)) & 0xffffff) != 0;
        }
        if (image != nullptr) {
            XDestroyImage(image);
        }
        if (colour) {
            return Clock::now();
        }
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

// The request a window manager sends when the window's close button is pressed.
void askToClose(const std::string& display)
{
    const XDisplay x = openDisplay(display);
    ASSERT_NE(x, nullptr);
    const std::string id = testing::capture("DISPLAY=" + display + " xdotool search --name '^Tolva$' | head -1");
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(id);
    event.xclient.message_type = XInternAtom(x.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.get(), event.xclient.window, False, NoEventMask, &event);
    XFlush(x.get());
}

struct Tap {
    int scene;
    int speed;           // how many times as fast the show's clocks run
    double showSeconds;  // show time from scene 1's first frame: the middle of the scene
    std::chrono::milliseconds limit;  // for the show to end: well before it would end by itself
    bool close = false;  // the window manager's close request instead of Escape
};

TEST(Escape, AFiftyMillisecondTapOrACloseRequestEndsTheShowInAnyScene)
{
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 6, std::to_string(width) + "x" + std::to_string(height) + "x24");
    ASSERT_TRUE(x.started());
    // Scene 1, whose frames are the slowest, at real speed; the later scenes reached up to twenty
    // times as fast (sped up, the timeline holds to within a second of real time here), slower
    // towards the end so that the show's own end stays seconds away from each tap.
    for (const Tap tap : {Tap{1, 1, 0.0, 10s, true}, Tap{1, 1, 4.0, 10s}, Tap{2, 20, 79.0, 5s}, Tap{3, 20, 125.0, 4s},
                          Tap{4, 20, 178.0, 4s}, Tap{5, 20, 222.0, 3s}, Tap{6, 20, 254.0, 2500ms},
                          Tap{7, 10, 290.0, 3s}, Tap{8, 5, 319.0, 3s}}) {
        SCOPED_TRACE("scene " + std::to_string(tap.scene) + (tap.close ? ", close request" : ""));
        if (tap.speed != 1 && std::string(TOLVA_FAKETIME).empty()) {
            GTEST_SKIP() << "libfaketime is not installed";
        }
        // The show's clocks run `speed` times as fast through libfaketime, so the show itself is
        // the one installed.
        std::map<std::string, std::string> environment = {{"DISPLAY", x.display()}, {"ALSOFT_DRIVERS", "null"}};
        if (tap.speed != 1) {
            environment["LD_PRELOAD"] = TOLVA_FAKETIME;
            environment["FAKETIME"] = "+0 x" + std::to_string(tap.speed);
        }
        testing::Child show(TOLVA_SHOW, environment, TOLVA_RUN_DIR, testing::scratchFile("escape-test.err"));
        ASSERT_FALSE(testing::waitForShowWindow(x.display(), 30s).empty());
        const auto sceneOne = waitForColour(x.display(), 60s);
        ASSERT_TRUE(sceneOne.has_value()) << "the show did not reach scene 1";
        std::this_thread::sleep_until(*sceneOne + std::chrono::microseconds(static_cast<long>(tap.showSeconds * 1e6 / tap.speed)));
        if (tap.close) {
            askToClose(x.display());
        } else {
            // An Escape press of 50 ms, far shorter than a frame of these scenes under software GL.
            [[maybe_unused]] const int status = std::system(
                ("DISPLAY=" + x.display() + " xdotool keydown Escape sleep 0.05 keyup Escape >/dev/null 2>&1").c_str());
        }
        const auto exit = show.waitFor(tap.limit);
        ASSERT_TRUE(exit.has_value()) << "still running after the tap";
        EXPECT_EQ(exit->status, 0);
    }
}

} // namespace
} // namespace tolva
