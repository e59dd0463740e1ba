// agent-zaza-script: runs the game from a scenario script.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "assets/catalogue.h"
#include "media/media.h"
#include "runtime/scale.h"
#include "runtime/script.h"
#include "runtime/sdl/sdl_window_system.h"
#include "scenes/scenes.h"

namespace {

// The same script in real windows and real time.
class WindowHost : public az::ScriptHost {
public:
    explicit WindowHost(az::Catalogue& pictures) : rt_(az::gameScenes(), ws_, clock_) {
        ws_.setImageSource([&pictures](int asset, int) { return pictures.cursorImage(asset); });
        ws_.attach(rt_);
    }
    az::Runtime& runtime() override { return rt_; }
    void wait(int64_t ms) override { ws_.runFor(clock_, ms); }
    void settle() override { ws_.pump(clock_); }
    az::Clock& clock() { return clock_; }
    az::SdlWindowSystem& windows() { return ws_; }

private:
    az::SdlWindowSystem ws_;
    az::SteadyClock clock_;
    az::Runtime rt_;
};

// Headless, with the sound mixed as game time passes.
class MediaHeadlessHost : public az::HeadlessHost {
public:
    using HeadlessHost::HeadlessHost;
    void setMedia(az::MediaSystem* m) { media_ = m; }
    void wait(int64_t ms) override {
        HeadlessHost::wait(ms);
        if (media_) media_->advanceTo(clock().now());
    }

private:
    az::MediaSystem* media_ = nullptr;
};

int usage() {
    std::fprintf(stderr, "usage: agent-zaza-script [--windows] [--audio-out FILE.wav | --no-media] [--scale S] SCRIPT\n");
    return 2;
}

std::string exeFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    bool windows = false;
    bool noMedia = false;  // no movies, tunes or banner (the benchmark's floor)
    const char* file = nullptr;
    std::string audioOut;
    double scale = 1.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windows") == 0)
            windows = true;
        else if (std::strcmp(argv[i], "--no-media") == 0)
            noMedia = true;
        else if (std::strcmp(argv[i], "--audio-out") == 0 && i + 1 < argc)
            audioOut = argv[++i];
        else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            // Windows and screenshots at a display scale.
            auto s = az::parseScale(argv[++i]);
            if (!s) return usage();
            scale = *s;
        }
        else if (argv[i][0] == '-' || file)
            return usage();
        else
            file = argv[i];
    }
    if (!file || (noMedia && !audioOut.empty())) return usage();
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        std::fprintf(stderr, "%s: is a folder, not a script\n", file);
        return 2;
    }
    std::ifstream in(file);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open the script: %s\n", file, std::strerror(errno));
        return 2;
    }
    try {
        az::Catalogue pictures(exeFolder() + "/assets", scale);
        std::unique_ptr<az::ScriptHost> host;
        std::unique_ptr<az::MediaSystem> media;
        az::MediaOptions mo;
        mo.wavOut = audioOut;
        if (windows) {
            auto w = std::make_unique<WindowHost>(pictures);
            // Without a display SDL falls back to windows nobody can see;
            // a script run there would pass without showing anything.
            const char* driver = SDL_GetCurrentVideoDriver();
            const char* asked = std::getenv("SDL_VIDEODRIVER");
            if (!driver || ((std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
                            !(asked && std::strcmp(asked, driver) == 0))) {
                std::fprintf(stderr, "%s: --windows needs a display, and there is none (is DISPLAY set?)\n", file);
                return 2;
            }
            w->windows().setScale(scale);
            mo.audio = az::MediaOptions::Audio::Device;
            if (!noMedia) {
                media = std::make_unique<az::MediaSystem>(w->clock(), mo);
                w->windows().setFrameInterval([m = media.get()] { return m->pump(); });
            }
            host = std::move(w);
        } else {
            auto h = std::make_unique<MediaHeadlessHost>(az::gameScenes());
            mo.audio = az::MediaOptions::Audio::Offline;
            if (!noMedia) {
                media = std::make_unique<az::MediaSystem>(h->clock(), mo);
                h->setMedia(media.get());
            }
            host = std::move(h);
        }
        if (media) media->attach(host->runtime());
        host->runtime().setProgramFolder(exeFolder());
        host->runtime().setPictures(&pictures);
        host->runtime().setScale(scale);
        host->runtime().start();
        host->settle();
        az::ScriptRunner runner(*host);
        const auto folder = std::filesystem::path(file).parent_path();
        runner.setIncludeFolder(folder.empty() ? "." : folder.string());
        if (media) az::addMediaExpectations(runner, *media);
        az::ScriptResult r = runner.run(in);
        if (r.exitCode != 0) {
            std::fprintf(stderr, "%s:%s\n", file, r.message.substr(4).c_str());
            return r.exitCode;
        }
        std::printf("%s: %d commands passed\n", file, r.commands);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", file, e.what());
        return 2;
    }
}
