// The painter: the drawing rules the story depends on, checked by pixels.
#include <gtest/gtest.h>

#include <map>

#include "runtime/painter.h"
#include "runtime/script.h"
#include "runtime/text.h"

namespace az {
namespace {

// Pictures made on the spot: asset n is a w x h block of one colour; asset
// 9 is half transparent (left half red, right half clear).
class FakePictures : public PictureSource {
public:
    ~FakePictures() override {
        for (auto& [k, s] : made_) cairo_surface_destroy(s);
    }
    cairo_surface_t* picture(int asset, int, int) override {
        auto it = made_.find(asset);
        if (it != made_.end()) return it->second;
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
        cairo_t* cr = cairo_create(s);
        if (asset == 9) {
            cairo_set_source_rgb(cr, 1, 0, 0);
            cairo_rectangle(cr, 0, 0, 5, 10);
            cairo_fill(cr);
        } else {
            cairo_set_source_rgb(cr, asset == 1 ? 1 : 0, asset == 2 ? 1 : 0, asset == 3 ? 1 : 0);
            cairo_paint(cr);
        }
        cairo_destroy(cr);
        made_[asset] = s;
        return s;
    }

private:
    std::map<int, cairo_surface_t*> made_;
};

// A scene 100 x 60 pixels on a white background.
struct Canvas {
    explicit Canvas(std::vector<ControlDesc> controls) {
        SceneDef d;
        d.desc.window = WindowDesc{"S", "S", 1500, 900, Border::FixedSingle, 0, 0x00FFFFFF, 0, true};
        d.desc.controls = std::move(controls);
        host = std::make_unique<HeadlessHost>(std::vector<SceneDef>{d});
        host->runtime().setPictures(&pics);
        host->runtime().start("S");
        paint();
    }
    ~Canvas() {
        if (surf) cairo_surface_destroy(surf);
    }
    void paint() {
        if (surf) cairo_surface_destroy(surf);
        surf = renderScene(host->runtime(), *host->runtime().find("S"));
    }
    uint32_t at(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(surf);
        return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surf))[x] & 0xFFFFFF;
    }
    // How many pixels of a rectangle are not the given colour.
    int inked(int x0, int y0, int w, int h, uint32_t bg = 0xFFFFFF) const {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) n += at(x, y) != bg;
        return n;
    }
    ControlRef control(const std::string& name) { return host->runtime().scene("S").control(name); }
    void write(const std::function<void()>& f) {
        host->runtime().dispatch(f);
        paint();
    }

    FakePictures pics;
    std::unique_ptr<HeadlessHost> host;
    cairo_surface_t* surf = nullptr;
};

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST(Painter, FirstListedIsOnTopAndWindowedControlsAboveAll) {
    Canvas c({
        image("Top").at(0, 0, 150, 150).pic(1),
        image("Under").at(75, 0, 150, 150).pic(2),
        listBox("List").at(600, 0, 300, 300),
        image("BelowList").at(600, 0, 300, 300).pic(3),  // listed after, but a list is windowed
        shapeCtl("Box").at(900, 0, 300, 300).filled().back(0x00FF0000).border(0x00FF0000),
        image("UnderBox").at(900, 0, 300, 300).pic(1),
    });
    EXPECT_EQ(c.at(7, 5), kRed);      // Top covers Under where they overlap
    EXPECT_EQ(c.at(12, 5), kGreen);   // Under beyond Top
    EXPECT_EQ(c.at(45, 10), kWhite);  // the list box's white background, not the picture
    EXPECT_EQ(c.at(65, 10), kBlue);   // the shape (listed first) over the picture
}

TEST(Painter, TransparentLabelShowsThePictureBetweenItsLetters) {
    Canvas c({
        label("Clear").at(0, 0, 600, 300).text("I").transparent(),
        label("Solid").at(0, 300, 600, 300).text("I").back(0x00FFFFFF),
        image("Pic").at(0, 0, 900, 900).pic(2).stretched(),
    });
    EXPECT_EQ(c.at(30, 10), kGreen);  // beside the letter: the picture
    EXPECT_EQ(c.at(30, 30), kWhite);  // the opaque label's own background
    EXPECT_GT(c.inked(0, 0, 10, 13, kGreen), 0);  // the letter itself
}

