// The vocabulary the game's handlers are written in. A handler is a short,
// straight list of steps, each one property write or one scene operation,
// guarded at most by one test; every step names its controls by their
// design names. Written this way a handler is data: validate() checks every
// name and property it uses against the descriptions at start-up, and the
// runtime runs the steps in order on each event.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/control.h"

namespace az {

// A control a step names: its scene (empty for the handler's own), its
// design name and its element index in a control array.
struct Target {
    std::string scene;
    std::string name;
    int index = -1;

    Target(const char* n, int i = -1) : name(n), index(i) {}
    Target(std::string n, int i = -1) : name(std::move(n)), index(i) {}
    std::string display(const std::string& ownScene) const;
};

// A control of another scene, as "Form7.Label8" names it.
inline Target onScene(std::string scene, std::string name, int index = -1) {
    Target t(std::move(name), index);
    t.scene = std::move(scene);
    return t;
}

// The one test a handler may make.
struct Test {
    enum Kind { Visible, CaptionIs, ValueIs, ListIndexIs, TagIs } kind = Visible;
    std::optional<Target> target;  // none for the dropped item's Tag
    std::string text;
    int number = 0;
};

Test isVisible(Target t);                    // the control's Visible
Test captionIs(Target t, std::string text);  // its Caption equals the text
Test valueIs(Target t, int v);               // a check box's or option button's Value
Test listIndexIs(Target t, int i);           // a list box's selected entry
Test tagIs(std::string tag);                 // the dropped item's Tag (a DragDrop)

struct Step;
using Steps = std::vector<Step>;

struct Step {
    enum Op {
        Show, Hide,            // Visible
        Enable, Disable,       // Enabled of a control that is no timer
        Start, Stop,           // Enabled of a timer
        Say,                   // ForeColor and Alignment where given, then Caption
        AddItem,               // a list box's new entry
        Set, SetFile, Call,    // a media component's property or method
        ShowScene, HideScene, UnloadScene, End,
        HideSource,            // the dropped item leaves its panel
        When,                  // the test, then one of two lists
        Choose,                // the list entry selected picks one of the lists
    } op;
    std::optional<Target> target;
    std::string scene;  // scene operations; empty for the handler's own
    std::string text;   // caption, list entry, property or method name
    std::optional<VbColor> colour;
    std::optional<int> alignment;
    Value value;        // Set: the value; SetFile: the file name
    std::optional<Test> test;
    Steps then, otherwise;
    std::vector<Steps> cases;  // Choose: one list per entry

    explicit Step(Op o, std::optional<Target> t = std::nullopt) : op(o), target(std::move(t)) {}
};

inline Step show(Target t) { return Step(Step::Show, std::move(t)); }
inline Step hide(Target t) { return Step(Step::Hide, std::move(t)); }
inline Step enable(Target t) { return Step(Step::Enable, std::move(t)); }
inline Step disable(Target t) { return Step(Step::Disable, std::move(t)); }
inline Step start(Target timer) { return Step(Step::Start, std::move(timer)); }
inline Step stop(Target timer) { return Step(Step::Stop, std::move(timer)); }
// A line of dialogue: its caption, in a colour and an alignment where given.
Step say(Target label, std::string caption);
Step say(Target label, int alignment, std::string caption);
Step say(Target label, VbColor colour, int alignment, std::string caption);
Step addItem(Target list, std::string entry);
Step set(Target component, std::string property, Value v);
inline Step set(Target component, std::string property, const char* text) {
    return set(std::move(component), std::move(property), Value(std::string(text)));
}
// A property that names a file beside the program.
Step setFile(Target component, std::string property, std::string file);
Step call(Target component, std::string method);
Step showScene(std::string scene = {});
Step hideScene(std::string scene = {});
Step unloadScene(std::string scene = {});
Step endProgram();
Step hideSource();
Step when(Test t, Steps then, Steps otherwise = {});
// The entry selected in a list box picks its list: the first for entry 0, and so on.
Step choose(Target list, std::vector<Steps> cases);

// Two lists one after the other.
Steps operator+(Steps a, const Steps& b);

// What the game may write and call on a media component of a kind.
bool hasComponentProperty(ControlKind k, std::string_view property);
bool hasComponentMethod(ControlKind k, std::string_view method);

}  // namespace az
