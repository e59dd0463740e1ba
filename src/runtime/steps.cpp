#include "runtime/steps.h"

#include <algorithm>
#include <array>

#include "runtime/runtime.h"

namespace az {

std::string Target::display(const std::string& ownScene) const {
    std::string n = (scene.empty() ? ownScene : scene) + "." + name;
    if (index >= 0) n += "(" + std::to_string(index) + ")";
    return n;
}

Test isVisible(Target t) { return {Test::Visible, std::move(t), {}, 0}; }
Test captionIs(Target t, std::string text) { return {Test::CaptionIs, std::move(t), std::move(text), 0}; }
Test valueIs(Target t, int v) { return {Test::ValueIs, std::move(t), {}, v}; }
Test listIndexIs(Target t, int i) { return {Test::ListIndexIs, std::move(t), {}, i}; }
Test tagIs(std::string tag) { return {Test::TagIs, std::nullopt, std::move(tag), 0}; }

Step say(Target label, std::string caption) {
    Step s(Step::Say, std::move(label));
    s.text = std::move(caption);
    return s;
}

Step say(Target label, int alignment, std::string caption) {
    Step s = say(std::move(label), std::move(caption));
    s.alignment = alignment;
    return s;
}

Step say(Target label, VbColor colour, int alignment, std::string caption) {
    Step s = say(std::move(label), alignment, std::move(caption));
    s.colour = colour;
    return s;
}

Step addItem(Target list, std::string entry) {
    Step s(Step::AddItem, std::move(list));
    s.text = std::move(entry);
    return s;
}

Step set(Target component, std::string property, Value v) {
    Step s(Step::Set, std::move(component));
    s.text = std::move(property);
    s.value = std::move(v);
    return s;
}

Step setFile(Target component, std::string property, std::string file) {
    Step s = set(std::move(component), std::move(property), Value(std::move(file)));
    s.op = Step::SetFile;
    return s;
}

Step call(Target component, std::string method) {
    Step s(Step::Call, std::move(component));
    s.text = std::move(method);
    return s;
}

namespace {
Step sceneStep(Step::Op op, std::string scene) {
    Step s{op, std::nullopt};
    s.scene = std::move(scene);
    return s;
}
}  // namespace

Step showScene(std::string scene) { return sceneStep(Step::ShowScene, std::move(scene)); }
Step hideScene(std::string scene) { return sceneStep(Step::HideScene, std::move(scene)); }
Step unloadScene(std::string scene) { return sceneStep(Step::UnloadScene, std::move(scene)); }
Step endProgram() { return Step(Step::End); }
Step hideSource() { return Step(Step::HideSource); }

Step when(Test t, Steps then, Steps otherwise) {
    Step s(Step::When, std::nullopt);
    s.test = std::move(t);
    s.then = std::move(then);
    s.otherwise = std::move(otherwise);
    return s;
}

Step choose(Target list, std::vector<Steps> cases) {
    Step s(Step::Choose, std::move(list));
    s.cases = std::move(cases);
    return s;
}

Steps operator+(Steps a, const Steps& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

namespace {

struct ComponentApi {
    ControlKind kind;
    std::vector<std::string_view> properties, methods;
};

// What the scenes use of the three components, and nothing else.
const std::array<ComponentApi, 3>& componentApis() {
    static const std::array<ComponentApi, 3> apis = {{
        {ControlKind::Movie, {"Movie"}, {"Play", "Stop"}},
        {ControlKind::Midi, {"Notify", "Wait", "Shareable", "DeviceType", "FileName", "Command"}, {}},
        {ControlKind::AniGif, {}, {}},
    }};
    return apis;
}

bool listed(ControlKind k, std::string_view name, std::vector<std::string_view> ComponentApi::*list) {
    for (const auto& a : componentApis())
        if (a.kind == k) return std::find((a.*list).begin(), (a.*list).end(), name) != (a.*list).end();
    return false;
}

}  // namespace

bool hasComponentProperty(ControlKind k, std::string_view property) {
    return listed(k, property, &ComponentApi::properties);
}

bool hasComponentMethod(ControlKind k, std::string_view method) { return listed(k, method, &ComponentApi::methods); }

// ------------------------------------------------------------ running

namespace {
ControlRef refOf(Runtime& rt, const SceneRef& me, const Target& t) {
    return ControlRef(rt, t.scene.empty() ? me.name() : t.scene, t.name, t.index);
}
SceneRef sceneOf(Runtime& rt, const SceneRef& me, const std::string& scene) {
    return scene.empty() ? me : rt.scene(scene);
}
}  // namespace

bool Runtime::holds(const Test& t, const SceneRef& me, const Event& e) {
    switch (t.kind) {
    case Test::Visible: return refOf(*this, me, *t.target).visible();
    case Test::CaptionIs: return refOf(*this, me, *t.target).caption() == t.text;
    case Test::ValueIs: return refOf(*this, me, *t.target).value() == t.number;
    case Test::ListIndexIs: return refOf(*this, me, *t.target).listIndex() == t.number;
    case Test::TagIs: return e.source && e.source->tag() == t.text;
    }
    return false;
}

void Runtime::run(const Steps& steps, const SceneRef& me, const Event& e) {
    for (const Step& s : steps) {
        switch (s.op) {
        case Step::Show: refOf(*this, me, *s.target).setVisible(true); break;
        case Step::Hide: refOf(*this, me, *s.target).setVisible(false); break;
        case Step::Enable:
        case Step::Start: refOf(*this, me, *s.target).setEnabled(true); break;
        case Step::Disable:
        case Step::Stop: refOf(*this, me, *s.target).setEnabled(false); break;
        case Step::Say: {
            ControlRef c = refOf(*this, me, *s.target);
            if (s.colour) c.setForeColor(*s.colour);
            if (s.alignment) c.setAlignment(*s.alignment);
            c.setCaption(s.text);
            break;
        }
        case Step::AddItem: refOf(*this, me, *s.target).addItem(s.text); break;
        case Step::Set: refOf(*this, me, *s.target).set(s.text, s.value); break;
        case Step::SetFile:
            refOf(*this, me, *s.target).set(s.text, programPath(std::get<std::string>(s.value)));
            break;
        case Step::Call: refOf(*this, me, *s.target).call(s.text); break;
        case Step::ShowScene: sceneOf(*this, me, s.scene).show(); break;
        case Step::HideScene: sceneOf(*this, me, s.scene).setVisible(false); break;
        case Step::UnloadScene: sceneOf(*this, me, s.scene).unload(); break;
        case Step::End: end();
        case Step::HideSource:
            if (!e.source) throw RuntimeError("no dragged control to hide in " + me.name());
            e.source->setVisible(false);
            break;
        case Step::When: run(holds(*s.test, me, e) ? s.then : s.otherwise, me, e); break;
        case Step::Choose: {
            const int i = refOf(*this, me, *s.target).listIndex();
            if (i >= 0 && i < static_cast<int>(s.cases.size())) run(s.cases[static_cast<size_t>(i)], me, e);
            break;
        }
        }
    }
}

}  // namespace az
