// The scene runtime: lifecycle, timers, hit test, clicks and drag-and-drop,
// on small scenes made for the tests.
#include <gtest/gtest.h>

#include <chrono>

#include "runtime/script.h"

namespace az {
namespace {

SceneDef scene(const std::string& name, int wTwips = 3000, int hTwips = 3000) {
    SceneDef d;
    d.desc.window = WindowDesc{name, name, wTwips, hTwips, Border::FixedSingle, 0, 0, 0, true};
    return d;
}

// A log that handlers write to, shared by a test's scenes.
struct Log {
    std::vector<std::string> lines;
    void operator()(std::string s) { lines.push_back(std::move(s)); }
    int count(const std::string& s) const { return int(std::count(lines.begin(), lines.end(), s)); }
};

Handler note(Log& log, std::string what) {
    return [&log, what](Runtime&, const SceneRef&, const Event&) { log(what); };
}

TEST(Lifecycle, ReferenceLoadsHiddenOnceAndRunsLoad) {
    Log log;
    auto a = scene("A");
    a.desc.controls = {label("Go").at(0, 0, 1500, 300)};
    a.on("Go", EventKind::Click, [&](Runtime& rt, const SceneRef&, const Event&) {
        // Reading a control of an unloaded scene loads it; a second access does not.
        log("read " + rt.scene("B").control("Text").caption());
        rt.scene("B").control("Text").setCaption("written");
        log("read " + rt.scene("B").control("Text").caption());
    });
    auto b = scene("B");
    b.desc.controls = {label("Text").text("design")};
    b.onLoad([&](Runtime& rt, const SceneRef&, const Event&) {
        log("B load");
        // Inside its own Load the scene is reached as it is, not loaded again.
        rt.scene("B").control("Text").setCaption("from load");
    });
    HeadlessHost h({a, b});
    Runtime& rt = h.runtime();
    rt.start("A");
    EXPECT_EQ(rt.state("B"), SceneState::Unloaded);
    rt.mouseDown("A", 10, 10);
    rt.mouseUp("A", 10, 10);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"B load", "read from load", "read written"}));
    EXPECT_EQ(rt.state("B"), SceneState::Hidden);
    EXPECT_FALSE(rt.ended());
}

TEST(Lifecycle, NestedLoadCompletesBeforeTheCallerContinues) {
    Log log;
    auto a = scene("A");
    a.onLoad([&](Runtime& rt, const SceneRef&, const Event&) {
        log("A start");
        rt.scene("B").control("X").setVisible(false);
        log("A end");
    });
    auto b = scene("B");
    b.desc.controls = {label("X")};
    b.onLoad([&](Runtime& rt, const SceneRef&, const Event&) {
        log("B start");
        rt.scene("C").control("Y").setVisible(false);
        log("B end");
    });
    auto c = scene("C");
    c.desc.controls = {label("Y")};
    c.onLoad(note(log, "C"));
    HeadlessHost h({a, b, c});
    h.runtime().start("A");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"A start", "B start", "C", "B end", "A end"}));
}

TEST(Lifecycle, HiddenKeepsValuesUnloadRestoresDesign) {
    auto a = scene("A");
    a.desc.controls = {label("L").text("design").hidden()};
    auto b = scene("B");
    HeadlessHost h({a, b});
    Runtime& rt = h.runtime();
    rt.start("B");
    rt.dispatch([&] {
        rt.scene("A").control("L").setCaption("changed");
        rt.scene("A").control("L").setVisible(true);
        rt.scene("A").show();
        rt.scene("A").setVisible(false);
        rt.scene("A").show();
    });
    EXPECT_EQ(rt.state("A"), SceneState::Shown);
    EXPECT_EQ(rt.find("A")->find("L")->p.caption, "changed");
    EXPECT_TRUE(rt.find("A")->find("L")->p.visible);
    rt.dispatch([&] { rt.scene("A").unload(); });
    EXPECT_EQ(rt.state("A"), SceneState::Unloaded);
    rt.dispatch([&] { (void)rt.scene("A").control("L").caption(); });
    EXPECT_EQ(rt.find("A")->find("L")->p.caption, "design");
    EXPECT_FALSE(rt.find("A")->find("L")->p.visible);
}

TEST(Lifecycle, ShowOnShownSceneOnlyRaisesIt) {
    Log log;
    auto a = scene("A");
    a.onLoad(note(log, "A load"));
    auto b = scene("B");
    HeadlessHost h({a, b});
    Runtime& rt = h.runtime();
    rt.start("A");
    rt.dispatch([&] { rt.scene("B").show(); });
    EXPECT_EQ(h.windows().topScene(), "B");
    rt.dispatch([&] { rt.scene("A").show(); });
    EXPECT_EQ(h.windows().topScene(), "A");
    EXPECT_EQ(log.count("A load"), 1);
}

