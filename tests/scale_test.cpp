// HiDPI: the display scale, and every scene drawn at it while its geometry
// stays in logical pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "assets/catalogue.h"
#include "runtime/painter.h"
#include "runtime/scale.h"
#include "runtime/script.h"
#include "runtime/text.h"
#include "scenes/scenes.h"

namespace az {
namespace {

const double kScales[] = {1.25, 1.5, 1.75, 2, 3};

TEST(Scale, TextToAQuarterFromOneToThree) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1", 1.0},    {"2", 2.0},       {"3", 3.0},        {"1.5", 1.5},    {"1.25", 1.25},
        {"1.3", 1.25}, {"1.74", 1.75},   {"2.9", 3.0},      {"0.5", std::nullopt}, {"3.2", std::nullopt},
        {"", std::nullopt}, {"two", std::nullopt}, {"2x", std::nullopt}, {"1,5", std::nullopt},
        {"nan", std::nullopt}, {"-2", std::nullopt},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(parseScale(text), want) << '"' << text << '"';
}

TEST(Scale, OptionThenAzScaleThenGdkScaleThenDpi) {
    EXPECT_EQ(chooseScale({}), 1.0);
    EXPECT_EQ(chooseScale({"2", "3", "3", 288.0}), 2.0);
    EXPECT_EQ(chooseScale({std::nullopt, "1.5", "3", 288.0}), 1.5);
    EXPECT_EQ(chooseScale({std::nullopt, std::nullopt, "2", 288.0}), 2.0);
    EXPECT_EQ(chooseScale({std::nullopt, std::nullopt, std::nullopt, 144.0}), 1.5);
    // A value the game cannot use is passed over, not obeyed.
    EXPECT_EQ(chooseScale({std::nullopt, "huge", "0", 192.0}), 2.0);
    EXPECT_EQ(chooseScale({std::nullopt, "", std::nullopt, std::nullopt}), 1.0);

    const std::pair<double, double> dpis[] = {{96, 1}, {72, 1}, {120, 1.25}, {144, 1.5}, {168, 1.75},
                                              {192, 2}, {200, 2}, {288, 3}, {480, 3}, {0, 1}};
    for (auto [dpi, s] : dpis) EXPECT_EQ(scaleForDpi(dpi), s) << dpi;
}

TEST(Scale, XftDpiFromTheResources) {
    EXPECT_EQ(xftDpiFromResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_EQ(xftDpiFromResources("Xft.dpi: 144.5"), 144.5);
    EXPECT_EQ(xftDpiFromResources("Xcursor.size:\t24\n"), std::nullopt);
    EXPECT_EQ(xftDpiFromResources("Xft.dpi:\tlots\n"), std::nullopt);
    EXPECT_EQ(xftDpiFromResources(""), std::nullopt);
}

TEST(Scale, EveryDevicePixelLiesInOneLogicalPixel) {
    for (double s : kScales) {
        for (int p = 0; p < 1000; ++p) {
            ASSERT_EQ(toLogical(toDevice(p, s), s), p) << s << " " << p;
            for (int d = toDevice(p, s); d < toDevice(p + 1, s); ++d) ASSERT_EQ(toLogical(d, s), p) << s << " " << d;
        }
        // The last device pixel still lies in the last logical one.
        const Size d = deviceSize(661, 573, s);
        EXPECT_EQ(toLogical(d.w - 1, s), 660) << s;
        EXPECT_EQ(toLogical(d.h - 1, s), 572) << s;
    }
}

// Every scene as its load leaves it, with the pictures of a scale.
struct Loaded {
    explicit Loaded(double scale) : pictures(AZ_ASSET_DIR, scale), host(gameScenes()) {
        host.runtime().setPictures(&pictures);
        host.runtime().setScale(scale);
    }
    const Scene& scene(const std::string& name) { return host.runtime().loadHidden(name); }
    Catalogue pictures;
    HeadlessHost host;
};

TEST(Scale, AClickHitsTheSameControlAtEveryScale) {
    // The window system hands the runtime the logical pixel of the device
    // pixel clicked: a grid of device points at each scale against the
    // logical point they stand for.
    Loaded one(1);
    for (const auto& w : windowTable()) {
        const Scene& s = one.scene(w.name);
        for (double k : {1.5, 2.0}) {
            const Size d = deviceSize(w.widthPx(), w.heightPx(), k);
            for (int dy = 0; dy < d.h; dy += 5)
                for (int dx = 0; dx < d.w; dx += 5) {
                    const int x = toLogical(dx, k), y = toLogical(dy, k);
                    ASSERT_LT(x, w.widthPx());
                    ASSERT_LT(y, w.heightPx());
                    // Where the centre of the device pixel lies at scale 1.
                    const int cx = static_cast<int>((dx + 0.5) / k), cy = static_cast<int>((dy + 0.5) / k);
                    ASSERT_EQ(one.host.runtime().hitTest(s, x, y), one.host.runtime().hitTest(s, cx, cy))
                        << w.name << " at " << k << ": " << dx << "," << dy;
                }
        }
    }
}

// The line breaks of a text as laid out on a surface of a device scale.
std::vector<int> lineStarts(const Font& f, const std::string& text, int width, int alignment, double scale) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_surface_set_device_scale(s, scale, scale);
    cairo_t* cr = cairo_create(s);
    PangoLayout* layout = makeLayout(cr, f, text, width, alignment);
    std::vector<int> starts;
    for (int i = 0; i < pango_layout_get_line_count(layout); ++i)
        starts.push_back(pango_layout_get_line_readonly(layout, i)->start_index);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    starts.push_back(logical.width);
    starts.push_back(logical.height);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return starts;
}

TEST(Scale, EveryLabelBreaksItsLinesAsAtScaleOne) {
    int checked = 0;
    for (const SceneDef& d : gameScenes())
        for (const ControlDesc& c : d.desc.controls) {
            if (c.caption.empty()) continue;
            const int width = c.kind == ControlKind::Label ? c.width / 15 : 0;
            const auto at1 = lineStarts(c.font, c.caption, width, c.alignment, 1);
            for (double k : {1.5, 2.0})
                EXPECT_EQ(lineStarts(c.font, c.caption, width, c.alignment, k), at1)
                    << d.desc.window.name << "." << c.name << " at " << k;
            ++checked;
        }
    EXPECT_GT(checked, 0);
}

TEST(Scale, PicturesMeasureInLogicalPixelsAndHaveTheScalesPixels) {
    for (double k : {1.0, 1.5, 2.0, 3.0}) {
        Catalogue cat(AZ_ASSET_DIR, k);
        for (const AssetRecord& r : assetRecords()) {
            if (r.kind == AssetKind::Vector || r.kind == AssetKind::Animated) continue;
            cairo_surface_t* s = cat.picture(r.id);
            ASSERT_NE(s, nullptr) << r.id << " at " << k;
            const Size l = logicalSize(s);
            EXPECT_EQ(l.w, r.w) << r.id << " at " << k;
            EXPECT_EQ(l.h, r.h) << r.id << " at " << k;
            EXPECT_EQ(cairo_image_surface_get_width(s), std::lround(r.w * k)) << r.id << " at " << k;
        }
        const Size office = logicalSize(cat.picture(44, 694, 547));
        EXPECT_EQ(office.w, 694);
        EXPECT_EQ(office.h, 547);
        ASSERT_FALSE(cat.frames(45).empty());
        EXPECT_EQ(logicalSize(cat.frames(45).front()).w, 468);
    }
}

TEST(Scale, CursorsAreScaledWithTheirHotSpots) {
    for (double k : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        Catalogue cat(AZ_ASSET_DIR, k);
        for (const AssetRecord& r : assetRecords()) {
            if (r.kind != AssetKind::Cursor) continue;
            auto img = cat.cursorImage(r.id);
            ASSERT_TRUE(img) << r.id;
            EXPECT_EQ(img->w, std::lround(32 * k)) << r.id << " at " << k;
            EXPECT_EQ(img->hotX, std::lround(r.hotX * k)) << r.id << " at " << k;
            EXPECT_EQ(img->hotY, std::lround(r.hotY * k)) << r.id << " at " << k;
            // The hot spot is on the same spot of the drawing.
            EXPECT_LT(std::abs(img->hotX / k - r.hotX), 0.5);
        }
    }
}

// The mean difference per channel (0 to 255) between a scale-1 picture and
// one at scale 2 brought down to it by averaging each 2 x 2 block.
double meanDifferenceHalved(cairo_surface_t* one, cairo_surface_t* two) {
    const int w = cairo_image_surface_get_width(one), h = cairo_image_surface_get_height(one);
    EXPECT_EQ(cairo_image_surface_get_width(two), 2 * w);
    EXPECT_EQ(cairo_image_surface_get_height(two), 2 * h);
    cairo_surface_flush(one);
    cairo_surface_flush(two);
    const unsigned char* a = cairo_image_surface_get_data(one);
    const unsigned char* b = cairo_image_surface_get_data(two);
    const int sa = cairo_image_surface_get_stride(one), sb = cairo_image_surface_get_stride(two);
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int q = 0;
                for (int j = 0; j < 2; ++j)
                    for (int i = 0; i < 2; ++i) q += b[(2 * y + j) * sb + (2 * x + i) * 4 + c];
                sum += std::abs(a[y * sa + x * 4 + c] - q / 4.0);
            }
    return sum / (double(w) * h * 3);
}

TEST(Scale, EverySceneAtTwoHalvedLooksAsAtOne) {
    Loaded one(1), two(2);
    for (const auto& w : windowTable()) {
        cairo_surface_t* a = renderScene(one.host.runtime(), one.scene(w.name));
        cairo_surface_t* b = renderScene(two.host.runtime(), two.scene(w.name));
        EXPECT_LT(meanDifferenceHalved(a, b), 3.0) << w.name;
        cairo_surface_destroy(a);
        cairo_surface_destroy(b);
    }
}

}  // namespace
}  // namespace az
