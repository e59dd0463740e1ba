// What the game's executable needs before any window opens: where its data
// lies and what its command line asks for.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace az {

// The folder of the running executable.
std::filesystem::path executableFolder();

// The program folder, where the pictures (assets/), the movies and the tunes
// lie: beside the executable in the build tree, share/agent-zaza beside its
// bin/ folder when installed.
std::filesystem::path dataFolderFor(const std::filesystem::path& exeFolder);

// The game's command line.
struct CommandLine {
    enum class Action { Play, Help, Version, Usage };
    Action action = Action::Play;
    std::string error;  // what was wrong, for Usage
    std::optional<double> scale;  // --scale S
};
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The display scale: --scale, else AZ_SCALE, GDK_SCALE, the desktop's
// Xft.dpi / 96, else 1.
double displayScale(const CommandLine& cl, std::optional<double> desktopDpi);

const char* programVersion();
// The usage text, ending with a newline.
std::string usageText();

// Handles --help, --version and a bad command line (printing what they ask
// for); returns the exit code then, or nullopt when the game is to start.
std::optional<int> handleCommandLine(int argc, char** argv, CommandLine* out = nullptr);

}  // namespace az