TEST(Lifecycle, VisibleFalseOnUnloadedSceneThatShowsItselfOnLoad) {
    Log log;
    auto a = scene("A");
    auto house = scene("House");
    house.onLoad([&](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("House").setVisible(true);
        log(std::string("shown in load: ") + (rt.state("House") == SceneState::Shown ? "yes" : "no"));
    });
    HeadlessHost h({a, house});
    Runtime& rt = h.runtime();
    rt.start("A");
    rt.dispatch([&] { rt.scene("House").setVisible(false); });
    EXPECT_EQ(log.lines, std::vector<std::string>{"shown in load: yes"});
    EXPECT_EQ(rt.state("House"), SceneState::Hidden);
}

TEST(Lifecycle, UnloadingOwnSceneThenShowingAnotherDoesNotEndTheProgram) {
    auto map = scene("Map");
    map.desc.controls = {label("Place").at(0, 0, 1500, 300)};
    map.on("Place", EventKind::Click, [](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("Map").unload();  // the only scene loaded
        rt.scene("Market").show();
    });
    auto market = scene("Market");
    HeadlessHost h({map, market});
    Runtime& rt = h.runtime();
    rt.start("Map");
    rt.mouseDown("Map", 5, 5);
    rt.mouseUp("Map", 5, 5);
    EXPECT_FALSE(rt.ended());
    EXPECT_EQ(rt.state("Map"), SceneState::Unloaded);
    EXPECT_EQ(rt.state("Market"), SceneState::Shown);
}

TEST(Lifecycle, UnloadRunsItsHandlerFirstEndSkipsIt) {
    Log log;
    auto menu = scene("Menu");
    menu.desc.controls = {label("Quit").at(0, 0, 1500, 300), label("Close").at(0, 600, 1500, 300)};
    menu.onUnload([&](Runtime& rt, const SceneRef&, const Event&) {
        // The handler still sees its scene loaded, with its controls.
        log("unload sees " + rt.scene("Menu").control("Quit").caption() + "|" +
            stateName(rt.state("Menu")));
    });
    menu.on("Quit", EventKind::Click, [&](Runtime& rt, const SceneRef&, const Event&) {
        rt.end();
        log("after End");  // never reached
    });
    menu.on("Close", EventKind::Click, [](Runtime& rt, const SceneRef&, const Event&) {
        rt.scene("Other").show();
        rt.scene("Menu").unload();
    });
    auto other = scene("Other");
    {
        HeadlessHost h({menu, other});
        Runtime& rt = h.runtime();
        rt.start("Menu");
        rt.mouseDown("Menu", 5, 5);
        rt.mouseUp("Menu", 5, 5);
        EXPECT_TRUE(rt.ended());
        EXPECT_EQ(rt.exitCode(), 0);
        EXPECT_TRUE(log.lines.empty()) << log.lines[0];
        EXPECT_TRUE(h.windows().windows().empty());
    }
    {
        HeadlessHost h({menu, other});
        Runtime& rt = h.runtime();
        rt.start("Menu");
        rt.mouseDown("Menu", 5, 45);
        rt.mouseUp("Menu", 5, 45);
        EXPECT_EQ(log.lines, std::vector<std::string>{"unload sees |shown"});
        EXPECT_EQ(rt.state("Menu"), SceneState::Unloaded);
        EXPECT_FALSE(rt.ended());
    }
}

TEST(Lifecycle, CloseBoxEndsWhenNoSceneIsShown) {
    Log log;
    auto intro = scene("Intro");
    intro.onUnload(note(log, "intro unload"));
    auto opts = scene("Options");
    auto menu = scene("Menu");
    menu.onLoad([](Runtime& rt, const SceneRef&, const Event&) { (void)rt.scene("Options").control("X").visible(); });
    opts.desc.controls = {label("X")};
    {
        HeadlessHost h({intro, menu, opts});
        h.runtime().start("Intro");
        h.runtime().closeBox("Intro");
        EXPECT_EQ(log.lines, std::vector<std::string>{"intro unload"});
        EXPECT_TRUE(h.runtime().ended());
    }
    {
        // The menu leaves the options loaded and hidden: closing the menu
        // still ends the program, no process is left without a window.
        HeadlessHost h({intro, menu, opts});
        Runtime& rt = h.runtime();
        rt.start("Menu");
        EXPECT_EQ(rt.state("Options"), SceneState::Hidden);
        rt.closeBox("Menu");
        EXPECT_TRUE(rt.ended());
        EXPECT_TRUE(h.windows().windows().empty());
    }
}

