// How long painting a full story scene takes: a 661 x 573 background, the
// agent and a prop, a dozen lines of dialogue and an inventory panel.
#include <benchmark/benchmark.h>

#include "assets/catalogue.h"
#include "runtime/painter.h"
#include "runtime/script.h"

namespace {

std::vector<az::SceneDef> storyLikeScene() {
    using namespace az;
    SceneDef d;
    d.desc.window = windowOf("Form6");
    for (int i = 0; i < 12; ++i)
        d.desc.controls.push_back(label("Label" + std::to_string(i))
                                      .at(3720, 3120 + i * 60, 3000, 495)
                                      .text("Nazdar hypízáku ! Jak se máš ?")
                                      .transparent()
                                      .sansBold());
    d.desc.controls.push_back(frame("Frame1").at(6000, 4800, 3600, 1335).text("Inventář").sansBold());
    for (int i = 0; i < 4; ++i)
        d.desc.controls.push_back(image("Item" + std::to_string(i)).at(120 + i * 900, 240, 900, 780).pic(29 + i).in("Frame1"));
    d.desc.controls.push_back(image("Agent").at(2160, 3000, 2325, 5145).pic(24));
    d.desc.controls.push_back(image("Cap").at(7920, 3600, 1065, 720).pic(32));
    return {d};
}

void BM_PaintStoryScene(benchmark::State& state) {
    az::Catalogue cat(AZ_ASSET_DIR);
    az::HeadlessHost host(storyLikeScene());
    host.runtime().setPictures(&cat);
    host.runtime().start("Form6");
    const az::Scene& s = *host.runtime().find("Form6");
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 659, 566);
    az::paintScene(host.runtime(), s, target);  // decode the pictures first
    for (auto _ : state) az::paintScene(host.runtime(), s, target);
    cairo_surface_destroy(target);
}
BENCHMARK(BM_PaintStoryScene)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
