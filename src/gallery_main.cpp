// agent-zaza-gallery OUTDIR: every asset and every scene as it looks at load,
// drawn by the painter the game uses.
#include <cstdio>
#include <filesystem>
#include <string>

#include "assets/catalogue.h"
#include "runtime/painter.h"
#include "runtime/script.h"
#include "scenes/scenes.h"

namespace {

std::string exeFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

bool write(cairo_surface_t* s, const std::string& file) {
    if (cairo_surface_write_to_png(s, file.c_str()) == CAIRO_STATUS_SUCCESS) return true;
    std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: agent-zaza-gallery OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    std::filesystem::create_directories(out);
    az::Catalogue cat(exeFolder() + "/assets");
    bool ok = true;
    char name[64];
    for (const auto& r : az::assetRecords()) {
        if (r.kind == az::AssetKind::Animated) {
            const auto& frames = cat.frames(r.id);
            if (frames.empty()) ok = false;
            for (size_t i = 0; i < frames.size(); ++i) {
                std::snprintf(name, sizeof name, "/asset-%02d-%02zu.png", r.id, i);
                ok &= write(frames[i], out + name);
            }
            continue;
        }
        cairo_surface_t* s = r.kind == az::AssetKind::Vector ? cat.picture(r.id, 686, 613) : cat.picture(r.id);
        std::snprintf(name, sizeof name, "/asset-%02d.png", r.id);
        if (!s) {
            ok = false;
            continue;
        }
        ok &= write(s, out + name);
    }
    for (const auto& w : az::windowTable()) {
        // Each scene alone in a fresh game, as its load leaves it.
        az::HeadlessHost host(az::gameScenes());
        az::Runtime& rt = host.runtime();
        rt.setPictures(&cat);
        rt.setProgramFolder(exeFolder());
        // Loaded hidden, outside the event loop: no end check applies here.
        try {
            rt.loadHidden(w.name);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "scene %s did not load: %s\n", w.name.c_str(), e.what());
            ok = false;
            continue;
        }
        const az::Scene* s = rt.find(w.name);
        std::string err;
        if (!az::writeScenePng(rt, *s, out + "/scene-" + w.name + ".png", &err)) {
            std::fprintf(stderr, "%s\n", err.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
