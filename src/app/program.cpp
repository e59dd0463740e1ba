#include "app/program.h"

#include <cstdio>

namespace az {

namespace fs = std::filesystem;

fs::path executableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec);
    return exe.parent_path();
}

fs::path dataFolderFor(const fs::path& exeFolder) {
    std::error_code ec;
    // The build tree: everything beside the executable.
    if (fs::is_directory(exeFolder / "assets", ec)) return exeFolder;
    const fs::path installed = (exeFolder / AZ_DATA_FROM_BIN).lexically_normal();
    if (fs::is_directory(installed / "assets", ec)) return installed;
    // Neither: stay beside the executable and report the missing pictures there.
    return exeFolder;
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            cl.action = CommandLine::Action::Help;
        } else if (a == "--version") {
            if (cl.action == CommandLine::Action::Play) cl.action = CommandLine::Action::Version;
        } else {
            cl.action = CommandLine::Action::Usage;
            cl.error = a.starts_with("-") ? "unknown option " + a : "unexpected argument " + a;
            return cl;
        }
    }
    return cl;
}

const char* programVersion() { return AZ_VERSION; }

std::string usageText() {
    return "usage: agent-zaza [--help] [--version]\n"
           "\n"
           "Agent Zaza, a point-and-click adventure in Czech.\n"
           "\n"
           "  --help      show this help and exit\n"
           "  --version   show the version and exit\n";
}

std::optional<int> handleCommandLine(int argc, char** argv, CommandLine* out) {
    const CommandLine cl = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (out) *out = cl;
    switch (cl.action) {
    case CommandLine::Action::Play: return std::nullopt;
    case CommandLine::Action::Help: std::fputs(usageText().c_str(), stdout); return 0;
    case CommandLine::Action::Version: std::printf("agent-zaza %s\n", programVersion()); return 0;
    case CommandLine::Action::Usage:
        std::fprintf(stderr, "agent-zaza: %s\n%s", cl.error.c_str(), usageText().c_str());
        return 2;
    }
    return 2;
}

}  // namespace az
