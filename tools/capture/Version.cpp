#include "Version.h"

#include "driver/Show.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <nlohmann/json.hpp>

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
    nlohmann::ordered_json report;
    report["program"] = "tolva-capture";
    report["version"] = TOLVA_VERSION;
    if (!displayAvailable()) {
        report["renderer"] = nullptr;  // no X display to ask
        report["opengl"] = nullptr;
        return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    }
    // The context the capture's render texture would share; the function comes from it, so
    // nothing here links OpenGL itself.
    sf::Context context;
    const auto get = reinterpret_cast<GetString>(sf::Context::getFunction("glGetString"));
    report["renderer"] = glString(get, GL_RENDERER);
    report["opengl"] = glString(get, GL_VERSION);
    return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace tolva
