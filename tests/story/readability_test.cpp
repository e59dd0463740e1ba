// Every line of dialogue reads at a glance. The whole game is played through
// the scenario scripts; whenever a story scene is on screen, every label on
// it is measured against the picture beneath it, glyph by glyph:
//  - the contrast (as the web's accessibility guidelines count it) between
//    the text colour and the pixels under each glyph's box;
//  - the share of the glyph boxes crossed by strong edges of the picture
//    (outlines, kerbs, hair), which break letters even when the colours differ.
// One threshold for all lines. The table of every line is printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "assets/catalogue.h"
#include "runtime/painter.h"
#include "runtime/script.h"
#include "runtime/text.h"
#include "scenes/scenes.h"

namespace az {
namespace {

// What reads well when one looks: black or red lines on calm light ground.
constexpr double kMinContrast = 3.0;
constexpr double kMaxEdgeShare = 0.04;
// A pixel of a glyph's box is on a strong edge when its luminance differs
// from a neighbour's by this much (a black outline on a light colour does,
// the soft shading of a flat area does not).
constexpr double kEdgeStep = 0.25;
// A glyph stands out when nine tenths of its box do: single anti-aliased
// pixels of a neighbouring detail do not count.
constexpr double kGlyphQuantile = 0.10;

const std::set<std::string> kStoryScenes{"Form5", "Form6", "Form7", "Form8",  "Form9",
                                         "Form10", "Form11", "Form12", "late", "kancl2"};

double channel(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double luminance(double r, double g, double b) {
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}
double contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

struct Measure {
    double contrast = 1e9;  // the worst glyph's
    double edgeShare = 0;   // of all glyph boxes
    bool measured = false;
};

// Relative luminance of every pixel of a rendered scene.
std::vector<double> luminances(cairo_surface_t* s, int w, int h) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    std::vector<double> out(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t px = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
            out[static_cast<size_t>(y) * w + x] =
                luminance(((px >> 16) & 255) / 255.0, ((px >> 8) & 255) / 255.0, (px & 255) / 255.0);
        }
    return out;
}

// The boxes of the label's glyphs in client pixels, laid out as the painter
// lays them out, clipped to the label.
std::vector<Rect> glyphBoxes(const Control& c, const Rect& r) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    PangoLayout* layout = makeLayout(cr, c.p.font, c.p.caption, r.w, c.p.alignment);
    std::vector<Rect> boxes;
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoRectangle ink, logical;
        pango_layout_iter_get_cluster_extents(it, &ink, &logical);
        if (ink.width <= 0 || ink.height <= 0) continue;
        int x0 = r.x + PANGO_PIXELS_FLOOR(ink.x) - 1, y0 = r.y + PANGO_PIXELS_FLOOR(ink.y) - 1;
        int x1 = r.x + PANGO_PIXELS_CEIL(ink.x + ink.width) + 1, y1 = r.y + PANGO_PIXELS_CEIL(ink.y + ink.height) + 1;
        x0 = std::max(x0, r.x), y0 = std::max(y0, r.y);
        x1 = std::min(x1, r.x + r.w), y1 = std::min(y1, r.y + r.h);
        if (x1 > x0 && y1 > y0) boxes.push_back({x0, y0, x1 - x0, y1 - y0});
    } while (pango_layout_iter_next_cluster(it));
    pango_layout_iter_free(it);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return boxes;
}

