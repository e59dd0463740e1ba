#include "app/program.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/scale.h"

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
    auto bad = [&cl](std::string why) {
        cl.action = CommandLine::Action::Usage;
        cl.error = std::move(why);
        return cl;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--scale" || a.starts_with("--scale=")) {
            std::string v;
            if (a == "--scale") {
                if (i + 1 == args.size()) return bad("--scale needs a value");
                v = args[++i];
            } else {
                v = a.substr(8);
            }
            cl.scale = parseScale(v);
            if (!cl.scale) return bad("bad scale " + v + " (a number from 1 to 3)");
        } else if (a == "--help" || a == "-h") {
            cl.action = CommandLine::Action::Help;
        } else if (a == "--version") {
            if (cl.action == CommandLine::Action::Play) cl.action = CommandLine::Action::Version;
        } else {
            return bad(a.starts_with("-") ? "unknown option " + a : "unexpected argument " + a);
        }
    }
    return cl;
}

double displayScale(const CommandLine& cl, std::optional<double> desktopDpi) {
    auto env = [](const char* name) -> std::optional<std::string> {
        const char* v = std::getenv(name);
        if (!v) return std::nullopt;
        return std::string(v);
    };
    ScaleSources s;
    if (cl.scale) s.option = std::to_string(*cl.scale);
    s.azScale = env("AZ_SCALE");
    s.gdkScale = env("GDK_SCALE");
    s.xftDpi = desktopDpi;
    return chooseScale(s);
}

const char* programVersion() { return AZ_VERSION; }

std::string usageText() {
    return "usage: agent-zaza [--scale S] [--help] [--version]\n"
           "\n"
           "Agent Zaza, a point-and-click adventure in Czech.\n"
           "\n"
           "  --scale S   draw the game S times larger (1 to 3, in quarters); by\n"
           "              default AZ_SCALE, else GDK_SCALE, else the desktop's\n"
           "              Xft.dpi / 96\n"
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