TEST(Lifecycle, MissingControlIsAFatalError) {
    auto a = scene("A");
    a.onLoad([](Runtime& rt, const SceneRef&, const Event&) { rt.scene("A").control("Nope").setVisible(true); });
    HeadlessHost h({a});
    h.runtime().start("A");
    EXPECT_TRUE(h.runtime().ended());
    EXPECT_EQ(h.runtime().exitCode(), 1);
    ASSERT_EQ(h.windows().errors.size(), 1u);
    EXPECT_NE(h.windows().errors[0].find("A.Nope"), std::string::npos);
}

TEST(Validation, BindingsMustMatchTheDescriptions) {
    auto a = scene("A");
    a.desc.controls = {label("L"), timer("T", 1000), image("I").pic(46),
                       label("In").in("Frame1")};
    a.on("Missing", EventKind::Click, [](Runtime&, const SceneRef&, const Event&) {});
    a.on("T", EventKind::Click, [](Runtime&, const SceneRef&, const Event&) {});
    a.on("L", EventKind::DragDrop, [](Runtime&, const SceneRef&, const Event&) {});
    a.on("L", EventKind::Load, [](Runtime&, const SceneRef&, const Event&) {});
    auto problems = validate({a});
    auto has = [&](const std::string& s) {
        for (const auto& p : problems)
            if (p.find(s) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("A.Missing Click: no such control"));
    EXPECT_TRUE(has("A.T Click: a Timer has no such event"));
    EXPECT_TRUE(has("A.L DragDrop: a Label has no such event"));
    EXPECT_TRUE(has("A.L Load"));
    EXPECT_TRUE(has("A.I picture: no asset 46"));
    EXPECT_TRUE(has("A.In: its frame Frame1"));
    HeadlessWindowSystem ws;
    ManualClock clock;
    EXPECT_THROW(Runtime({a}, ws, clock), std::logic_error);
}

// Every control, scene, property and method a handler's steps name is
// checked when the runtime starts, with the handler and the name in the
// message: a misspelling never waits for its handler to run.
TEST(Validation, EveryNameTheStepsUseIsCheckedAtStartUp) {
    const struct {
        const char* what;
        Steps steps;
        EventKind event;
        const char* message;
    } cases[] = {
        {"own control", {show("Labl")}, EventKind::Click, "A.Go Click: show or hide A.Labl: no such control"},
        {"other scene's control", {hide(onScene("B", "Nope"))}, EventKind::Click,
         "A.Go Click: show or hide B.Nope: no such control"},
        {"element index", {show(Target("Go", 1))}, EventKind::Click, "show or hide A.Go(1): no such control"},
        {"unknown scene", {showScene("Nowhere")}, EventKind::Click, "A.Go Click: no scene Nowhere"},
        {"control of an unknown scene", {show(onScene("Nowhere", "L"))}, EventKind::Click, "no scene Nowhere"},
        {"component property", {set("Tune", "FileNam", "01.mid")}, EventKind::Click,
         "A.Go Click: set A.Tune.FileNam: a MidiControl has no such property"},
        {"component file property", {setFile("Film", "FileName", "intro.swf")}, EventKind::Click,
         "set A.Film.FileName: a MoviePlayer has no such property"},
        {"component method", {call("Film", "Rewind")}, EventKind::Click,
         "call A.Film.Rewind: a MoviePlayer has no such method"},
        {"timer that is a label", {start("Go")}, EventKind::Click, "start or stop A.Go: a Label"},
        {"label that is a timer", {enable("T")}, EventKind::Click, "A.T: a Timer"},
        {"caption of a timer", {say("T", "x")}, EventKind::Click, "caption of A.T: a Timer"},
        {"entry of a label", {addItem("Go", "x")}, EventKind::Click, "add an entry to A.Go: a Label"},
        {"name inside a test", {when(isVisible("Gone"), {})}, EventKind::Click, "test A.Gone: no such control"},
        {"name inside a branch", {when(isVisible("Go"), {}, {hide("Gone")})}, EventKind::Click,
         "show or hide A.Gone: no such control"},
        {"name inside a choice", {choose("List", {{}, {show("Gone")}})}, EventKind::Click,
         "show or hide A.Gone: no such control"},
        {"choice on a label", {choose("Go", {})}, EventKind::Click, "list index of A.Go: a Label"},
        {"tag outside a drop", {when(tagIs("Gun"), {})}, EventKind::Click, "only a DragDrop has a dragged control's Tag"},
        {"source outside a drop", {hideSource()}, EventKind::Click, "only a DragDrop has a dragged control to hide"},
    };
    for (const auto& c : cases) {
        auto a = scene("A");
        a.desc.controls = {label("Go"), timer("T", 1000), listBox("List"), midiControl("Tune"), moviePlayer("Film")};
        a.on(c.event == EventKind::Click ? "Go" : "", c.event, c.steps);
        auto b = scene("B");
        b.desc.controls = {label("L")};
        HeadlessWindowSystem ws;
        ManualClock clock;
        try {
            Runtime rt({a, b}, ws, clock);
            ADD_FAILURE() << c.what << ": the runtime started";
        } catch (const std::logic_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

TEST(Validation, StepsThatNameWhatIsThereStart) {
    auto a = scene("A");
    a.desc.controls = {label("Go"), timer("T", 1000), listBox("List"), midiControl("Tune"), moviePlayer("Film"),
                       image("I")};
    a.onClick("Go", {show("Go"), start("T"), say("Go", 0x000000FF, align::right, "x"), addItem("List", "x"),
                     set("Tune", "FileName", "01.mid"), setFile("Film", "Movie", "intro.swf"), call("Film", "Play"),
                     when(isVisible(onScene("B", "L")), {showScene("B")}, {hideScene()}),
                     choose("List", {{stop("T")}, {unloadScene("B")}})});
    a.onDrop("I", {when(tagIs("Gun"), {hideSource()})});
    auto b = scene("B");
    b.desc.controls = {label("L")};
    EXPECT_EQ(validate({a, b}), std::vector<std::string>{});
}

// A component property or method that the component does not have is a
// failing operation, also from a handler written as code.
TEST(Lifecycle, MisspeltComponentPropertyIsAFatalError) {
    for (const char* which : {"property", "method"}) {
        auto a = scene("A");
        a.desc.controls = {midiControl("Tune")};
        const bool property = std::string(which) == "property";
        a.onLoad([property](Runtime& rt, const SceneRef&, const Event&) {
            if (property)
                rt.scene("A").control("Tune").set("FileNam", "01.mid");
            else
                rt.scene("A").control("Tune").call("Rewind");
        });
        HeadlessHost h({a});
        h.runtime().start("A");
        EXPECT_TRUE(h.runtime().ended());
        EXPECT_EQ(h.runtime().exitCode(), 1);
        ASSERT_EQ(h.windows().errors.size(), 1u);
        EXPECT_NE(h.windows().errors[0].find(property ? "A.Tune has no property FileNam" : "A.Tune has no method Rewind"),
                  std::string::npos)
            << h.windows().errors[0];
    }
}

// The steps run in order, on the handler's own scene unless they name another.
TEST(Steps, RunInOrderOnTheirScenes) {
    auto a = scene("A");
    a.desc.controls = {label("Go").at(0, 0, 1500, 300), label("Line").hidden(), timer("T", 1000).disabled(),
                       listBox("List").at(0, 600, 1500, 900)};
    a.onLoad({addItem("List", "jedna"), addItem("List", "dvě")});
    a.onClick("Go", {when(isVisible("Line"), {hide("Line")},
                          {show("Line"), say("Line", 0x000000FF, align::right, "řádek"), start("T"),
                           say(onScene("B", "L"), "napsáno")})});
    a.onClick("List", {choose("List", {{say("Line", "první")}, {say("Line", align::centre, "druhý")}})});
    a.onTimer("T", {stop("T"), say("Line", "tik")});
    auto b = scene("B");
    b.desc.controls = {label("L")};
    HeadlessHost h({a, b});
    Runtime& rt = h.runtime();
    rt.start("A");
    const Scene* s = rt.find("A");
    auto prop = [&](const char* name, const char* p) { return formatValue(*s->find(name)->property(p)); };
    rt.mouseDown("A", 10, 10);
    rt.mouseUp("A", 10, 10);
    EXPECT_EQ(prop("Line", "Visible"), "true");
    EXPECT_EQ(prop("Line", "Caption"), "\"řádek\"");
    EXPECT_EQ(prop("Line", "ForeColor"), "255");
    EXPECT_EQ(prop("Line", "Alignment"), "1");
    EXPECT_EQ(rt.state("B"), SceneState::Hidden);  // the write loaded it
    EXPECT_EQ(formatValue(*rt.find("B")->find("L")->property("Caption")), "\"napsáno\"");
    rt.advanceTo(h.clock(), 1000);
    EXPECT_EQ(prop("Line", "Caption"), "\"tik\"");
    EXPECT_EQ(prop("T", "Enabled"), "false");
    rt.mouseDown("A", 10, 40 + 2 + 13);  // the second entry
    rt.mouseUp("A", 10, 40 + 2 + 13);
    EXPECT_EQ(prop("Line", "Caption"), "\"druhý\"");
    EXPECT_EQ(prop("Line", "Alignment"), "2");
    rt.mouseDown("A", 10, 10);
    rt.mouseUp("A", 10, 10);
    EXPECT_EQ(prop("Line", "Visible"), "false");
}

// ------------------------------------------------------------------ timers

TEST(Timers, RestartingARunningTimerDoesNotPostponeIt) {
    // The intro: Timer1 re-enables the running Timer2 at every tick; Timer2
    // still fires one period after it was first started.
    std::vector<int64_t> shownAt;
    auto intro = scene("Intro");
    intro.desc.controls = {timer("Timer2", 9999).disabled(), timer("Timer1", 9999)};
    intro.on("Timer1", EventKind::Timer,
             [](Runtime& rt, const SceneRef&, const Event&) { rt.scene("Intro").control("Timer2").setEnabled(true); });
    intro.on("Timer2", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) {
        shownAt.push_back(rt.clock().now());
        rt.scene("Menu").show();
        rt.scene("Intro").unload();
    });
    auto menu = scene("Menu");
    HeadlessHost h({intro, menu});
    h.runtime().start("Intro");
    h.wait(19997);
    EXPECT_EQ(h.runtime().state("Menu"), SceneState::Unloaded);
    h.wait(1);
    EXPECT_EQ(shownAt, std::vector<int64_t>{19998});
    EXPECT_EQ(h.runtime().state("Intro"), SceneState::Unloaded);
    h.wait(60000);
    EXPECT_EQ(shownAt.size(), 1u);
}

TEST(Timers, TenMinutesOfGameTimeRunFastAndTickExactly) {
    std::vector<int64_t> ticks;
    auto a = scene("A");
    a.desc.controls = {timer("T", 3000)};
    a.on("T", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) { ticks.push_back(rt.clock().now()); });
    HeadlessHost h({a});
    h.runtime().start("A");
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 600; ++i) h.wait(1000);
    auto real = std::chrono::steady_clock::now() - t0;
    EXPECT_LT(real, std::chrono::seconds(1));
    ASSERT_EQ(ticks.size(), 200u);
    for (size_t i = 0; i < ticks.size(); ++i) EXPECT_EQ(ticks[i], int64_t(3000 * (i + 1)));
}

TEST(Timers, ChainHiddenScenesStoppedTicksAndUnloadedScenes) {
    std::vector<std::string> log;
    auto a = scene("A");
    a.desc.controls = {timer("T1", 3000), timer("T2", 3000).disabled(), timer("Loop", 2500)};
    a.on("T1", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) {
        log.push_back("T1@" + std::to_string(rt.clock().now()));
        rt.scene("A").control("T1").setEnabled(false);
        rt.scene("A").control("T2").setEnabled(true);
    });
    a.on("T2", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) {
        log.push_back("T2@" + std::to_string(rt.clock().now()));
        rt.scene("A").control("T2").setEnabled(false);
    });
    a.on("Loop", EventKind::Timer,
         [&](Runtime& rt, const SceneRef&, const Event&) { log.push_back("Loop@" + std::to_string(rt.clock().now())); });
    auto b = scene("B");
    HeadlessHost h({a, b});
    Runtime& rt = h.runtime();
    rt.start("B");
    rt.dispatch([&] { rt.scene("A").setVisible(false); });  // loaded hidden: timers run
    h.wait(6500);
    EXPECT_EQ(log, (std::vector<std::string>{"Loop@2500", "T1@3000", "Loop@5000", "T2@6000"}));
    log.clear();
    rt.dispatch([&] { rt.scene("A").unload(); });
    h.wait(20000);
    EXPECT_TRUE(log.empty());
}

