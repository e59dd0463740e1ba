// The asset catalogue with the pictures the build rendered, and text that
// must fit the labels of every scene.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "assets/catalogue.h"
#include "runtime/text.h"
#include "scenes/scenes.h"

namespace az {
namespace {

TEST(Catalogue, EveryAssetHasItsSizeAndIsDecodedOnce) {
    Catalogue cat(AZ_ASSET_DIR);
    for (const auto& r : assetRecords()) {
        SCOPED_TRACE("asset " + std::to_string(r.id));
        cairo_surface_t* s = r.kind == AssetKind::Vector ? cat.picture(r.id, 694, 547) : cat.picture(r.id);
        ASSERT_NE(s, nullptr);
        const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        if (r.kind == AssetKind::Vector) {
            EXPECT_EQ(w, 694);
            EXPECT_EQ(h, 547);
            EXPECT_EQ(cairo_image_surface_get_width(cat.picture(r.id, 686, 613)), 686);
            continue;
        }
        EXPECT_EQ(w, r.w);
        EXPECT_EQ(h, r.h);
        // Opaque pictures cover every pixel; the others show what lies beneath.
        cairo_surface_flush(s);
        const unsigned char* d = cairo_image_surface_get_data(s);
        int clear = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                clear += (reinterpret_cast<const uint32_t*>(d + y * cairo_image_surface_get_stride(s))[x] >> 24) == 0;
        if (!r.transparent) {
            EXPECT_EQ(clear, 0);
        } else if (r.id != 34) {  // the map fills its picture
            EXPECT_GT(clear, 0);
        }
        if (r.kind == AssetKind::Icon) {
            cairo_surface_t* small = cat.picture(r.id, 16, 16);
            ASSERT_NE(small, nullptr);
            EXPECT_EQ(cairo_image_surface_get_width(small), 16);
        }
    }
    // Asked again, by every scene that uses them: no second decode.
    for (int i = 0; i < 6; ++i) cat.picture(1);
    EXPECT_EQ(cat.decodes(1), 1);
    EXPECT_EQ(cat.picture(1), cat.picture(1));
}

TEST(Catalogue, CursorsCarryTheirHotSpotsIconsTheirCentre) {
    Catalogue cat(AZ_ASSET_DIR);
    struct {
        int id, x, y;
    } spots[] = {{9, 15, 8}, {10, 4, 16}, {11, 12, 1}, {12, 15, 4}, {13, 24, 7}, {14, 12, 1}, {15, 15, 14}, {43, 16, 16}};
    for (auto s : spots) {
        auto img = cat.cursorImage(s.id);
        ASSERT_TRUE(img) << s.id;
        EXPECT_EQ(img->w, 32);
        EXPECT_EQ(img->hotX, s.x) << s.id;
        EXPECT_EQ(img->hotY, s.y) << s.id;
        // The hot spot lies on the drawing, not on a clear pixel beside it
        // (the smiley's centre is its face).
        EXPECT_GT(img->argb[size_t(s.y * 32 + s.x)] >> 24, 0u) << s.id;
    }
    EXPECT_FALSE(cat.cursorImage(24));
}

TEST(Catalogue, BannerFramesAreLeftInPlaceOutsideTheirBand) {
    Catalogue cat(AZ_ASSET_DIR);
    const auto& frames = cat.frames(45);
    ASSERT_EQ(frames.size(), 19u);
    auto px = [](cairo_surface_t* s, int x, int y) {
        cairo_surface_flush(s);
        return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                                 y * cairo_image_surface_get_stride(s))[x];
    };
    int outside = 0, changedInside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 468; ++x) {
            const bool band = y >= 10 && y < 50;
            if (!band) outside += px(frames[5], x, y) != px(frames[0], x, y);
            if (band) changedInside += px(frames[5], x, y) != px(frames[0], x, y);
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(changedInside, 0);  // the wave moves
    EXPECT_EQ(cat.decodes(45), 1);
}

// Every label caption of every scene, and every caption a handler writes,
// lays out in its label without a line cut off.
TEST(Text, EveryCaptionFitsItsLabel) {
    std::map<std::string, std::map<std::string, const ControlDesc*>> labels;
    auto scenes = gameScenes();
    std::vector<std::string> problems;
    auto check = [&](const std::string& where, const ControlDesc& c, const std::string& text) {
        const int w = twipsToPx(c.width), h = twipsToPx(c.height);
        TextExtent e = measureText(c.font, text, w);
        if (e.heightPx > h + 2 || e.wordTooWide)
            problems.push_back(where + " \"" + text + "\": " + std::to_string(e.lines) + " lines, " +
                               std::to_string(e.heightPx) + " px high, widest " + std::to_string(e.widestPx) +
                               " px, in " + std::to_string(w) + " x " + std::to_string(h));
    };
    for (const auto& s : scenes)
        for (const auto& c : s.desc.controls) {
            if (c.kind != ControlKind::Label) continue;
            labels[s.desc.window.name][c.name] = &c;
            if (!c.caption.empty()) check(s.desc.window.name + "." + c.name, c, c.caption);
        }
    // Captions written by handlers, as their steps write them.
    int written = 0;
    std::function<void(const std::string&, const Steps&)> walk = [&](const std::string& own, const Steps& steps) {
        for (const Step& st : steps) {
            if (st.op == Step::Say) {
                const std::string sn = st.target->scene.empty() ? own : st.target->scene;
                auto lit = labels[sn].find(st.target->name);
                if (lit == labels[sn].end()) {
                    problems.push_back(st.target->display(own) + " (written): no such label");
                    continue;
                }
                check(st.target->display(own) + " (written)", *lit->second, st.text);
                ++written;
            }
            walk(own, st.then);
            walk(own, st.otherwise);
            for (const auto& c : st.cases) walk(own, c);
        }
    };
    for (const auto& s : scenes)
        for (const auto& h : s.handlers) walk(s.desc.window.name, h.steps);
    EXPECT_GT(written, 0);  // the dialogue chains that rewrite a label are found
    for (const auto& p : problems) ADD_FAILURE() << p;
}

TEST(Text, CzechRendersWithTheMappedFonts) {
    EXPECT_STREQ(familyFor("MS Sans Serif"), "Liberation Sans");
    EXPECT_STREQ(familyFor("Verdana"), "DejaVu Sans");
    // Every letter of the alphabet's accented set is in the fonts: no
    // missing-glyph boxes (pango reports unknown glyphs).
    const std::string all = "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž";
    for (const char* face : {"MS Sans Serif", "Verdana"}) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cr = cairo_create(s);
        PangoLayout* layout = makeLayout(cr, Font{face, true}, all, 0, 0);
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0) << face;
        g_object_unref(layout);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
    }
    // One measured fit: the hippie's greeting in its 105 px label.
    EXPECT_LE(measureText(Font{"MS Sans Serif", true}, "Nazdar hypízáku !", 0).widestPx, 105);
}

}  // namespace
}  // namespace az
