// The scenario driver on a small test game.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/script.h"

namespace az {
namespace {

std::vector<SceneDef> testGame() {
    SceneDef a;
    a.desc.window = WindowDesc{"Start", "Start", 3000, 3000, Border::FixedSingle, 0, 0x00663300, 0, true};
    a.desc.controls = {
        label("Hello").at(0, 0, 1500, 300).text("Ahoj"),
        image("Gun").element(1).at(0, 600, 300, 300).withTag("Gun").draggable(),
        image("Spot").element(0).at(1500, 600, 300, 300),
        listBox("List").at(0, 1200, 1500, 600),
        checkBox("Check").at(0, 2000, 900, 255).val(1),
        timer("Tick", 3000).disabled(),
    };
    a.onLoad([](Runtime& rt, const SceneRef&, const Event&) {
        for (auto s : {"jedna", "dvě", "tři", "čtyři", "pět"}) rt.scene("Start").control("List").addItem(s);
    });
    a.on("Hello", EventKind::Click, [](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("Start").control("Hello").setCaption("Nazdar");
        rt.scene("Start").control("Tick").setEnabled(true);
    });
    a.on("Tick", EventKind::Timer, [](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("Start").control("Tick").setEnabled(false);
        rt.scene("Next").show();
    });
    a.on("List", EventKind::Click, [](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("Start").control("Hello").setCaption(
            "vybráno " + std::to_string(rt.scene("Start").control("List").listIndex()));
    });
    a.on("Spot", EventKind::DragDrop, [](Runtime& rt, const SceneRef&, const Event& e) {
        rt.scene("Start").control("Hello").setCaption("dostal " + e.source->tag());
    });
    SceneDef b;
    b.desc.window = WindowDesc{"Next", "Next", 3000, 3000, Border::FixedSingle, 0, 0, 0, true};
    b.desc.controls = {image("Target").at(0, 0, 600, 600)};
    b.on("Target", EventKind::DragDrop, [](Runtime& rt, const SceneRef&, const Event& e) {
        e.source->setVisible(false);
        rt.scene("Next").unload();
    });
    return {a, b};
}

ScriptResult run(const std::string& script) {
    HeadlessHost host(testGame());
    host.runtime().start("Start");
    return ScriptRunner(host).run(script);
}

TEST(Script, PlaysThroughAScene) {
    auto r = run(R"(# a comment, then a blank line

expect Start shown
expect Start.Hello.Caption "Ahoj"
click Start.Hello
expect Start.Hello.Caption "Nazdar"
expect Next unloaded
wait 2999
expect Next unloaded
wait 1
expect Next shown
select Start.List 4
expect Start.List.ListIndex 4
expect Start.Hello.Caption "vybráno 4"
click Start.Check
expect Start.Check.Value 0
drag Start.Gun(1) Start.Spot(0)
expect Start.Hello.Caption "dostal Gun"
drag Start.Gun(1) Next.Target
expect Start.Gun(1).Visible false
expect Next unloaded
click Start 5 5
close Start
expect ended
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

TEST(Script, ErrorsNameTheLine) {
    struct Case {
        const char* script;
        int code;
        const char* message;
    } cases[] = {
        {"expect Start.Hello.Caption \"Ahoj\"\nexpect Start.Hello.Caption \"Jo\"\n", 1,
         "line 2: expected Start.Hello.Caption \"Jo\", actual \"Ahoj\""},
        {"\nfrobnicate Start\n", 2, "line 2: unknown command frobnicate"},
        {"click Nowhere.Hello\n", 2, "line 1: unknown scene Nowhere"},
        {"click Start.Nope\n", 2, "line 1: unknown control Start.Nope"},
        {"click Start.Gun\n", 2, "line 1: control Start.Gun needs an element index"},
        {"click Next.Target\n", 1, "line 1: scene Next is unloaded, not shown"},
        {"wait soon\n", 2, "line 1: usage: wait MS"},
        {"expect Start.Hello.Caption \"open\n", 2, "line 1: unterminated quoted text"},
        {"expect Start.Hello.Colour 1\n", 2, "line 1: Start.Hello has no property Colour"},
        {"expect Start.Hello.Visible maybe\n", 2, "line 1: not a value: maybe"},
        {"expect Start asleep\n", 2, "line 1: a scene is unloaded, hidden or shown, not asleep"},
        {"expect ended\n", 1, "line 1: expected the game to have ended"},
        {"select Start.List 9\n", 1, "line 1: Start.List has no entry 9 (it has 5)"},
        {"select Start.Hello 0\n", 2, "line 1: Start.Hello is not a list box"},
        {"close Start\nclick Start.Hello\n", 1, "line 2: the game has ended"},
        {"expect Next.Target.Visible true\n", 1, "but Next is unloaded"},
    };
    for (const auto& c : cases) {
        auto r = run(c.script);
        EXPECT_EQ(r.exitCode, c.code) << c.script;
        EXPECT_NE(r.message.find(c.message), std::string::npos) << c.script << " gave: " << r.message;
    }
}

TEST(Script, ValuesCompareAsHandlersWriteThem) {
    // Booleans are -1 and 0 when written by handlers; both spellings match.
    auto r = run("expect Start.Gun(1).Visible true\nexpect Start.Gun(1).Visible -1\n"
                 "expect Start.Check.Value 1\nexpect Start.Tick.Interval 3000\n"
                 "expect Start.List.List(1) \"dvě\"\n");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

TEST(Script, ScreenshotWritesAPngOfTheClientArea) {
    std::string file = ::testing::TempDir() + "shot.png";
    std::remove(file.c_str());
    auto r = run("screenshot Start " + file + "\n");
    ASSERT_EQ(r.exitCode, 0) << r.message;
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in.good());
    unsigned char head[24];
    in.read(reinterpret_cast<char*>(head), 24);
    EXPECT_EQ(head[1], 'P');
    auto be32 = [&](int o) { return head[o] << 24 | head[o + 1] << 16 | head[o + 2] << 8 | head[o + 3]; };
    EXPECT_EQ(be32(16), 200);
    EXPECT_EQ(be32(20), 200);
}

// "include FILE" runs another script's lines in its place, FILE beside the
// including script; a failure inside names both lines.
TEST(Script, IncludeRunsAnotherScriptInPlace) {
    const std::string dir = ::testing::TempDir() + "az-include";
    std::filesystem::create_directories(dir + "/parts");
    auto write = [&](const std::string& name, const std::string& text) { std::ofstream(dir + "/" + name) << text; };
    write("parts/outer.azs", "# the start\ninclude inner.azs\nexpect Start.Tick.Enabled true\n");
    write("parts/inner.azs", "click Start.Hello\n");
    write("parts/wrong.azs", "wait 10\nexpect Start.Hello.Caption \"jiný\"\n");
    HeadlessHost h(testGame());
    h.runtime().start("Start");
    ScriptRunner runner(h);
    runner.setIncludeFolder(dir);
    auto ok = runner.run(std::string("include parts/outer.azs\nexpect Start.Hello.Caption \"Nazdar\"\n"));
    EXPECT_EQ(ok.exitCode, 0) << ok.message;
    EXPECT_EQ(ok.commands, 3);
    const struct {
        const char* script;
        int code;
        const char* message;
    } cases[] = {
        {"wait 1\ninclude parts/wrong.azs\n", 1, "line 2: in parts/wrong.azs line 2: "},
        {"include parts/missing.azs\n", 2, "line 1: cannot open parts/missing.azs"},
        {"include\n", 2, "line 1: usage: include FILE"},
    };
    for (const auto& c : cases) {
        auto r = runner.run(std::string(c.script));
        EXPECT_EQ(r.exitCode, c.code) << c.script;
        EXPECT_NE(r.message.find(c.message), std::string::npos) << c.script << " gave: " << r.message;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace az