TEST(Timers, ADueTickIsDroppedWhenTheTimerStopsAndTicksDoNotPileUp) {
    std::vector<std::string> log;
    auto a = scene("A");
    a.desc.controls = {timer("First", 1000), timer("Second", 1000)};
    a.on("First", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) {
        log.push_back("First@" + std::to_string(rt.clock().now()));
        rt.scene("A").control("Second").setEnabled(false);  // Second is due now too
    });
    a.on("Second", EventKind::Timer, [&](Runtime&, const SceneRef&, const Event&) { log.push_back("Second"); });
    HeadlessHost h({a});
    h.runtime().start("A");
    // The game was busy for 3.5 periods: the missed ticks come as one.
    h.clock().set(3500);
    h.runtime().deliverDueTicks();
    EXPECT_EQ(log, std::vector<std::string>{"First@3500"});
    EXPECT_EQ(*h.runtime().nextDue(), 4000);  // still on the 1000 ms grid
}

TEST(Timers, TicksDueTogetherComeInTheOrderTheTimersWereStarted) {
    // Show starts Hide's period while its own tick is handled: in real time
    // Hide then falls due a moment after Show's next tick and hides again
    // what it has shown. Hide is listed first, so listing order would not do.
    std::vector<std::string> log;
    auto a = scene("A");
    a.desc.controls = {timer("Hide", 3000).disabled(), timer("Show", 3000), label("Line").hidden()};
    a.on("Show", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) {
        log.push_back("show@" + std::to_string(rt.clock().now()));
        rt.scene("A").control("Line").setVisible(true);
        rt.scene("A").control("Hide").setEnabled(true);
    });
    a.on("Hide", EventKind::Timer, [&](Runtime& rt, const SceneRef&, const Event&) {
        log.push_back("hide@" + std::to_string(rt.clock().now()));
        rt.scene("A").control("Line").setVisible(false);
    });
    HeadlessHost h({a});
    h.runtime().start("A");
    h.wait(6000);
    EXPECT_EQ(log, (std::vector<std::string>{"show@3000", "show@6000", "hide@6000"}));
    EXPECT_FALSE(h.runtime().find("A")->find("Line")->p.visible);
}

