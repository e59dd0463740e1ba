// Agent Zaza: the game.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "assets/catalogue.h"
#include "media/media.h"
#include "runtime/runtime.h"
#include "runtime/sdl/process.h"
#include "runtime/sdl/sdl_window_system.h"
#include "scenes/scenes.h"

namespace {

std::string programFolder(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0);
    return exe.parent_path().string();
}

// One line and exit status 1 when there is no display to show the game on.
bool displayProblem(const std::optional<std::string>& why) {
    if (why) std::fprintf(stderr, "agent-zaza: %s\n", why->c_str());
    return why.has_value();
}

}  // namespace

int main(int, char** argv) {
    az::guardProcess();
    if (displayProblem(az::displayMissing())) return 1;
    try {
        const std::string folder = programFolder(argv[0]);
        az::Catalogue pictures(folder + "/assets");
        az::SdlWindowSystem ws;
        if (displayProblem(az::displayInvisible())) return 1;
        ws.setImageSource([&](int asset, int) { return pictures.cursorImage(asset); });
        az::SteadyClock clock;
        // Made before the runtime, so that it outlives the components.
        az::MediaSystem media(clock, {az::MediaOptions::Audio::Device, "", ""});
        az::Runtime rt(az::gameScenes(), ws, clock);
        rt.setProgramFolder(folder);
        rt.setPictures(&pictures);
        ws.attach(rt);
        media.attach(rt);
        ws.setFrameInterval([&media] { return media.pump(); });
        rt.start();
        ws.run(clock);
        return rt.exitCode();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "agent-zaza: %s\n", e.what());
        return 1;
    }
}
