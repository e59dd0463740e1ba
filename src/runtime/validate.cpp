#include <set>

#include "runtime/runtime.h"

namespace az {

namespace {

bool eventFits(EventKind ev, ControlKind k) {
    switch (ev) {
    case EventKind::Click:
        return k == ControlKind::Label || k == ControlKind::Image || k == ControlKind::ListBox;
    case EventKind::Timer:
        return k == ControlKind::Timer;
    case EventKind::DragDrop:
        return k == ControlKind::Image;
    default:
        return false;
    }
}

const SceneDef* defNamed(const std::vector<SceneDef>& defs, const std::string& name) {
    for (const auto& d : defs)
        if (d.desc.window.name == name) return &d;
    return nullptr;
}

// Every name, kind and property the steps of one handler use.
class StepCheck {
public:
    StepCheck(const std::vector<SceneDef>& defs, const SceneDef& own, std::string where, EventKind ev,
              std::vector<std::string>& out)
        : defs_(defs), own_(own), where_(std::move(where)), ev_(ev), out_(out) {}

    void steps(const Steps& list) {
        for (const Step& s : list) step(s);
    }

private:
    void problem(const std::string& what) { out_.push_back(where_ + ": " + what); }

    const ControlDesc* control(const Target& t, const char* use) {
        const std::string sn = t.scene.empty() ? own_.desc.window.name : t.scene;
        const SceneDef* d = defNamed(defs_, sn);
        if (!d) {
            problem(std::string(use) + " " + t.display(sn) + ": no scene " + sn);
            return nullptr;
        }
        for (const auto& c : d->desc.controls)
            if (c.name == t.name && c.index == t.index) return &c;
        problem(std::string(use) + " " + t.display(sn) + ": no such control");
        return nullptr;
    }

    // The control must be there and of a kind the use fits.
    template <class Fits>
    const ControlDesc* typed(const Target& t, const char* use, Fits fits) {
        const ControlDesc* c = control(t, use);
        if (c && !fits(c->kind))
            problem(std::string(use) + " " + t.display(own_.desc.window.name) + ": a " + kindName(c->kind));
        return c;
    }

    static bool is(ControlKind k, ControlKind want) { return k == want; }

    // A component's property or method that the component must have.
    void component(const Step& s, const char* use, const char* what, bool (*has)(ControlKind, std::string_view)) {
        const ControlDesc* c = control(*s.target, use);
        if (c && !has(c->kind, s.text))
            problem(std::string(use) + " " + s.target->display(own_.desc.window.name) + "." + s.text + ": a " +
                    kindName(c->kind) + " has no such " + what);
    }

    void scene(const std::string& name) {
        if (!name.empty() && !defNamed(defs_, name)) problem("no scene " + name);
    }

    void step(const Step& s) {
        switch (s.op) {
        case Step::Show:
        case Step::Hide: control(*s.target, "show or hide"); return;
        case Step::Enable:
        case Step::Disable:
            typed(*s.target, "enable or disable (start or stop for timers)",
                  [](ControlKind k) { return k != ControlKind::Timer; });
            return;
        case Step::Start:
        case Step::Stop: typed(*s.target, "start or stop", [](ControlKind k) { return is(k, ControlKind::Timer); }); return;
        case Step::Say: typed(*s.target, "caption of", [](ControlKind k) { return is(k, ControlKind::Label); }); return;
        case Step::AddItem:
            typed(*s.target, "add an entry to", [](ControlKind k) { return is(k, ControlKind::ListBox); });
            return;
        case Step::Set:
        case Step::SetFile: component(s, "set", "property", hasComponentProperty); return;
        case Step::Call: component(s, "call", "method", hasComponentMethod); return;
        case Step::ShowScene:
        case Step::HideScene:
        case Step::UnloadScene: scene(s.scene); return;
        case Step::End: return;
        case Step::HideSource:
            if (ev_ != EventKind::DragDrop) problem("only a DragDrop has a dragged control to hide");
            return;
        case Step::When: {
            const Test& t = *s.test;
            if (t.kind == Test::TagIs) {
                if (ev_ != EventKind::DragDrop) problem("only a DragDrop has a dragged control's Tag");
            } else if (t.kind == Test::ListIndexIs) {
                typed(*t.target, "list index of", [](ControlKind k) { return is(k, ControlKind::ListBox); });
            } else if (t.kind == Test::ValueIs) {
                typed(*t.target, "value of",
                      [](ControlKind k) { return k == ControlKind::CheckBox || k == ControlKind::OptionButton; });
            } else {
                control(*t.target, "test");
            }
            steps(s.then);
            steps(s.otherwise);
            return;
        }
        case Step::Choose: {
            typed(*s.target, "list index of", [](ControlKind k) { return is(k, ControlKind::ListBox); });
            for (const auto& list : s.cases) steps(list);
            return;
        }
        }
    }