// --------------------------------------------------------- hit test, clicks

TEST(HitTest, RulesOfWhoTakesThePoint) {
    // Pixels: each control 10 x 10 at the given place (twips x15).
    auto a = scene("A");
    a.desc.controls = {
        shapeCtl("Shape").at(0, 0, 300, 300),             // never takes the mouse
        label("Grey").at(0, 0, 150, 150),                  // over White: swallows
        label("White").at(0, 0, 150, 150),
        label("Invisible").at(150, 0, 150, 150).hidden(),  // passes through
        image("Disabled").at(150, 0, 150, 150).disabled(),
        image("Spot").at(150, 0, 150, 150),
        label("UnderList").at(0, 150, 150, 150),
        listBox("List").at(0, 150, 150, 150),             // windowed: above labels
        frame("Frame1").at(300, 0, 600, 600),
        label("InFrame").at(30, 30, 150, 150).in("Frame1"),
        line("Line").ends(0, 0, 3000, 3000),
    };
    a.on("Grey", EventKind::Click, [](Runtime&, const SceneRef&, const Event&) {});
    HeadlessHost h({a});
    Runtime& rt = h.runtime();
    rt.start("A");
    const Scene& s = *rt.find("A");
    auto at = [&](int x, int y) {
        const Control* c = rt.hitTest(s, x, y);
        return c ? c->displayName() : std::string("scene");
    };
    EXPECT_EQ(at(5, 5), "Grey");
    EXPECT_EQ(at(15, 5), "Spot");
    EXPECT_EQ(at(5, 15), "List");
    EXPECT_EQ(at(23, 3), "InFrame");  // frame at 20,0 + item at 2,2
    EXPECT_EQ(at(21, 1), "Frame1");
    EXPECT_EQ(at(45, 45), "scene");
    rt.dispatch([&] {
        rt.scene("A").control("Grey").setVisible(false);
        rt.scene("A").control("Invisible").setVisible(true);
        rt.scene("A").control("Frame1").setVisible(false);
    });
    EXPECT_EQ(at(5, 5), "White");
    EXPECT_EQ(at(15, 5), "Invisible");
    EXPECT_EQ(at(23, 3), "scene");
}

