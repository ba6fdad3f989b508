#include "Version.h"

#include "driver/Show.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <fmt/format.h>

namespace tolva {

namespace {

using GetString = const GLubyte* (*)(GLenum);

std::string glString(GetString get, GLenum name)
{
    const GLubyte* value = get != nullptr ? get(name) : nullptr;
    return value != nullptr ? reinterpret_cast<const char*>(value) : "unknown";
}

} // namespace

std::string versionReport()
{
    std::string report = fmt::format("tolva-capture {}\n", TOLVA_VERSION);
    if (!displayAvailable()) {
        return report + "renderer: none (no X display)\n";
    }
    // The context the capture's render texture would share; the function comes from it, so
    // nothing here links OpenGL itself.
    sf::Context context;
    const auto get = reinterpret_cast<GetString>(sf::Context::getFunction("glGetString"));
    return report + fmt::format("renderer: {}\nOpenGL: {}\n", glString(get, GL_RENDERER),
                                glString(get, GL_VERSION));
}

} // namespace tolva