TEST(Painter, WrapsAtSpacesCutsLinesOffAndAligns) {
    Canvas c({label("L").at(0, 0, 900, 390).text("aaaa bbbb cccc dddd eeee").transparent()});
    // 60 px wide: two words to a line; 26 px high: two lines, the third cut off.
    EXPECT_EQ(measureText(Font{}, "aaaa bbbb cccc dddd eeee", 60).lines, 3);
    EXPECT_GT(c.inked(0, 0, 60, 13), 0);
    EXPECT_GT(c.inked(0, 13, 60, 13), 0);
    EXPECT_EQ(c.inked(0, 26, 100, 34), 0);  // below the label: nothing
    EXPECT_EQ(c.inked(60, 0, 40, 26), 0);   // right of it: nothing

    Canvas a({label("L").at(0, 0, 1500, 300).text("ab").transparent()});
    EXPECT_GT(a.inked(0, 0, 20, 13), 0);
    a.write([&] { a.control("L").setAlignment(1); });
    EXPECT_EQ(a.inked(0, 0, 20, 13), 0);
    EXPECT_GT(a.inked(80, 0, 20, 13), 0);
    a.write([&] { a.control("L").setAlignment(0); });
    EXPECT_GT(a.inked(0, 0, 20, 13), 0);
    EXPECT_EQ(a.inked(80, 0, 20, 13), 0);
}

TEST(Painter, DisabledLabelIsGreyed) {
    Canvas c({label("L").at(0, 0, 1500, 300).text("Menu").transparent().fore(0x000000FF)});
    auto reds = [&] {
        int n = 0;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 40; ++x) {
                uint32_t p = c.at(x, y);
                n += (p >> 16) > 0xC0 && (p & 0xFFFF) < 0x4040;
            }
        return n;
    };
    EXPECT_GT(reds(), 0);
    c.write([&] { c.control("L").setEnabled(false); });
    EXPECT_EQ(reds(), 0);
    EXPECT_GT(c.inked(0, 0, 40, 13), 0);
}

TEST(Painter, HiddenFrameHidesItsItemsEachComesBackByItsOwnVisible) {
    Canvas c({
        frame("Frame1").at(0, 0, 1500, 900).text("Inventář"),
        image("Gun").at(150, 300, 150, 150).pic(1).in("Frame1"),
        image("Keys").at(450, 300, 150, 150).pic(3).in("Frame1").hidden(),
    });
    EXPECT_EQ(c.at(15, 25), kRed);
    EXPECT_NE(c.at(35, 25), kBlue);
    c.write([&] { c.control("Frame1").setVisible(false); });
    EXPECT_EQ(c.at(15, 25), kWhite);
    c.write([&] { c.control("Keys").setVisible(true); });
    EXPECT_EQ(c.at(35, 25), kWhite);  // still inside a hidden frame
    c.write([&] { c.control("Frame1").setVisible(true); });
    EXPECT_EQ(c.at(15, 25), kRed);
    EXPECT_EQ(c.at(35, 25), kBlue);
}

TEST(Painter, StretchedPictureKeepsItsTransparency) {
    Canvas c({
        image("Half").at(0, 0, 600, 600).pic(9).stretched(),
        image("Under").at(0, 0, 900, 900).pic(2).stretched(),
    });
    EXPECT_EQ(c.at(5, 20), kRed);     // the opaque half, scaled to 20 px
    EXPECT_EQ(c.at(35, 20), kGreen);  // the clear half shows what lies beneath
}

TEST(Painter, ShapesAndLinesDrawInsideTheirRectangles) {
    Canvas c({
        shapeCtl("Ring").at(0, 0, 600, 600).figure(4).border(0x0000CCFF, 2),
        line("Rule").ends(0, 750, 1500, 750).border(0x00000000, 1),
    });
    EXPECT_EQ(c.at(20, 0), 0xFFCC00u);  // amber border on the inside edge
    EXPECT_EQ(c.at(20, 2), kWhite);     // transparent interior
    EXPECT_EQ(c.at(41, 20), kWhite);    // nothing outside
    EXPECT_EQ(c.at(50, 50), 0u);        // the line
}

TEST(Painter, ListBoxHighlightsTheSelectedEntryAndScrollsWhenFull) {
    Canvas c({listBox("L").at(0, 0, 1500, 600)});
    c.write([&] {
        for (auto s : {"Ano", "Ne", "Možná", "Nevím"}) c.control("L").addItem(s);
    });
    EXPECT_EQ(c.at(50, 4), kWhite);
    c.host->runtime().mouseDown("S", 50, 2 + 13 + 5);
    c.host->runtime().mouseUp("S", 50, 2 + 13 + 5);
    c.paint();
    EXPECT_EQ(c.at(50, 2 + 13 + 1), 0x000080u);  // the highlighted row
    EXPECT_GT(c.inked(84, 18, 12, 10), 0);       // a scroll bar: 4 entries, 2 rows fit
}

}  // namespace
}  // namespace az
