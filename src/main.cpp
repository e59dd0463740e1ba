// Agent Zaza: the game.
#include <cstdio>
#include <exception>

#include "app/program.h"
#include "assets/catalogue.h"
#include "media/media.h"
#include "runtime/runtime.h"
#include "runtime/sdl/sdl_window_system.h"
#include "scenes/scenes.h"

int main(int argc, char** argv) {
    az::CommandLine cl;
    if (auto code = az::handleCommandLine(argc, argv, &cl)) return *code;
    try {
        const std::string folder = az::dataFolderFor(az::executableFolder()).string();
        const double scale = az::displayScale(cl, az::SdlWindowSystem::desktopDpi());
        az::Catalogue pictures(folder + "/assets", scale);
        az::SdlWindowSystem ws;
        ws.setScale(scale);
        ws.setImageSource([&](int asset, int) { return pictures.cursorImage(asset); });
        az::SteadyClock clock;
        // Made before the runtime, so that it outlives the components.
        az::MediaSystem media(clock, {az::MediaOptions::Audio::Device, "", ""});
        az::Runtime rt(az::gameScenes(), ws, clock);
        rt.setProgramFolder(folder);
        rt.setPictures(&pictures);
        rt.setScale(scale);
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