// The label over what lies beneath it: the scene painted with the labels'
// own backgrounds but without any text. Lines that the story shows over
// one another at the same moment are the story's doing, not the pictures'.
Measure measure(const Runtime& rt, const Scene& s, Control& c) {
    const Rect r = s.clientRect(c);
    const int w = s.windowDesc().widthPx(), h = s.windowDesc().heightPx();
    std::vector<std::pair<Control*, std::string>> captions;
    for (const auto& cp : s.controls)
        if (cp->kind() == ControlKind::Label) captions.emplace_back(cp.get(), std::move(cp->p.caption)), cp->p.caption.clear();
    cairo_surface_t* under = renderScene(rt, s);
    for (auto& [label, text] : captions) label->p.caption = std::move(text);
    const std::vector<double> lum = luminances(under, w, h);
    cairo_surface_destroy(under);
    const Rgb t = rgbOf(c.p.effectiveForeColor());
    const double text = luminance(t.r, t.g, t.b);
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1), y = std::clamp(y, 0, h - 1);
        return lum[static_cast<size_t>(y) * w + x];
    };
    Measure m;
    long area = 0, edges = 0;
    for (const Rect& b : glyphBoxes(c, r)) {
        std::vector<double> cs;
        for (int y = b.y; y < b.y + b.h; ++y)
            for (int x = b.x; x < b.x + b.w; ++x) {
                if (x < 0 || y < 0 || x >= w || y >= h) continue;
                const double l = at(x, y);
                cs.push_back(contrast(text, l));
                const double step = std::max({std::abs(l - at(x + 1, y)), std::abs(l - at(x - 1, y)),
                                              std::abs(l - at(x, y + 1)), std::abs(l - at(x, y - 1))});
                ++area;
                if (step >= kEdgeStep) ++edges;
            }
        if (cs.empty()) continue;
        const size_t k = static_cast<size_t>(kGlyphQuantile * static_cast<double>(cs.size()));
        std::nth_element(cs.begin(), cs.begin() + static_cast<long>(k), cs.end());
        m.contrast = std::min(m.contrast, cs[k]);
        m.measured = true;
    }
    m.edgeShare = area ? double(edges) / double(area) : 0;
    return m;
}

struct Row {
    std::string words;
    Rect at;
    Measure worst;
    int states = 0;
};

// Plays scripts headless, measuring the labels of the shown story scenes
// after every input and every timer tick.
class MeasuringHost : public HeadlessHost {
public:
    explicit MeasuringHost(std::map<std::tuple<std::string, std::string, std::string>, Row>& rows)
        : HeadlessHost(gameScenes()), rows_(rows), pictures_(AZ_ASSET_DIR) {
        runtime().setPictures(&pictures_);
    }
    void wait(int64_t ms) override {
        const int64_t end = clock().now() + ms;
        for (;;) {
            const auto due = runtime().nextDue();
            if (!due || *due > end) break;
            runtime().advanceTo(clock(), std::max(*due, clock().now()));
            measureAll();
            if (runtime().ended()) return;
        }
        runtime().advanceTo(clock(), end);
        measureAll();
    }
    void settle() override { measureAll(); }

    void measureAll() {
        Runtime& rt = runtime();
        for (const auto& sp : rt.scenes()) {
            const Scene& s = *sp;
            if (s.state != SceneState::Shown || !kStoryScenes.count(s.name())) continue;
            for (const auto& cp : s.controls) {
                Control& c = *cp;
                if (c.kind() != ControlKind::Label || !c.p.visible || c.p.caption.empty()) continue;
                if (const Control* f = s.frameOf(c); f && !f->p.visible) continue;
                const std::string key = s.name() + "|" + c.displayName() + "|" + signature(s);
                if (!seen_.insert(key).second) continue;
                const Measure m = measure(rt, s, c);
                if (!m.measured) continue;
                Row& row = rows_[{s.name(), c.displayName(), c.p.caption}];
                if (row.states == 0) crop(s, c, rows_.size());
                row.at = s.clientRect(c);
                row.words = c.p.caption;
                row.worst.measured = true;
                row.worst.contrast = std::min(row.worst.contrast, m.contrast);
                row.worst.edgeShare = std::max(row.worst.edgeShare, m.edgeShare);
                ++row.states;
            }
        }
    }

private:
    // With AZ_DIALOGUE_DIR=DIR each line is left in DIR as it looks in its
    // scene the first time it is shown (tools/make-docs.sh makes a contact
    // sheet of them).
    void crop(const Scene& s, const Control& c, size_t n) {
        const char* dir = std::getenv("AZ_DIALOGUE_DIR");
        if (!dir) return;
        const Rect r = s.clientRect(c);
        constexpr int kMargin = 10;
        cairo_surface_t* scene = renderScene(runtime(), s);
        cairo_surface_t* out =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.w + 2 * kMargin, r.h + 2 * kMargin);
        cairo_t* cr = cairo_create(out);
        cairo_set_source_surface(cr, scene, kMargin - r.x, kMargin - r.y);
        cairo_paint(cr);
        cairo_destroy(cr);
        char name[32];
        std::snprintf(name, sizeof name, "/line-%03zu-", n);
        cairo_surface_write_to_png(out, (dir + std::string(name) + s.name() + "-" + c.displayName() + ".png").c_str());
        cairo_surface_destroy(out);
        cairo_surface_destroy(scene);
    }

    // What the scene shows: a label measured once for each look of its scene.
    static std::string signature(const Scene& s) {
        std::string sig;
        for (const auto& cp : s.controls) {
            const Control& c = *cp;
            if (!c.p.visible) continue;
            sig += c.displayName() + ":" + std::to_string(c.p.picture) + ":" + std::to_string(c.p.left) + "," +
                   std::to_string(c.p.top) + ":" + c.p.caption + ";";
        }
        return sig;
    }

    std::map<std::tuple<std::string, std::string, std::string>, Row>& rows_;
    Catalogue pictures_;
    std::set<std::string> seen_;
};

