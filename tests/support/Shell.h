#pragma once

// The tools' tests at the shell: a command's status and words, a file's text, stand-in programs.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tolva::testing {

inline std::string text(const std::filesystem::path& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {});
}

struct Outcome {
    int status = -1;
    std::string output;
};

// A shell command's exit status and everything it said, on standard output and error.
inline Outcome run(const std::string& command)
{
    const auto said = std::filesystem::temp_directory_path() / ("tolva-said-" + std::to_string(getpid()));
    const int status = std::system(("{ " + command + "; } >'" + said.string() + "' 2>&1").c_str());
    Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(said)};
    std::filesystem::remove(said);
    return outcome;
}

// A stand-in program in FOLDER/bin: writes its arguments, one a line, to NAME.args in the folder it
// runs in, then runs `then`.
inline void standIn(const std::filesystem::path& folder, const std::string& name, const std::string& then)
{
    const std::filesystem::path script = folder / "bin" / name;
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" << name << ".args\"\n"
                          << then << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

} // namespace tolva::testing