TEST(Clicks, GreyLabelSwallowsTheClickMeantForTheLabelBeneath) {
    Log log;
    auto map = scene("Map");
    map.desc.controls = {label("Grey").at(0, 0, 1500, 300), label("White").at(0, 0, 1500, 300)};
    map.on("White", EventKind::Click, note(log, "white"));
    HeadlessHost h({map});
    Runtime& rt = h.runtime();
    rt.start("Map");
    rt.mouseDown("Map", 50, 10);
    rt.mouseUp("Map", 50, 10);
    EXPECT_TRUE(log.lines.empty());
    rt.dispatch([&] { rt.scene("Map").control("Grey").setVisible(false); });
    rt.mouseDown("Map", 50, 10);
    rt.mouseUp("Map", 50, 10);
    EXPECT_EQ(log.lines, std::vector<std::string>{"white"});
    // A press on one control and a release on another is no click.
    rt.mouseDown("Map", 50, 10);
    rt.mouseUp("Map", 50, 100);
    EXPECT_EQ(log.count("white"), 1);
}

TEST(Clicks, ArraysOptionButtonsCheckBoxesAndLists) {
    std::vector<std::string> log;
    auto a = scene("A");
    a.desc.controls = {
        image("Person").element(0).at(0, 0, 300, 300),
        image("Person").element(1).at(300, 0, 300, 300),
        optionButton("O1").at(0, 600, 600, 195).val(-1),
        optionButton("O2").at(0, 900, 600, 195),
        checkBox("C").at(0, 1200, 600, 255).val(1),
        listBox("L").at(1500, 0, 1500, 1500),
    };
    a.on("Person", EventKind::Click,
         [&](Runtime&, const SceneRef&, const Event& e) { log.push_back("Person(" + std::to_string(e.index) + ")"); });
    a.on("L", EventKind::Click, [&](Runtime& rt, const SceneRef&, const Event&) {
        log.push_back("L " + std::to_string(rt.scene("A").control("L").listIndex()));
    });
    a.onLoad([](Runtime& rt, const SceneRef&, const Event&) {
        for (auto s : {"Ano", "Ne", "Možná"}) rt.scene("A").control("L").addItem(s);
    });
    HeadlessHost h({a});
    Runtime& rt = h.runtime();
    rt.start("A");
    auto click = [&](int x, int y) {
        rt.mouseDown("A", x, y);
        rt.mouseUp("A", x, y);
    };
    const Scene& s = *rt.find("A");
    EXPECT_EQ(s.find("L")->listIndex, -1);
    click(25, 5);
    click(5, 62);   // O2
    click(5, 82);   // C
    click(105, 2 + 13 + 5);  // entry 1
    click(105, 2 + 13 + 5);  // the same entry again raises Click again
    click(105, 90);          // below the entries: nothing
    EXPECT_EQ(log, (std::vector<std::string>{"Person(1)", "L 1", "L 1"}));
    EXPECT_EQ(s.find("O1")->p.value, 0);
    EXPECT_EQ(s.find("O2")->p.value, -1);
    EXPECT_EQ(s.find("C")->p.value, 0);
}

