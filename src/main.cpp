// Agent Zaza: the game.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "assets/catalogue.h"
#include "media/media.h"
#include "runtime/runtime.h"
#include "runtime/sdl/sdl_window_system.h"
#include "scenes/scenes.h"

namespace {

std::string programFolder(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0);
    return exe.parent_path().string();
}

}  // namespace

int main(int, char** argv) {
    try {
        const std::string folder = programFolder(argv[0]);
        az::Catalogue pictures(folder + "/assets");
        az::SdlWindowSystem ws;
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