// The scripts without what needs the media system or writes files.
// The script's lines without the ones that need sound, movies or files;
// included scripts are taken in place, so that the filter applies to them too.
void storyLines(const std::filesystem::path& file, std::ostringstream& out) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("screenshot", 0) == 0 || line.rfind("expect music", 0) == 0 ||
            line.rfind("expect movie", 0) == 0 || line.rfind("expect sound", 0) == 0)
            continue;
        if (line.rfind("include ", 0) == 0) {
            std::istringstream words(line.substr(8));
            std::string part;
            words >> part;
            storyLines(file.parent_path() / part, out);
            continue;
        }
        out << line << "\n";
    }
}

std::string storyOnly(const std::filesystem::path& file) {
    std::ostringstream out;
    storyLines(file, out);
    return out.str();
}

// Spaces that fill a UTF-8 text to 36 columns.
int pad(const std::string& s) {
    int cols = 0;
    for (unsigned char ch : s) cols += (ch & 0xC0) != 0x80;
    return std::max(0, 36 - cols);
}

std::string firstWords(const std::string& text, size_t n = 34) {
    if (text.size() <= n) return text;
    std::string s = text.substr(0, n);
    while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80) s.pop_back();  // UTF-8
    if (!s.empty() && (static_cast<unsigned char>(s.back()) & 0x80)) s.pop_back();
    return s + "…";
}

TEST(Readability, EveryLineOfEveryStorySceneStandsOutFromItsPicture) {
    std::vector<std::filesystem::path> scripts;
    for (const auto& e : std::filesystem::directory_iterator(AZ_SOURCE_DIR "/tests/scripts"))
        if (e.path().extension() == ".azs") scripts.push_back(e.path());
    scripts.push_back(AZ_SOURCE_DIR "/docs/scenes.azs");
    std::sort(scripts.begin(), scripts.end());

    std::map<std::tuple<std::string, std::string, std::string>, Row> rows;
    for (const auto& file : scripts) {
        MeasuringHost host(rows);
        host.runtime().start();
        host.settle();
        ScriptResult r = ScriptRunner(host).run(storyOnly(file));
        EXPECT_EQ(r.exitCode, 0) << file << ": " << r.message;
    }

    std::printf("%-7s %-10s %-17s %-36s %8s %6s\n", "scene", "label", "at", "first words", "contrast", "edges");
    int failing = 0;
    for (const auto& [key, row] : rows) {
        const bool ok = row.worst.contrast >= kMinContrast && row.worst.edgeShare <= kMaxEdgeShare;
        if (!ok) ++failing;
        const std::string at = std::to_string(row.at.x) + "," + std::to_string(row.at.y) + " " +
                               std::to_string(row.at.w) + "x" + std::to_string(row.at.h);
        std::printf("%-7s %-10s %-17s %s%*s %8.2f %5.1f%% %s\n", std::get<0>(key).c_str(), std::get<1>(key).c_str(),
                    at.c_str(), firstWords(row.words).c_str(), pad(firstWords(row.words)), "", row.worst.contrast, 100 * row.worst.edgeShare,
                    ok ? "" : "FAILS");
    }
    EXPECT_FALSE(rows.empty());
    EXPECT_EQ(failing, 0) << "lines that do not stand out from their picture (contrast below " << kMinContrast
                          << ":1 or more than " << 100 * kMaxEdgeShare << "% of their glyphs on strong edges)";
}

}  // namespace
}  // namespace az