    const std::vector<SceneDef>& defs_;
    const SceneDef& own_;
    std::string where_;
    EventKind ev_;
    std::vector<std::string>& out_;
};

}  // namespace

std::vector<std::string> validate(const std::vector<SceneDef>& defs) {
    std::vector<std::string> out;
    std::set<std::string> sceneNames;
    auto asset = [&](const std::string& where, int id) {
        if (id != 0 && (id < 1 || id > kAssetCount)) out.push_back(where + ": no asset " + std::to_string(id));
    };
    for (const auto& d : defs) {
        const std::string& sn = d.desc.window.name;
        if (!sceneNames.insert(sn).second) out.push_back(sn + ": described twice");
        asset(sn + " picture", d.desc.window.picture);
        asset(sn + " icon", d.desc.window.icon);

        std::set<std::pair<std::string, int>> seen;
        std::set<std::string> frames;
        for (const auto& c : d.desc.controls) {
            const std::string where = sn + "." + controlName(c.name, c.index);
            if (!seen.insert({c.name, c.index}).second) out.push_back(where + ": listed twice");
            if (c.kind == ControlKind::Frame) frames.insert(c.name);
            if (!c.container.empty() && !frames.count(c.container))
                out.push_back(where + ": its frame " + c.container + " is not listed before it");
            if (c.kind == ControlKind::Timer && c.interval == 0) out.push_back(where + ": timer without interval");
            asset(where + " picture", c.picture);
            asset(where + " mouse icon", c.mouseIcon);
            if (c.mousePointer == 99 && c.mouseIcon == 0) out.push_back(where + ": custom cursor without icon");
        }
        // Both plain controls and array elements must not share a name.
        for (const auto& c : d.desc.controls)
            if (c.index < 0)
                for (const auto& e : d.desc.controls)
                    if (e.name == c.name && e.index >= 0)
                        out.push_back(sn + "." + c.name + ": both a control and an array");

        std::set<std::pair<std::string, EventKind>> bound;
        for (const auto& h : d.handlers) {
            std::string where = sn + "." + (h.control.empty() ? "(scene)" : h.control) + " " + eventName(h.event);
            if (!h.fn && h.steps.empty()) out.push_back(where + ": empty handler");
            if (h.fn && !h.steps.empty()) out.push_back(where + ": both code and steps");
            StepCheck(defs, d, where, h.event, out).steps(h.steps);
            if (!bound.insert({h.control, h.event}).second) out.push_back(where + ": bound twice");
            if (h.control.empty()) {
                if (h.event != EventKind::Load && h.event != EventKind::Unload)
                    out.push_back(where + ": a scene has only Load and Unload");
                continue;
            }
            const ControlDesc* found = nullptr;
            for (const auto& c : d.desc.controls)
                if (c.name == h.control) found = &c;
            if (!found) {
                out.push_back(where + ": no such control");
                continue;
            }
            if (!eventFits(h.event, found->kind))
                out.push_back(where + ": a " + kindName(found->kind) + " has no such event");
        }
    }
    return out;
}

}  // namespace az
