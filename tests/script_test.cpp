// The scenario driver on a small test game.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
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
        // A long list with room for a thumb: 7 rows of 20 in view.
        listBox("Long").at(1900, 0, 1050, 1500),
        optionButton("One").at(1500, 2400, 600, 195).val(-1),
        optionButton("Two").at(1500, 2700, 600, 195),
    };
    a.onLoad([](Runtime& rt, const SceneRef&, const Event&) {
        for (auto s : {"jedna", "dvě", "tři", "čtyři", "pět"}) rt.scene("Start").control("List").addItem(s);
        for (int i = 0; i < 20; ++i) rt.scene("Start").control("Long").addItem("řádek " + std::to_string(i));
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
    a.on("Long", EventKind::Click, [](Runtime& rt, const SceneRef&, const Event&) {
        auto hello = rt.scene("Start").control("Hello");
        hello.setCaption(hello.caption() + " " + std::to_string(rt.scene("Start").control("Long").listIndex()));
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

namespace az {
namespace {

struct Game {
    HeadlessHost host{testGame()};
    Game() { host.runtime().start("Start"); }
    const Control& control(const std::string& name) { return *host.runtime().find("Start")->find(name); }
    void play(const std::string& script) {
        ScriptResult r = ScriptRunner(host).run(script);
        EXPECT_EQ(r.exitCode, 0) << r.message;
    }
};

TEST(ListBox, TheScrollBarScrollsAndNeverSelects) {
    // Long: 70 x 100 at 126,0; its bar at x 178..193: arrows 2..17 and
    // 82..97, the track between them, a thumb of 22 pixels.
    Game g;
    g.play(R"(
click Start 185 10            # the up arrow at the top: nothing to scroll
expect Start.Long.TopIndex 0
click Start 185 90            # the down arrow: one row
click Start 185 90
expect Start.Long.TopIndex 2
click Start 185 78            # the track below the thumb: a page of 7 rows
expect Start.Long.TopIndex 9
click Start 185 20            # above it: a page back
expect Start.Long.TopIndex 2
wheel Start.Long 2            # two notches of three rows
expect Start.Long.TopIndex 8
wheel Start.Long 100          # as far as it goes
expect Start.Long.TopIndex 13
click Start 185 90
expect Start.Long.TopIndex 13
wheel Start.Long -1
expect Start.Long.TopIndex 10
expect Start.Long.ListIndex -1
expect Start.Hello.Caption "Ahoj"
)");
}

TEST(ListBox, TheThumbFollowsThePointerWhileHeld) {
    Game g;
    Runtime& rt = g.host.runtime();
    const Control& list = g.control("Long");
    // The thumb at the top of the track (18..39); held at its middle.
    rt.mouseDown("Start", 185, 28);
    for (int y = 28; y <= 120; y += 4) rt.mouseMove("Start", 185, y);  // beyond the bar: the end
    EXPECT_EQ(list.topIndex, 13);
    rt.mouseMove("Start", 185, 28 + 21);  // half way down the track's free span
    EXPECT_EQ(list.topIndex, 7);
    rt.mouseUp("Start", 185, 49);
    rt.mouseMove("Start", 185, 28);  // let go: it stays
    EXPECT_EQ(list.topIndex, 7);
    EXPECT_EQ(list.listIndex, -1);
    EXPECT_EQ(g.control("Hello").p.caption, "Ahoj");
}

TEST(ListBox, APartlyVisibleRowClickedComesIntoView) {
    // Rows of 13 pixels from y 2: the eighth (index 7) shows its top 5.
    Game g;
    g.play(R"(
click Start 150 95
expect Start.Long.ListIndex 7
expect Start.Long.TopIndex 1
expect Start.Hello.Caption "Ahoj 7"
select Start.Long 0           # scrolled back by its arrow, then clicked
expect Start.Long.TopIndex 0
expect Start.Long.ListIndex 0
select Start.Long 19
expect Start.Long.TopIndex 13
expect Start.Hello.Caption "Ahoj 7 0 19"
select Start.Long 0
expect Start.Long.TopIndex 0
)");
}

TEST(Keyboard, ListKeysMoveTheSelectionAndRaiseClickEachTime) {
    Game g;
    g.play(R"(
click Start 185 10            # the bar gives the list the focus, selects nothing
expect Start.Long.ListIndex -1
key Start down                # from the first row, as the caret stands there
expect Start.Long.ListIndex 1
key Start up
key Start up                  # already at the top: no move, no Click
expect Start.Long.ListIndex 0
key Start end
expect Start.Long.ListIndex 19
expect Start.Long.TopIndex 13
key Start pageup              # a page is the rows in view less one
expect Start.Long.ListIndex 13
key Start home
expect Start.Long.TopIndex 0
key Start pagedown
expect Start.Long.ListIndex 6
key Start pagedown
expect Start.Long.ListIndex 12
expect Start.Long.TopIndex 6
key Start right
expect Start.Hello.Caption "Ahoj 1 0 19 13 0 6 12 13"
)");
}

TEST(Keyboard, TabMovesTheFocusAmongStandardControlsInDescriptionOrder) {
    // List, Check, Long, then the option buttons as one stop: the chosen one.
    Game g;
    const Scene& s = *g.host.runtime().find("Start");
    auto focus = [&] { return s.focused() ? s.focused()->name() : std::string("none"); };
    EXPECT_EQ(focus(), "none");
    std::vector<std::string> seen;
    for (int i = 0; i < 5; ++i) {
        g.play("key Start tab\n");
        seen.push_back(focus());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"List", "Check", "Long", "One", "List"}));
    g.play("key Start shift+tab\n");
    EXPECT_EQ(focus(), "One");
    g.play(R"(
key Start down                # the arrows choose among the option buttons
expect Start.Two.Value true
expect Start.One.Value false
key Start down                # round to the first
expect Start.One.Value true
key Start left
expect Start.Two.Value true
key Start shift+tab           # back past Long to the check box
key Start shift+tab
key Start space               # the check box toggles, as clicked
expect Start.Check.Value 0
key Start space
expect Start.Check.Value 1
click Start.Hello             # a label takes no focus
key Start space
expect Start.Check.Value 0
)");
    EXPECT_EQ(focus(), "Check");
    // A hidden control loses the focus; the keys then do nothing.
    g.host.runtime().dispatch([&] { g.host.runtime().scene("Start").control("Check").setVisible(false); });
    EXPECT_EQ(focus(), "none");
    g.play("key Start space\nexpect Start.Check.Value 0\n");
}

}  // namespace
}  // namespace az

namespace az {
namespace {

// The driver as the README shows it: the program on script files.
struct Driver {
    // A folder of its own: the tests run side by side.
    std::string dir = ::testing::TempDir() + "az-driver-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    Driver() { std::filesystem::create_directories(dir); }
    // Runs a script file; a timeout guards against a hang.
    int run(const std::string& args, const std::string& env = "") {
        const std::string cmd = "cd '" + dir + "' && " + env + "timeout 60 " AZ_SCRIPT_BIN " " + args + " >out.txt 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string output() {
        std::ifstream in(dir + "out.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir + name, std::ios::binary) << text;
        return dir + name;
    }
};

TEST(Driver, TheReadmeExampleRuns) {
    std::ifstream in(std::string(AZ_SOURCE_DIR) + "/README.md");
    std::string readme((std::istreambuf_iterator<char>(in)), {});
    const size_t intro = readme.find("This example runs with the tests");
    ASSERT_NE(intro, std::string::npos);
    const size_t open = readme.find("```\n", intro), close = readme.find("```\n", open + 4);
    ASSERT_NE(close, std::string::npos);
    Driver d;
    const std::string script = d.write("readme.azs", readme.substr(open + 4, close - open - 4));
    EXPECT_EQ(d.run("--audio-out readme.wav " + script), 0) << d.output();
    EXPECT_TRUE(std::filesystem::exists(d.dir + "house.png"));
}

TEST(Driver, MalformedLinesExitWithTwoAtOnce) {
    using namespace std::string_literals;
    struct Case {
        std::string line, message;
    } cases[] = {
        {"wait 9223372036854775807", "usage: wait MS"},
        {"wait 86400001", "at most 86400000"},
        {"expect sound loud 9223372036854775807", "usage: expect sound"},
        {"expect music", "usage: expect music"},
        {"expect movie Nowhere.mov1 intro.swf", "unknown scene Nowhere"},
        {"click Form1 374 0", "outside the client area of Form1 (374 x 393)"},
        {"click Form1 -1 5", "outside the client area"},
        {"key Form1 escape", "no key named escape"},
        {"wheel Form1.mov1 100000", "usage: wheel"},
        {"screenshot Form1 a\0b.png"s, "NUL byte"},
        {"click Form1.mov1 extra # \"", "usage: click"},
    };
    Driver d;
    for (const Case& c : cases) {
        // The first line passes: a comment after a command, quotes in it unread.
        const std::string script = d.write("bad.azs", "expect Form1 shown # the \"intro\n" + c.line + "\n");
        EXPECT_EQ(d.run(script), 2) << c.line;
        const std::string out = d.output();
        EXPECT_NE(out.find("bad.azs: 2: "), std::string::npos) << c.line << ": " << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.line << ": " << out;
    }
}

TEST(Driver, AScriptThatCannotBeReadIsAnError) {
    Driver d;
    EXPECT_EQ(d.run(d.dir), 2);
    EXPECT_NE(d.output().find("is a folder"), std::string::npos) << d.output();
    EXPECT_EQ(d.run(d.dir + "missing.azs"), 2);
    EXPECT_NE(d.output().find("cannot open the script"), std::string::npos) << d.output();
    // Impossible actions fail, naming their line.
    const std::string hidden = d.write("close.azs", "wait 19998\nclose Form1\n");
    EXPECT_EQ(d.run(hidden), 1);
    EXPECT_NE(d.output().find("close.azs: 2: scene Form1 is unloaded, not shown"), std::string::npos) << d.output();
}

TEST(Driver, WindowsWithoutADisplayFailAtOnce) {
    Driver d;
    const std::string script = d.write("ok.azs", "expect Form1 shown\n");
    EXPECT_EQ(d.run("--windows " + script, "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "), 2);
    EXPECT_NE(d.output().find("--windows needs a display"), std::string::npos) << d.output();
}

}  // namespace
}  // namespace az