// ------------------------------------------------------------ drag and drop

TEST(Drag, PressOnASourceRaisesNoClickAndDropsReachOtherWindows) {
    std::vector<std::string> log;
    auto panel = scene("Panel");
    panel.desc.controls = {image("Gun").at(0, 0, 300, 300).withTag("Gun").draggable(),
                           image("Spot").at(600, 0, 300, 300)};
    panel.on("Gun", EventKind::Click, [&](Runtime&, const SceneRef&, const Event&) { log.push_back("click"); });
    panel.on("Spot", EventKind::DragDrop, [&](Runtime&, const SceneRef&, const Event& e) {
        log.push_back("spot got " + e.source->tag());
    });
    auto other = scene("Other");
    other.desc.controls = {image("Monkey").at(0, 0, 600, 600)};
    other.on("Monkey", EventKind::DragDrop, [&](Runtime&, const SceneRef&, const Event& e) {
        log.push_back("monkey got " + e.source->tag());
        e.source->setVisible(false);
    });
    HeadlessHost h({panel, other});
    Runtime& rt = h.runtime();
    rt.start("Panel");
    rt.dispatch([&] { rt.scene("Other").show(); });
    // Press and release on the same spot: no Click, no drop.
    rt.mouseDown("Panel", 5, 5);
    EXPECT_TRUE(rt.drag().has_value());
    EXPECT_EQ(rt.cursorAt("Panel", 5, 5), 0);
    rt.mouseUp("Panel", 5, 5);
    // Outside every window: nothing.
    rt.mouseDown("Panel", 5, 5);
    rt.mouseUp("", 500, 500);
    // On the scene background: nothing.
    rt.mouseDown("Panel", 5, 5);
    rt.mouseUp("Panel", 150, 150);
    EXPECT_TRUE(log.empty());
    rt.mouseDown("Panel", 5, 5);
    rt.mouseUp("Panel", 45, 5);
    rt.mouseDown("Panel", 5, 5);
    rt.mouseUp("Other", 20, 20);
    EXPECT_EQ(log, (std::vector<std::string>{"spot got Gun", "monkey got Gun"}));
    EXPECT_FALSE(rt.find("Panel")->find("Gun")->p.visible);
}

