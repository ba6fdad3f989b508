// Tolva in a browser: the page (page.js) starts it on a click or a key, or at once for a still.
//   (no argument)   the show, live
//   --from S        run up to second S on virtual time, then live from there
//   --still S       run up the same way and draw only the frame the capture writes first from S

#include "web/Runs.h"
#include "worktime/FrameRange.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace tolva;

// Escape, as page.js saw it (held, or the full screen left while the show ran).
EM_JS(int, tolva_escape_down, (), { return Module.tolvaPage.escape ? 1 : 0; });
// The run is ready: page.js asks for the gesture, or begins at once for a still.
EM_JS(void, tolva_page_ready, (), { Module.tolvaPage.ready(); });
EM_JS(int, tolva_page_begun, (), { return Module.tolvaPage.begun ? 1 : 0; });
EM_JS(void, tolva_page_refused, (const char* why), { Module.tolvaPage.refused(UTF8ToString(why)); });

// Why the show cannot run, on the console and the page.
int refuse(const std::string& why, int status)
{
    std::printf("tolva: %s\n", why.c_str());
    std::fflush(stdout);
    tolva_page_refused(why.c_str());
    return status;
}

struct Page {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    std::unique_ptr<WebGl> gl;
    std::unique_ptr<WebCanvas> canvas;
    std::unique_ptr<Run> run;
    bool ready = false;
    bool begun = false;
};

Page& page()
{
    static Page the;
    return the;
}

void frame()
{
    Page& p = page();
    if (!p.begun) {
        if (!p.ready && p.run->ready()) {
            p.ready = true;
            tolva_page_ready();
        }
        if (!p.ready || tolva_page_begun() == 0) {
            return;
        }
        p.begun = true;
        p.run->begin();
    }
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size("#canvas", &width, &height);
    p.canvas->resize(width, height);
    if (!p.run->frame(tolva_escape_down() != 0)) {
        emscripten_cancel_main_loop();
    }
}

bool makeContext(bool keepPicture)
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = false;  // the picture is opaque, as a window's
    attributes.depth = false;
    attributes.stencil = true;  // the opaque stretches, each pixel written once
    attributes.antialias = false;
    attributes.premultipliedAlpha = false;
    attributes.preserveDrawingBuffer = keepPicture;  // a still stays readable after it is shown
    page().context = emscripten_webgl_create_context("#canvas", &attributes);
    if (page().context <= 0) {
        return false;
    }
    emscripten_webgl_make_context_current(page().context);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc >= 3 ? argv[1] : "";
    const double seconds = argc >= 3 ? std::atof(argv[2]) : 0.0;
    const bool still = std::strcmp(mode, "--still") == 0;
    const bool from = std::strcmp(mode, "--from") == 0;
    if (const auto problem = still || from ? fromProblem(seconds, RehearsedRun::fps) : std::nullopt) {
        return refuse(*problem, 2);
    }
    if (!makeContext(still)) {
        return refuse("this browser gives the page no WebGL 2 context", 1);
    }
    Page& p = page();
    p.gl = std::make_unique<WebGl>();
    p.canvas = std::make_unique<WebCanvas>(*p.gl);
    if (still || from) {
        p.run = std::make_unique<RehearsedRun>(*p.canvas, seconds, still);
    } else {
        p.run = std::make_unique<LiveRun>(*p.canvas);
    }
    emscripten_set_main_loop(frame, 0, 0);
    return 0;
}
