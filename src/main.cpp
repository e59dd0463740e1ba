// Agent Zaza: the game.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "app/program.h"
#include "assets/catalogue.h"
#include "media/media.h"
#include "runtime/runtime.h"
#include "runtime/sdl/process.h"
#include "runtime/sdl/sdl_window_system.h"
#include "scenes/scenes.h"

namespace {

// One line and exit status 1 when there is no display to show the game on.
bool displayProblem(const std::optional<std::string>& why) {
    if (why) std::fprintf(stderr, "agent-zaza: %s\n", why->c_str());
    return why.has_value();
}

}  // namespace

int main(int argc, char** argv) {
    az::CommandLine cl;
    if (auto code = az::handleCommandLine(argc, argv, &cl)) return *code;
    az::guardProcess();
    if (displayProblem(az::displayMissing())) return 1;
    try {
        const std::string folder = az::dataFolderFor(az::executableFolder()).string();
        const double scale = az::displayScale(cl, az::SdlWindowSystem::desktopDpi());
        az::Catalogue pictures(folder + "/assets", scale);
        az::SdlWindowSystem ws;
        if (displayProblem(az::displayInvisible())) return 1;
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