TEST(Drag, UnloadingTheSourceSceneEndsTheDragWithoutADrop) {
    int drops = 0;
    auto panel = scene("Panel");
    panel.desc.controls = {image("Gun").at(0, 0, 300, 300).draggable(), timer("Bye", 100)};
    panel.on("Bye", EventKind::Timer, [](Runtime& rt, const SceneRef&, const Event&) { rt.scene("Panel").unload(); });
    auto other = scene("Other");
    other.desc.controls = {image("Monkey").at(0, 0, 600, 600)};
    other.on("Monkey", EventKind::DragDrop, [&](Runtime&, const SceneRef&, const Event&) { ++drops; });
    HeadlessHost h({panel, other});
    Runtime& rt = h.runtime();
    rt.start("Other");
    rt.dispatch([&] { rt.scene("Panel").show(); });
    rt.mouseDown("Panel", 5, 5);
    h.wait(100);
    EXPECT_FALSE(rt.drag().has_value());
    rt.mouseUp("Other", 20, 20);
    EXPECT_EQ(drops, 0);
}

TEST(Cursors, HitTestWinnerDecidesTheCursor) {
    auto a = scene("A");
    a.desc.controls = {
        image("Spot").at(0, 0, 300, 300).cursor(11).disabled(),
        image("Empty").at(300, 0, 300, 300).cursor(13),  // no picture, still a cursor
        frame("Frame1").at(0, 600, 600, 600).iconOnly(12),
    };
    HeadlessHost h({a});
    Runtime& rt = h.runtime();
    rt.start("A");
    EXPECT_EQ(rt.cursorAt("A", 5, 5), 0);
    EXPECT_EQ(rt.cursorAt("A", 25, 5), 13);
    EXPECT_EQ(rt.cursorAt("A", 5, 45), 0);
    rt.dispatch([&] { rt.scene("A").control("Spot").setEnabled(true); });
    EXPECT_EQ(rt.cursorAt("A", 5, 5), 11);
}

TEST(Registry, TheSixteenWindows) {
    const auto& t = windowTable();
    ASSERT_EQ(t.size(), 16u);
    EXPECT_EQ(windowOf("Form1").widthPx(), 374);
    EXPECT_EQ(windowOf("Form1").heightPx(), 393);
    EXPECT_EQ(windowOf("Form3").border, Border::FixedToolWindow);
    EXPECT_FALSE(windowOf("Form3").taskbar);
    EXPECT_EQ(windowOf("Form2").icon, 42);
    EXPECT_EQ(windowOf("late").caption, "O několik hodin později ...");
    for (const auto& w : t) {
        EXPECT_EQ(w.clientWidthTwips % 15, 0) << w.name;
        EXPECT_EQ(w.clientHeightTwips % 15, 0) << w.name;
        EXPECT_EQ(w.taskbar, w.name != "Form3") << w.name;
    }
}

}  // namespace
}  // namespace az

// A window is repainted only when something in it changed: a write of the
// value a control holds, or of a timer's Enabled, leaves it alone.
TEST(Repaint, OnlyWritesThatChangeSomethingMarkTheWindow) {
    using namespace az;
    struct Case {
        const char* what;
        std::function<void(Runtime&)> write;
        bool marks;
    } cases[] = {
        {"same caption", [](Runtime& rt) { rt.scene("A").control("L").setCaption("design"); }, false},
        {"new caption", [](Runtime& rt) { rt.scene("A").control("L").setCaption("other"); }, true},
        {"visible again", [](Runtime& rt) { rt.scene("A").control("L").setVisible(true); }, false},
        {"hidden", [](Runtime& rt) { rt.scene("A").control("L").setVisible(false); }, true},
        {"enabled again", [](Runtime& rt) { rt.scene("A").control("L").setEnabled(true); }, false},
        {"timer started", [](Runtime& rt) { rt.scene("A").control("T").setEnabled(true); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto a = scene("A");
        a.desc.controls = {label("L").text("design"), timer("T", 3000).disabled()};
        HeadlessHost h({a});
        Runtime& rt = h.runtime();
        rt.start("A");
        const WindowId id = rt.find("A")->window;
        const int before = h.windows().windows().at(id).dirty;
        rt.dispatch([&] { c.write(rt); });
        EXPECT_EQ(h.windows().windows().at(id).dirty > before, c.marks);
    }
}
