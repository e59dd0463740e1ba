// agent-zaza-script: runs the game from a scenario script.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "assets/catalogue.h"
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

private:
    az::SdlWindowSystem ws_;
    az::SteadyClock clock_;
    az::Runtime rt_;
};

int usage() {
    std::fprintf(stderr, "usage: agent-zaza-script [--windows] SCRIPT\n");
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
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windows") == 0)
            windows = true;
        else if (argv[i][0] == '-' || file)
            return usage();
        else
            file = argv[i];
    }
    if (!file) return usage();
    std::ifstream in(file);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open the script\n", file);
        return 2;
    }
    try {
        az::Catalogue pictures(exeFolder() + "/assets");
        std::unique_ptr<az::ScriptHost> host;
        if (windows)
            host = std::make_unique<WindowHost>(pictures);
        else
            host = std::make_unique<az::HeadlessHost>(az::gameScenes());
        host->runtime().setProgramFolder(exeFolder());
        host->runtime().setPictures(&pictures);
        host->runtime().start();
        host->settle();
        az::ScriptRunner runner(*host);
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
