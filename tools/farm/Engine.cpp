#include "Engine.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>

namespace tolva::farm {

namespace fs = std::filesystem;

std::string Workspace::partName(const Part& part) const { return fmt::format("{}-part-{:03}", token, part.number); }

Launch Workspace::launch(const std::vector<std::string>& argv, int out, int err) const
{
    Launch launch;
    launch.argv = argv;
    launch.searchPath = true;
    launch.nullInput = true;
    launch.stdoutFd = out;
    launch.stderrFd = err;
    launch.folder = folder.string();
    // bin/ as a relative entry: the children look programs up from the work folder, and its
    // absolute path may hold a ':', which PATH cannot.
    const char* path = std::getenv("PATH");
    launch.environment = environmentWith({"PATH=bin" + (path != nullptr ? std::string(":") + path : ""),
                                          "PARALLEL_SHELL=/bin/sh"});  // the parts' commands are POSIX shell
    return launch;
}

std::string displayWrapper(const std::string& name)
{
    return fmt::format(
        "if [ -z \"${{DISPLAY-}}\" ]; then set -- xvfb-run -a -n \"${{TOLVA_FARM_DISPLAY_FROM:-99}}\" "
        "-f \"/tmp/{}\" -s \"-screen 0 1920x1080x24\"; else set --; fi; ",
        name);
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        throw std::runtime_error(fmt::format("cannot write {}", path.string()));
    }
}

int openForChild(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error(fmt::format("cannot write {}: {}", path.string(), std::strerror(errno)));
    }
    return fd;
}

} // namespace tolva::farm
